#include "logs/MsgLogDeletion.h"

#include "logs/FileMsgLog.h"
#include "logs/JournalMsgLog.h"

namespace ORVA::KIV::System::Utility::Logging {

bool DeleteMsgLogByKind(IMsgLog** log) {
    if (log == nullptr || *log == nullptr) return true;
    if (JournalMsgLog::DeleteJournalMsgLog(log)) return true;
    switch ((*log)->MsgLogType()) {
        case IMsgLog::MSG_LOG_CONSOLE: {
            SysOutMsgLog* console = dynamic_cast<SysOutMsgLog*>(*log);
            if (console == nullptr || !SysOutMsgLog::DeleteSysOutMsgLog(&console)) return false;
            *log = nullptr;
            return true;
        }
        case IMsgLog::MSG_LOG_PLAIN_FILE:
            return FileMsgLog::DeleteFileMsgLog(log);
        default:
            return false;
    }
}

}  // namespace ORVA::KIV::System::Utility::Logging
