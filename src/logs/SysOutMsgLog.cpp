#include <logging/MsgLog.h>

#include "core/LogLifetime.h"
#include "logs/ConsoleOutput.h"
#include "logs/MessageText.h"

namespace ORVA::KIV::System::Utility::Logging {

SysOutMsgLog::SysOutMsgLog() {
    SetMsgLogName();
}

SysOutMsgLog::SysOutMsgLog(const SysOutMsgLog& other) = default;

SysOutMsgLog& SysOutMsgLog::operator=(const SysOutMsgLog& other) {
    IMsgLog::operator=(other);
    return *this;
}

SysOutMsgLog::~SysOutMsgLog() {
    m_canLogMessages = false;
}

void SysOutMsgLog::SetMsgLogName() {
    m_name = "Console Output Message Log";
}

IMsgLog::SupportedMsgLog SysOutMsgLog::MsgLogType() const {
    return MSG_LOG_CONSOLE;
}

void SysOutMsgLog::LogMessage(const char* message, int levelCode, const char* marking) {
    SysOutMsgLog::LogMessage(nullptr, message, levelCode, marking);
}

void SysOutMsgLog::LogMessage(const char* method, const char* message, int levelCode,
                              const char* marking) {
    if (!CanLogMessages() || !LoggingIsOn() || !IsNonEmpty(message)) return;
    WriteMessageLine(WriteToConsole, method, message, levelCode, marking);
}

void SysOutMsgLog::LogMessage(const char* message, const char* marking) {
    if (message != nullptr) WriteRawText(WriteToConsole, message, marking, 1);
}

IMsgLog* SysOutMsgLog::NewSysOutMsgLog() {
    return CreateOrNull([]() -> IMsgLog* { return new SysOutMsgLog(); });
}

bool SysOutMsgLog::DeleteSysOutMsgLog(SysOutMsgLog** log) {
    return DeleteIfKind<SysOutMsgLog>(log, MSG_LOG_CONSOLE,
                                      [](SysOutMsgLog* doomed) { delete doomed; });
}

void SysOutMsgLog::WriteMessage(const char* text) {
    if (text != nullptr) WriteRawText(WriteToConsole, text, nullptr, 1);
}

}  // namespace ORVA::KIV::System::Utility::Logging

