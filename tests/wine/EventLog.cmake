# Runs the probe under Wine with the journal member configured and checks,
# in Wine's trace of the Event Log, that each message became one event of
# its level's type with the method and marking in its text. Wine keeps no
# events, so the trace is all there is to read. Run with -DPROBE=<exe>
# -DEMULATOR=<wine> -DWORK=<directory>.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
file(WRITE "${WORK}/kiv.system.properties" "kiv.logging.status=on\nkiv.log.loggers=journal\n")
execute_process(COMMAND ${CMAKE_COMMAND} -E env WINEDEBUG=-all,+eventlog,fixme+advapi KIV_SYS_CONFIG_DIR=${WORK}
    ${EMULATOR} ${PROBE} syslevels "syslog:two\\nlines" "sysraw:raw text"
  OUTPUT_VARIABLE output ERROR_VARIABLE trace COMMAND_ERROR_IS_FATAL ANY)
if(NOT trace MATCHES "RegisterEventSourceW \\(\\(null\\),L\"kivlog-probe\"\\)")
  message(FATAL_ERROR "no event source named after the program:\n${trace}")
endif()
foreach(event
    "trace:eventlog:ReportEventW L\"DEBUG Probe::Levels:\\r\\n(U) debug-system\""
    "trace:eventlog:ReportEventW L\"INFO Probe::Levels:\\r\\n(U) info-system\""
    "warn:eventlog:ReportEventW L\"WARN Probe::Levels:\\r\\n(U) warn-system\""
    "err:eventlog:ReportEventW L\"ERROR Probe::Levels:\\r\\n(U) error-system\""
    "err:eventlog:ReportEventW L\"FATAL Probe::Levels:\\r\\n(U) fatal-system\""
    "warn:eventlog:ReportEventW L\"WARN Probe::Run:\\r\\n(U) two\\nlines\""
    "trace:eventlog:ReportEventW L\"(U) raw text\"")
  string(FIND "${trace}" "${event}" found)
  if(found EQUAL -1)
    message(FATAL_ERROR "no event ${event} in Wine's trace:\n${trace}")
  endif()
endforeach()
string(REGEX MATCHALL "eventlog:ReportEventW L" events "${trace}")
list(LENGTH events count)
if(NOT count EQUAL 7)
  message(FATAL_ERROR "${count} events instead of 7:\n${trace}")
endif()
message(STATUS "each message became one event of its level's type")
