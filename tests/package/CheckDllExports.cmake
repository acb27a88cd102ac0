# Fails unless kivlogging.dll exports the interface and hides the internals.
# Run with -DLIBRARY=<dll> -DOBJDUMP=<objdump>.
execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY} OUTPUT_VARIABLE table COMMAND_ERROR_IS_FATAL ANY)
string(FIND "${table}" "[Ordinal/Name Pointer] Table" start)
string(SUBSTRING "${table}" ${start} -1 exports)
include(${CMAKE_CURRENT_LIST_DIR}/ExportChecks.cmake)
set(expected "7IMsgLog4WarnEPKcS6_S6_" "12SysOutMsgLog15NewSysOutMsgLogEv"
  "13MsgLogFactory21GetGlobalSystemLoggerEv" "7IMsgLog17c_loggingTurnedOnE"
  "8MsgLevel16SZ_LOGGING_DEBUGE" "_ZTVN4ORVA3KIV6System7Utility7Logging12SysOutMsgLogE"
  "kivlog_write" "kivlog_system_logger")
set(hidden TrimString NormalizeMsgLevel TokenizeString FileMsgLog MsgLogGroup
  LoadLoggingSystemProperties GetSystemConfigDirectory 8Platform)
kivlogging_check_exports("${exports}" "${expected}" "${hidden}")
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${table}")
foreach(import IN LISTS imports)
  if(NOT import MATCHES "(KERNEL32|msvcrt|ole32|SHELL32|ADVAPI32)\\.dll$")
    message(FATAL_ERROR "depends on a DLL that Windows does not ship: ${import}")
  endif()
endforeach()
message(STATUS "exports are the interface only; imports are Windows' own DLLs")
