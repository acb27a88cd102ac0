# KivLogging::format: the header-only formatting layer (logging/MsgLogFormat.h)
# over the library. It formats with the standard <format> where the standard
# library has it, and with {fmt} otherwise: the installed fmt package, or,
# when cross-compiling without one, the host's fmt headers in header-only
# mode. The plain library never needs either.
include(CheckCXXSourceCompiles)
check_cxx_source_compiles("
  #include <version>
  #if !defined(__cpp_lib_format)
  #error no <format>
  #endif
  int main() { return 0; }" KIVLOGGING_HAVE_STD_FORMAT)

set(KIVLOGGING_FMT_HEADERS /usr/include/fmt CACHE PATH
  "The fmt headers a cross build uses in header-only mode when it finds no fmt package")

# The standard <format>, else an fmt package, else the host's fmt headers.
if(KIVLOGGING_HAVE_STD_FORMAT)
  set(KIVLOGGING_FORMAT_BACKEND std)
else()
  find_package(fmt CONFIG QUIET)
  if(fmt_FOUND)
    set(KIVLOGGING_FORMAT_BACKEND fmt)
  elseif(CMAKE_CROSSCOMPILING AND EXISTS ${KIVLOGGING_FMT_HEADERS}/format.h)
    set(KIVLOGGING_FORMAT_BACKEND fmt-headers)
  else()
    message(STATUS "Neither <format> nor {fmt}: KivLogging::format is not built (apt-get install libfmt-dev)")
    return()
  endif()
endif()

add_library(kivlogging_format INTERFACE)
add_library(KivLogging::format ALIAS kivlogging_format)
set_target_properties(kivlogging_format PROPERTIES EXPORT_NAME format)
target_link_libraries(kivlogging_format INTERFACE kivlogging)
# The macros' headers use C++20 (std::atomic_ref, string_view::starts_with).
target_compile_features(kivlogging_format INTERFACE cxx_std_20)

if(KIVLOGGING_FORMAT_BACKEND STREQUAL "fmt")
  target_link_libraries(kivlogging_format INTERFACE fmt::fmt)
elseif(KIVLOGGING_FORMAT_BACKEND STREQUAL "fmt-headers")
  # A directory holding only a link to the fmt headers, so that the cross
  # compiler sees them and nothing else of the host's include directory.
  set(fmt_only ${PROJECT_BINARY_DIR}/fmt-headers)
  file(MAKE_DIRECTORY ${fmt_only})
  file(CREATE_LINK ${KIVLOGGING_FMT_HEADERS} ${fmt_only}/fmt SYMBOLIC)
  target_include_directories(kivlogging_format SYSTEM INTERFACE $<BUILD_INTERFACE:${fmt_only}>)
  target_compile_definitions(kivlogging_format INTERFACE $<BUILD_INTERFACE:FMT_HEADER_ONLY>)
  # The installed package uses its consumer's fmt package instead.
  target_link_libraries(kivlogging_format INTERFACE $<INSTALL_INTERFACE:fmt::fmt>)
endif()
