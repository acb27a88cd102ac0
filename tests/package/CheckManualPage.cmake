# A manual page must pass groff's checks without a warning and name exactly
# the options that the tool's --help names.
# Run with -DTOOL=<program> -DPAGE=<page.1> -DGROFF=<groff>.
execute_process(COMMAND ${GROFF} -man -ww -z ${PAGE} ERROR_VARIABLE warnings RESULT_VARIABLE failed)
if(failed OR warnings)
  message(FATAL_ERROR "groff finds fault with ${PAGE}:\n${warnings}")
endif()

execute_process(COMMAND ${TOOL} --help OUTPUT_VARIABLE help COMMAND_ERROR_IS_FATAL ANY)
file(READ ${PAGE} page)
# In roff source a minus is written \-.
string(REPLACE "\\-" "-" page "${page}")
foreach(text help page)
  string(REGEX MATCHALL "--[a-z][a-z-]*" options "${${text}}")
  list(REMOVE_DUPLICATES options)
  list(SORT options)
  set(${text}_options "${options}")
endforeach()
if(NOT help_options STREQUAL page_options)
  message(FATAL_ERROR "--help names ${help_options}\n${PAGE} names ${page_options}")
endif()
