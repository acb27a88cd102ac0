# A Documents folder named in Japanese, on a system whose code page is
# Western: the system logger's file goes into it. The Documents folder is
# set for the run in the private Wine prefix's registry and set back
# afterwards. Run with -DPROBE=<exe> -DEMULATOR=<wine> -DWORK=<directory>.
set(key "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders")
file(REMOVE_RECURSE "${WORK}")
set(documents "${WORK}/文書")
file(MAKE_DIRECTORY "${documents}" "${WORK}/config")
file(WRITE "${WORK}/config/kiv.system.properties" "kiv.logging.status=on\nkiv.log.loggers=plain.file\n")

execute_process(COMMAND ${EMULATOR} reg query "${key}" /v Personal OUTPUT_VARIABLE before
  COMMAND_ERROR_IS_FATAL ANY)
if(NOT before MATCHES "REG_EXPAND_SZ[ \t]+([^\r\n]+)")
  message(FATAL_ERROR "no Documents folder in the registry:\n${before}")
endif()
set(original "${CMAKE_MATCH_1}")
string(REPLACE "/" "\\" windows_documents "Z:${documents}")
execute_process(COMMAND ${EMULATOR} reg add "${key}" /v Personal /t REG_EXPAND_SZ /d "${windows_documents}" /f
  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${CMAKE_COMMAND} -E env KIV_SYS_CONFIG_DIR=Z:${WORK}/config
    ${EMULATOR} ${PROBE} "syslog:in the Documents folder"
  OUTPUT_VARIABLE output RESULT_VARIABLE status)
execute_process(COMMAND ${EMULATOR} reg add "${key}" /v Personal /t REG_EXPAND_SZ /d "${original}" /f
  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)

if(NOT status EQUAL 0)
  message(FATAL_ERROR "the probe failed (${status}):\n${output}")
endif()
file(GLOB logs "${documents}/kiv.log_*.log")
list(LENGTH logs count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "${count} log files in ${documents}:\n${output}")
endif()
file(READ "${logs}" content)
if(NOT content MATCHES "in the Documents folder")
  message(FATAL_ERROR "${logs} lacks the message:\n${content}")
endif()
message(STATUS "the system logger wrote into ${documents}")
