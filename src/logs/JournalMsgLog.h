// The system logger's member for the system journal: journald on Linux, the
// Event Log on Windows. One journal entry per message, with the level as the
// entry's priority and the method and marking as fields of their own where
// the journal has fields.
#ifndef KIVLOGGING_LOGS_JOURNALMSGLOG_H
#define KIVLOGGING_LOGS_JOURNALMSGLOG_H

#include <logging/MsgLog.h>

#include "platform/Platform.h"

namespace ORVA::KIV::System::Utility::Logging {

class JournalMsgLog : public IMsgLog {
public:
    // A member writing to the journal; null when there is no journal to
    // write to (no journald, a build without libsystemd), so that the group
    // goes on without it.
    static IMsgLog* NewJournalMsgLog();
    // Deletes a journal member and sets *log to null; false, changing
    // nothing, for a log of any other class.
    static bool DeleteJournalMsgLog(IMsgLog** log);

    JournalMsgLog(const JournalMsgLog&) = delete;
    JournalMsgLog& operator=(const JournalMsgLog&) = delete;

    // The kinds of the interface have no journal. A journal member never
    // leaves its group, and like a console log it writes to no file.
    SupportedMsgLog MsgLogType() const override;
    void LogMessage(const char* message, int levelCode, const char* marking) override;
    void LogMessage(const char* method, const char* message, int levelCode,
                    const char* marking) override;
    void LogMessage(const char* message, const char* marking) override;

protected:
    ~JournalMsgLog() override;
    void SetMsgLogName() override;

private:
    explicit JournalMsgLog(Platform::JournalHandle journal);
    void Send(const Platform::JournalEntry& entry) noexcept;

    Platform::JournalHandle m_journal;
};

}  // namespace ORVA::KIV::System::Utility::Logging

#endif  // KIVLOGGING_LOGS_JOURNALMSGLOG_H
