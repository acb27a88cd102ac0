# Compiles and runs a consumer with the flags that a pkg-config module of the
# install gives, as "c++ -std=c++20 SOURCE $(pkg-config --cflags --libs MODULE)".
# Run with -DPREFIX=<install prefix> -DMODULE=<module> -DSOURCE=<source>
# -DOUTPUT=<program> -DEXPECTED=<what the program prints>.
file(GLOB_RECURSE pc_files "${PREFIX}/*/${MODULE}.pc")
list(GET pc_files 0 pc_file)
get_filename_component(pc_dir "${pc_file}" DIRECTORY)
# The install's modules first, then the system's (fmt's among them).
set(ENV{PKG_CONFIG_PATH} "${pc_dir}")
execute_process(COMMAND pkg-config --cflags --libs ${MODULE}
  OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
separate_arguments(flags UNIX_COMMAND "${flags}")
string(REGEX MATCH "-L([^ ;]+)" libdir_flag "${flags}")
execute_process(COMMAND c++ -std=c++20 ${SOURCE} -o ${OUTPUT} ${flags}
  "-Wl,-rpath,${CMAKE_MATCH_1}" COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${OUTPUT} OUTPUT_VARIABLE output COMMAND_ERROR_IS_FATAL ANY)
if(NOT output MATCHES "${EXPECTED}")
  message(FATAL_ERROR "consumer printed: ${output}")
endif()
