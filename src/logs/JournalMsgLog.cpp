#include "logs/JournalMsgLog.h"

#include <logging/MsgLogThreshold.h>

#include "core/LogLifetime.h"
#include "core/MsgLevel.h"
#include "core/TextHelpers.h"

namespace ORVA::KIV::System::Utility::Logging {

IMsgLog* JournalMsgLog::NewJournalMsgLog() {
    return CreateOrNull([]() -> IMsgLog* {
        const Platform::JournalOpening opening = Platform::OpenJournal();
        if (opening.handle == Platform::kNoJournal) return nullptr;
        try {
            return new JournalMsgLog(opening.handle);
        } catch (...) {
            Platform::CloseJournal(opening.handle);
            throw;
        }
    });
}

bool JournalMsgLog::DeleteJournalMsgLog(IMsgLog** log) {
    return DeleteIfKind<JournalMsgLog>(log, MSG_LOG_CONSOLE,
                                       [](JournalMsgLog* doomed) { delete doomed; });
}

JournalMsgLog::JournalMsgLog(Platform::JournalHandle journal) : m_journal(journal) {
    SetMsgLogName();
    m_canLogMessages = true;
}

JournalMsgLog::~JournalMsgLog() {
    m_canLogMessages = false;
    Platform::CloseJournal(m_journal);
}

void JournalMsgLog::SetMsgLogName() {
    m_name = "System Journal Message Log";
}

IMsgLog::SupportedMsgLog JournalMsgLog::MsgLogType() const {
    return MSG_LOG_CONSOLE;
}

void JournalMsgLog::LogMessage(const char* message, int levelCode, const char* marking) {
    JournalMsgLog::LogMessage(nullptr, message, levelCode, marking);
}

void JournalMsgLog::LogMessage(const char* method, const char* message, int levelCode,
                               const char* marking) {
    if (!CanLogMessages() || !LoggingIsOn() || !IsNonEmpty(message)) return;
    Send({message, marking, method, MsgLevelName(levelCode), MsgLevelSeverity(levelCode)});
}

void JournalMsgLog::LogMessage(const char* message, const char* marking) {
    if (!CanLogMessages() || message == nullptr) return;
    // An entry without text is noise in the journal; raw text that is
    // nothing but line ends still shows.
    if (message[0] == '\0' && !IsNonEmpty(marking)) return;
    Send({message, marking, nullptr, nullptr, KIVLOGGING_LEVEL_INFO});
}

void JournalMsgLog::Send(const Platform::JournalEntry& entry) noexcept {
    try {
        Platform::SendToJournal(m_journal, entry);
    } catch (...) {
        // Out of memory for a long text: the message is dropped.
    }
}

}  // namespace ORVA::KIV::System::Utility::Logging
