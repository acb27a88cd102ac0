# Fails unless the installed library exports the interface and hides the
# internals. Run with -DLIBRARY=<path> -DNM=<nm>.
execute_process(COMMAND ${NM} -D --defined-only -C ${LIBRARY}
  OUTPUT_VARIABLE symbols RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
include(${CMAKE_CURRENT_LIST_DIR}/ExportChecks.cmake)
set(expected "IMsgLog::Warn(char const*, char const*, char const*)"
  "SysOutMsgLog::NewSysOutMsgLog()" "MsgLogFactory::GetGlobalSystemLogger()"
  "IMsgLog::GetLoggingSystemProperty(char const*)" "IMsgLog::c_loggingTurnedOn"
  "IMsgLog::MsgLevel::SZ_LOGGING_DEBUG" "IMsgLog::PropertyKey::LOGGERS"
  "vtable for ORVA::KIV::System::Utility::Logging::SysOutMsgLog")
set(hidden TrimString NormalizeMsgLevel TokenizeString FileMsgLog MsgLogGroup
  LoadLoggingSystemProperties GetSystemConfigDirectory Platform::)
kivlogging_check_exports("${symbols}" "${expected}" "${hidden}")
message(STATUS "exports are the interface only")
