#include <logging/MsgLog.h>

#include <iostream>
#include <mutex>
#include <string>

#include "core/LogLifetime.h"
#include "logs/MessageText.h"

namespace ORVA::KIV::System::Utility::Logging {
namespace {

// Every console log of the process writes to the one standard output, so
// all of them share this lock.
std::mutex& ConsoleMutex() {
    static std::mutex mutex;
    return mutex;
}

// Writes the text to standard output in one insertion and flushes it, so
// the message is whole and on the console when the call returns. A failed
// earlier write must not silence the console for good, so the stream's
// error state is cleared first.
void WriteToConsole(const std::string& text) noexcept {
    try {
        std::lock_guard<std::mutex> lock(ConsoleMutex());
        if (!std::cout.good()) std::cout.clear();
        std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
        std::cout.flush();
    } catch (...) {
        // A stream set to throw, or a failed lock: the message is dropped.
    }
}

}  // namespace

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
    if (!CanLogMessages() || !LoggingIsOn() || !IsLoggableMessage(message)) return;
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

