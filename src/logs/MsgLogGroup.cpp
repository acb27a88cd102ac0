#include "logs/MsgLogGroup.h"

#include <algorithm>
#include <string>
#include <vector>

#include "core/AcceptingFlag.h"
#include "core/LogLifetime.h"
#include "logs/FileMsgLog.h"
#include "logs/JournalMsgLog.h"
#include "logs/MessageText.h"
#include "logs/MsgLogDeletion.h"
#include "properties/LoggerList.h"

namespace ORVA::KIV::System::Utility::Logging {
namespace {

// A new logger for a kind name of the list; null for a name without a
// logger class or a logger that could not be made.
IMsgLog* NewMemberFor(const char* name) {
    switch (MemberKindOf(name)) {
        case MemberKind::kConsole:
            return SysOutMsgLog::NewSysOutMsgLog();
        case MemberKind::kPlainFile:
            return CreateOrNull([]() -> IMsgLog* { return new FileMsgLog(); });
        case MemberKind::kJournal:
            return JournalMsgLog::NewJournalMsgLog();
        default:
            return nullptr;
    }
}

void DeleteAll(std::vector<IMsgLog*>& logs) {
    for (IMsgLog*& log : logs) DeleteMsgLogByKind(&log);
    logs.clear();
}

}  // namespace

MsgLogGroup::MsgLogGroup() {
    SetMsgLogName();
    CreateMsgLogs();
}

MsgLogGroup::~MsgLogGroup() {
    DeleteMsgLogs();
}

void MsgLogGroup::SetMsgLogName() {
    m_name = "Message Log Group";
}

IMsgLog::SupportedMsgLog MsgLogGroup::MsgLogType() const {
    return MSG_LOG_GROUP;
}

void MsgLogGroup::CreateMsgLogs() {
    std::vector<IMsgLog*> collected;
    char** tokens = nullptr;
    size_t count = 0;
    const char* list = GetLoggingSystemProperty(PropertyKey::LOGGERS);
    if (list != nullptr) TokenizeString(DELIMITER, list, &tokens, &count);
    for (size_t i = 0; i < count; ++i) {
        IMsgLog* member = nullptr;
        try {
            if (tokens[i] == nullptr || tokens[i][0] == '\0') continue;
            member = NewMemberFor(tokens[i]);
            if (member == nullptr) continue;
            if (member->CanLogMessages()) {
                collected.push_back(member);
            } else {
                DeleteMsgLogByKind(&member);
            }
        } catch (...) {
            DeleteMsgLogByKind(&member);
        }
    }
    for (size_t i = 0; i < count; ++i) delete[] tokens[i];
    delete[] tokens;

    m_numMsgLogs = collected.size();
    if (m_numMsgLogs == 0) {
        m_canLogMessages = CreateDefaultMsgLog();
        return;
    }
    try {
        m_pMsgLogs = new IMsgLog*[collected.size()];
        std::copy(collected.begin(), collected.end(), m_pMsgLogs);
        m_canLogMessages = true;
    } catch (...) {
        DeleteAll(collected);
        DeleteMsgLogs();
    }
}

bool MsgLogGroup::CreateDefaultMsgLog() {
    try {
        DeleteMsgLogs();
        m_pMsgLogs = new IMsgLog*[1]{nullptr};
        m_numMsgLogs = 1;
        m_pMsgLogs[0] = NewMemberFor(MSG_LOG_DEFAULT);
        if (m_pMsgLogs[0] != nullptr) return true;
    } catch (...) {
        // Falls through to an empty group.
    }
    DeleteMsgLogs();
    return false;
}

void MsgLogGroup::DeleteMsgLogs() {
    if (m_pMsgLogs != nullptr) {
        for (std::uint64_t i = 0; i < m_numMsgLogs; ++i) DeleteMsgLogByKind(&m_pMsgLogs[i]);
        delete[] m_pMsgLogs;
        m_pMsgLogs = nullptr;
    }
    m_canLogMessages = false;
    m_numMsgLogs = 0;
}

void MsgLogGroup::Close() {
    for (std::uint64_t i = 0; i < m_numMsgLogs && m_pMsgLogs != nullptr; ++i) {
        if (m_pMsgLogs[i] != nullptr) m_pMsgLogs[i]->Close();
    }
    ClearAcceptingFlag(m_canLogMessages);
}

bool MsgLogGroup::Forwards(const char* message) const {
    return IsNonEmpty(message) && m_pMsgLogs != nullptr && LoggingIsOn();
}

void MsgLogGroup::LogMessage(const char* message, int levelCode, const char* marking) {
    if (!Forwards(message)) return;
    for (std::uint64_t i = 0; i < m_numMsgLogs; ++i) {
        if (m_pMsgLogs[i] != nullptr) m_pMsgLogs[i]->LogMessage(message, levelCode, marking);
    }
}

void MsgLogGroup::LogMessage(const char* method, const char* message, int levelCode,
                             const char* marking) {
    if (!Forwards(message)) return;
    for (std::uint64_t i = 0; i < m_numMsgLogs; ++i) {
        if (m_pMsgLogs[i] != nullptr) {
            m_pMsgLogs[i]->LogMessage(method, message, levelCode, marking);
        }
    }
}

void MsgLogGroup::LogMessage(const char* message, const char* marking) {
    if (message == nullptr || m_pMsgLogs == nullptr || !LoggingIsOn()) return;
    try {
        std::string text = marking == nullptr ? std::string() : std::string(marking);
        text += message;
        for (std::uint64_t i = 0; i < m_numMsgLogs; ++i) {
            if (m_pMsgLogs[i] != nullptr) m_pMsgLogs[i]->LogMessage(text.c_str(), nullptr);
        }
    } catch (...) {
        // Out of memory while joining: the text is dropped.
    }
}

}  // namespace ORVA::KIV::System::Utility::Logging
