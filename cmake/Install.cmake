# Installs the library, its public headers, a CMake package
# (find_package(KivLogging) gives KivLogging::kivlogging, and
# KivLogging::format where its formatting library is found) and kivlogging.pc.
include(CMakePackageConfigHelpers)

set(KIVLOGGING_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/KivLogging)

# Components: runtime (the versioned library) and development (everything
# a program needs to build against it); see cmake/Packaging.cmake.
install(TARGETS kivlogging EXPORT KivLoggingTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT development
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development)
install(FILES include/logging/MsgLog.h include/logging/MsgLogFormat.h
  include/logging/MsgLogMethodName.h include/logging/MsgLogPtr.h include/logging/MsgLogThreshold.h
  include/logging/msglog.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/logging COMPONENT development)
install(EXPORT KivLoggingTargets NAMESPACE KivLogging:: DESTINATION ${KIVLOGGING_CMAKE_DIR}
  COMPONENT development)
# The format layer has an export file of its own, which the package config
# loads only when {fmt} is found or not needed.
if(TARGET kivlogging_format)
  install(TARGETS kivlogging_format EXPORT KivLoggingFormatTargets COMPONENT development)
  install(EXPORT KivLoggingFormatTargets NAMESPACE KivLogging:: DESTINATION ${KIVLOGGING_CMAKE_DIR}
    COMPONENT development)
endif()

configure_package_config_file(cmake/KivLoggingConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/KivLoggingConfig.cmake
  INSTALL_DESTINATION ${KIVLOGGING_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/KivLoggingConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES
  ${CMAKE_CURRENT_BINARY_DIR}/KivLoggingConfig.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/KivLoggingConfigVersion.cmake
  DESTINATION ${KIVLOGGING_CMAKE_DIR} COMPONENT development)

# The .pc file finds its prefix relative to where it is installed.
file(RELATIVE_PATH KIVLOGGING_PC_TO_PREFIX
  "${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "${CMAKE_INSTALL_PREFIX}")
configure_file(cmake/kivlogging.pc.in ${CMAKE_CURRENT_BINARY_DIR}/kivlogging.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/kivlogging.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT development)
# The macros' module brings the library and, where <format> is missing, fmt.
if(TARGET kivlogging_format)
  if(KIVLOGGING_FORMAT_BACKEND STREQUAL "std")
    set(KIVLOGGING_FORMAT_PC_REQUIRES "kivlogging")
  else()
    set(KIVLOGGING_FORMAT_PC_REQUIRES "kivlogging fmt")
  endif()
  configure_file(cmake/kivlogging-format.pc.in ${CMAKE_CURRENT_BINARY_DIR}/kivlogging-format.pc @ONLY)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/kivlogging-format.pc
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT development)
endif()
