# Runs the example program under Wine and checks that it logged to the
# console and to a log file with CR LF line ends in the Documents folder
# that Wine reports. Run with -DEXAMPLE=<exe> -DEMULATOR=<wine>.
execute_process(COMMAND ${EMULATOR} ${EXAMPLE} OUTPUT_VARIABLE output COMMAND_ERROR_IS_FATAL ANY)
if(NOT output MATCHES "order 1001 accepted")
  message(FATAL_ERROR "no message on the console:\n${output}")
endif()
if(NOT output MATCHES "system log files: ([^\r\n]*)kiv\\.log_\\*\\.log")
  message(FATAL_ERROR "the example named no log directory:\n${output}")
endif()
set(directory "${CMAKE_MATCH_1}")
# winepath runs through the same Wine wrapper, so that it reads the private
# prefix the example ran in.
execute_process(COMMAND ${EMULATOR} winepath -u "${directory}" OUTPUT_VARIABLE unix_directory
  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
file(GLOB logs "${unix_directory}/kiv.log_*.log")
list(SORT logs)
list(POP_BACK logs newest)
file(READ "${newest}" content HEX)
if(NOT content MATCHES "^0d0a2a2a2a")
  message(FATAL_ERROR "${newest} does not start with the banner and a CR LF")
endif()
file(READ "${newest}" text)
if(NOT text MATCHES "order 1001 accepted")
  message(FATAL_ERROR "${newest} lacks the example's messages")
endif()
message(STATUS "${directory} (${newest}) holds the example's log with CR LF line ends")
