# Fails unless the installed library exports the interface and hides the
# internals. Run with -DLIBRARY=<path> -DNM=<nm>.
execute_process(COMMAND ${NM} -D --defined-only -C ${LIBRARY}
  OUTPUT_VARIABLE symbols RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
foreach(expected "IMsgLog::Warn(char const*, char const*, char const*)"
    "SysOutMsgLog::NewSysOutMsgLog()" "MsgLogFactory::GetGlobalSystemLogger()"
    "IMsgLog::GetLoggingSystemProperty(char const*)" "IMsgLog::c_loggingTurnedOn"
    "IMsgLog::MsgLevel::SZ_LOGGING_DEBUG" "IMsgLog::PropertyKey::LOGGERS"
    "vtable for ORVA::KIV::System::Utility::Logging::SysOutMsgLog")
  string(FIND "${symbols}" "${expected}" found)
  if(found EQUAL -1)
    message(FATAL_ERROR "not exported: ${expected}")
  endif()
endforeach()
foreach(hidden TrimString NormalizeMsgLevel TokenizeString FileMsgLog MsgLogGroup
    LoadLoggingSystemProperties GetSystemConfigDirectory Platform::)
  string(FIND "${symbols}" "${hidden}" found)
  if(NOT found EQUAL -1)
    message(FATAL_ERROR "internal symbol exported: ${hidden}")
  endif()
endforeach()
message(STATUS "exports are the interface only")
