// The C interface: handles are the C++ loggers themselves, and every call
// forwards to the C++ interface, which throws nothing.
#include <logging/MsgLog.h>
#include <logging/MsgLogThreshold.h>
#include <logging/msglog.h>

namespace {

using namespace ORVA::KIV::System::Utility::Logging;

IMsgLog* LogOf(kivlog_log* log) {
    return reinterpret_cast<IMsgLog*>(log);
}

kivlog_log* HandleOf(IMsgLog* log) {
    return reinterpret_cast<kivlog_log*>(log);
}

using FrontEnd = void (IMsgLog::*)(const char*, const char*, const char*);

// The three-argument front end of a level; levels outside the range count
// as the nearest.
FrontEnd FrontEndOf(int level) {
    static constexpr FrontEnd kFrontEnds[] = {&IMsgLog::Debug, &IMsgLog::Info, &IMsgLog::Warn,
                                              &IMsgLog::Error, &IMsgLog::Fatal};
    if (level < KIVLOGGING_LEVEL_DEBUG) level = KIVLOGGING_LEVEL_DEBUG;
    if (level > KIVLOGGING_LEVEL_FATAL) level = KIVLOGGING_LEVEL_FATAL;
    return kFrontEnds[level - KIVLOGGING_LEVEL_DEBUG];
}

}  // namespace

extern "C" {

kivlog_log* kivlog_system_logger(void) {
    return HandleOf(MsgLogFactory::GetGlobalSystemLogger());
}

kivlog_log* kivlog_new_console_log(void) {
    return HandleOf(MsgLogFactory::NewMsgLog(IMsgLog::MSG_LOG_CONSOLE, nullptr));
}

kivlog_log* kivlog_new_file_log(const char* file_name) {
    if (file_name == nullptr) return nullptr;
    return HandleOf(MsgLogFactory::NewMsgLog(IMsgLog::MSG_LOG_PLAIN_FILE, file_name));
}

int kivlog_delete_log(kivlog_log** log) {
    if (log == nullptr) return 1;
    IMsgLog* cpp = LogOf(*log);
    const bool deleted = MsgLogFactory::DeleteMsgLog(&cpp);
    *log = HandleOf(cpp);
    return deleted ? 1 : 0;
}

int kivlog_can_log(const kivlog_log* log) {
    return log != nullptr && reinterpret_cast<const IMsgLog*>(log)->CanLogMessages() ? 1 : 0;
}

void kivlog_close(kivlog_log* log) {
    if (log != nullptr) LogOf(log)->Close();
}

void kivlog_write(kivlog_log* log, int level, const char* method, const char* text,
                  const char* marking) {
    if (log != nullptr) (LogOf(log)->*FrontEndOf(level))(method, text, marking);
}

void kivlog_write_raw(kivlog_log* log, const char* text, const char* marking) {
    if (log != nullptr) LogOf(log)->LogMessage(text, marking);
}

void kivlog_turn_on(void) {
    IMsgLog::TurnLoggingOn();
}

void kivlog_turn_off(void) {
    IMsgLog::TurnLoggingOff();
}

int kivlog_is_on(void) {
    return IMsgLog::LoggingIsOn() ? 1 : 0;
}

int kivlog_threshold(void) {
    return static_cast<int>(MsgLogThreshold::Get());
}

void kivlog_set_threshold(int level) {
    MsgLogThreshold::Set(static_cast<MsgSeverity>(level));
}

const char* kivlog_property(const char* key) {
    return IMsgLog::GetLoggingSystemProperty(key);
}

}  // extern "C"
