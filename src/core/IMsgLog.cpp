#include <logging/MsgLog.h>
#include <logging/MsgLogThreshold.h>

#include <atomic>

#include "core/AcceptingFlag.h"
#include "core/DateTime.h"
#include "core/ProcessSettings.h"

namespace ORVA::KIV::System::Utility::Logging {

bool g_loggingTurnedOn = false;
const char* g_pLoggingLevel = nullptr;
int g_loggingLevelCode = -1;

bool& IMsgLog::c_loggingTurnedOn = g_loggingTurnedOn;
const char*& IMsgLog::c_pLoggingLevel = g_pLoggingLevel;
int& IMsgLog::c_loggingLevelCode = g_loggingLevelCode;

IMsgLog::IMsgLog() : m_canLogMessages(true) {}

IMsgLog::IMsgLog(const IMsgLog& other)
    : m_canLogMessages(other.m_canLogMessages),
      m_logFileName(other.m_logFileName),
      m_name(other.m_name) {}

IMsgLog& IMsgLog::operator=(const IMsgLog& other) {
    m_canLogMessages = other.m_canLogMessages;
    if (this != &other) {
        m_logFileName = other.m_logFileName;
        m_name = other.m_name;
    }
    return *this;
}

IMsgLog::~IMsgLog() {
    CleanupIMsgLog();
}

void IMsgLog::CleanupIMsgLog() {
    m_logFileName.clear();
    m_name.clear();
    m_canLogMessages = false;
}

bool IMsgLog::CanLogMessages() const {
    return LoadAcceptingFlag(m_canLogMessages);
}

void IMsgLog::Close() {}

namespace {

// The switch as the front ends read it: the library's own variable, not the
// exported reference, so that a call made while logging is off costs one
// load and a branch.
inline bool SwitchIsOn() {
    return std::atomic_ref<bool>(g_loggingTurnedOn).load(std::memory_order_relaxed);
}

// Whether the severity passes the threshold and the switch is on. The
// threshold first: a message it drops then costs one load, as one does
// while logging is off.
inline bool Passes(int severity) {
    return severity >= g_severityThreshold.load(std::memory_order_relaxed) && SwitchIsOn();
}

}  // namespace

// The three front ends of one level: the switch and the threshold are tested
// before the concrete log is called; the one-argument form adds the default
// marking. Writing a message costs a system call, so the path that returns
// at once while logging is off is the one laid out straight.
#define KIVLOGGING_DEFINE_FRONT_ENDS(Level, levelCode, severity)                           \
    void IMsgLog::Level(const char* method, const char* message, const char* marking) {    \
        if (Passes(severity)) [[unlikely]] LogMessage(method, message, levelCode, marking); \
    }                                                                                      \
    void IMsgLog::Level(const char* message, const char* marking) {                        \
        if (Passes(severity)) [[unlikely]] LogMessage(message, levelCode, marking);         \
    }                                                                                      \
    void IMsgLog::Level(const char* message) {                                             \
        Level(message, STR_SC_DEFAULT);                                                    \
    }

KIVLOGGING_DEFINE_FRONT_ENDS(Debug, MsgLevel::LOGGING_CODE_DEBUG, KIVLOGGING_LEVEL_DEBUG)
KIVLOGGING_DEFINE_FRONT_ENDS(Error, MsgLevel::LOGGING_CODE_ERROR, KIVLOGGING_LEVEL_ERROR)
KIVLOGGING_DEFINE_FRONT_ENDS(Fatal, MsgLevel::LOGGING_CODE_FATAL, KIVLOGGING_LEVEL_FATAL)
KIVLOGGING_DEFINE_FRONT_ENDS(Info, MsgLevel::LOGGING_CODE_INFO, KIVLOGGING_LEVEL_INFO)
KIVLOGGING_DEFINE_FRONT_ENDS(Warn, MsgLevel::LOGGING_CODE_WARN, KIVLOGGING_LEVEL_WARN)

#undef KIVLOGGING_DEFINE_FRONT_ENDS

const char* IMsgLog::GetName() const {
    return m_name.c_str();
}

const char* IMsgLog::GetLogFileName() const {
    return m_logFileName.c_str();
}

const char* IMsgLog::GetLoggingLevel() const {
    return c_pLoggingLevel;
}

bool IMsgLog::DebugEnabled() const {
    return LoggingIsOn() && c_loggingLevelCode == MsgLevel::LOGGING_CODE_DEBUG;
}

bool IMsgLog::InfoEnabled() const {
    return LoggingIsOn() && c_loggingLevelCode == MsgLevel::LOGGING_CODE_INFO;
}

bool IMsgLog::LoggingIsOn() {
    return SwitchIsOn();
}

bool IMsgLog::TurnLoggingOn() {
    std::atomic_ref<bool>(g_loggingTurnedOn).store(true, std::memory_order_relaxed);
    return LoggingIsOn();
}

bool IMsgLog::TurnLoggingOff() {
    std::atomic_ref<bool>(g_loggingTurnedOn).store(false, std::memory_order_relaxed);
    return LoggingIsOn();
}

std::string IMsgLog::CurrentDateTime() {
    std::string text;
    try {
        text = CurrentDateTimeStamp();
    } catch (...) {
        // Out of memory: an empty stamp rather than an exception.
    }
    return text;
}

}  // namespace ORVA::KIV::System::Utility::Logging
