# Packages made with CPack from an installed tree: on Linux three Debian
# packages in the usual split (cpack -G DEB), on Windows one zip
# (cpack -G ZIP). The install components map to the packages:
#   runtime      libkivlogging1     the versioned shared library
#   development  libkivlogging-dev  headers, the unversioned link, the CMake
#                                   package and kivlogging.pc
#   tools        kivlogging-tools   kivlog, kivlog-doctor, their manual pages
#                                   and the log shipper configurations
set(KIVLOGGING_MAINTAINER "kivlogging maintainers <maintainers@kivlogging.example.org>")

set(CPACK_PACKAGE_NAME kivlogging)
set(CPACK_PACKAGE_VENDOR "The kivlogging authors")
set(CPACK_PACKAGE_CONTACT "${KIVLOGGING_MAINTAINER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_COMPONENTS_ALL runtime development tools)

# The log shipper configurations go with the tools.
install(DIRECTORY contrib/ DESTINATION ${CMAKE_INSTALL_DATADIR}/kivlogging COMPONENT tools)
set(CPACK_STRIP_FILES ON)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/CPackProjectConfig.cmake)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME kivlogging-${PROJECT_VERSION}-win64)
  # One zip with everything, laid out as installed.
  set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  install(FILES LICENSE DESTINATION . COMPONENT runtime)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://kivlogging.example.org/")
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(package_version "${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE}")

  set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libkivlogging1)
  set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
  set(CPACK_DEBIAN_RUNTIME_DESCRIPTION "logging library that writes every message whole
kivlogging is a C++ logging library for long-lived native applications.
Every message is composed whole, written in one piece and on the operating
system's side before the logging call returns; configuration comes from one
properties file, kiv.system.properties.

This package contains the shared library.")
  # The shlibs file names this package for the soname, and ldconfig runs
  # through the trigger when the library comes or goes, as for Debian's own
  # library packages. The maintainer scripts are given so that CPack adds no
  # ldconfig calls of its own.
  configure_file(cmake/debian/shlibs.in ${PROJECT_BINARY_DIR}/debian/shlibs @ONLY)
  set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/debian/shlibs
    ${PROJECT_SOURCE_DIR}/cmake/debian/triggers ${PROJECT_SOURCE_DIR}/cmake/debian/postinst
    ${PROJECT_SOURCE_DIR}/cmake/debian/postrm)

  set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libkivlogging-dev)
  set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
  set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "libkivlogging1 (= ${package_version})")
  set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SUGGESTS "libfmt-dev")
  set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION "logging library that writes every message whole - development files
kivlogging is a C++ logging library for long-lived native applications.
Every message is composed whole, written in one piece and on the operating
system's side before the logging call returns.

This package contains the headers (with the header-only formatting macros,
which use libfmt-dev), the CMake package KivLogging and kivlogging.pc.")

  set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME kivlogging-tools)
  set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_TOOLS_DESCRIPTION "read kivlogging logs and explain its configuration
kivlog reads, filters, merges, converts and follows the log files and console
output that the kivlogging library writes. kivlog-doctor explains the logging
configuration an application gets, line by line.

This package also contains rsyslog and lnav configurations for the logs.")

  # Every package carries its copyright and changelog in the Debian places.
  configure_file(cmake/debian/changelog.in ${PROJECT_BINARY_DIR}/debian/changelog @ONLY)
  add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz
    COMMAND gzip -9nc ${PROJECT_BINARY_DIR}/debian/changelog > ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz
    DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog VERBATIM)
  add_custom_target(kivlogging_debian_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz)
  foreach(component runtime development tools)
    string(TOUPPER ${component} upper)
    set(package ${CPACK_DEBIAN_${upper}_PACKAGE_NAME})
    install(FILES cmake/debian/copyright.in DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package}
      RENAME copyright COMPONENT ${component})
    install(FILES ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz
      DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package} COMPONENT ${component})
  endforeach()
endif()

include(CPack)
