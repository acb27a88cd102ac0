# Read by cpack for each generator. A Debian package takes its synopsis from
# the first line of its component's description; CPack would otherwise put
# the project-wide summary in front of it.
if(CPACK_GENERATOR STREQUAL "DEB")
  unset(CPACK_PACKAGE_DESCRIPTION_SUMMARY)
endif()
