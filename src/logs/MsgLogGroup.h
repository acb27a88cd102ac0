// The logger behind the system logger: forwards every message to the
// members that the logger list names.
#ifndef KIVLOGGING_LOGS_MSGLOGGROUP_H
#define KIVLOGGING_LOGS_MSGLOGGROUP_H

#include <logging/MsgLog.h>

#include <cstdint>

namespace ORVA::KIV::System::Utility::Logging {

// Members are made once, from "kiv.log.loggers": a console log for
// "console", a file log with a new file in the log directory for
// "plain.file", a journal member for "journal" where there is a system
// journal. Members that cannot write are dropped; with none left the
// group has one console member. The group owns its members and adds no lock
// of its own: each member keeps its own messages whole.
class MsgLogGroup : public IMsgLog {
public:
    MsgLogGroup();
    MsgLogGroup(const MsgLogGroup&) = delete;
    MsgLogGroup& operator=(const MsgLogGroup&) = delete;

    // Closes every member; the members stay in the group.
    void Close() override;
    SupportedMsgLog MsgLogType() const override;
    void LogMessage(const char* message, int levelCode, const char* marking) override;
    void LogMessage(const char* method, const char* message, int levelCode,
                    const char* marking) override;
    // Forwards the marking followed by the message as one text.
    void LogMessage(const char* message, const char* marking) override;

protected:
    ~MsgLogGroup() override;
    void SetMsgLogName() override;

private:
    void CreateMsgLogs();
    bool CreateDefaultMsgLog();
    void DeleteMsgLogs();
    // Whether the level forms forward a message at all.
    bool Forwards(const char* message) const;

    IMsgLog** m_pMsgLogs = nullptr;
    std::uint64_t m_numMsgLogs = 0;
};

}  // namespace ORVA::KIV::System::Utility::Logging

#endif  // KIVLOGGING_LOGS_MSGLOGGROUP_H
