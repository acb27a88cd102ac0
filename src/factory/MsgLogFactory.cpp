#include <logging/MsgLog.h>

#include "core/LogLifetime.h"
#include "factory/SystemLogger.h"
#include "logs/FileMsgLog.h"
#include "logs/MsgLogDeletion.h"

namespace ORVA::KIV::System::Utility::Logging {

MsgLogFactory::MsgLogFactory() = default;
MsgLogFactory::~MsgLogFactory() = default;

MsgLogFactory& MsgLogFactory::operator=(const MsgLogFactory&) {
    return *this;
}

IMsgLog* MsgLogFactory::NewMsgLog(IMsgLog::SupportedMsgLog kind, const char* fileName) {
    return NewMsgLog(kind, fileName, OpenMode::Replace);
}

IMsgLog* MsgLogFactory::NewMsgLog(IMsgLog::SupportedMsgLog kind, const char* fileName, OpenMode mode) {
    switch (kind) {
        case IMsgLog::MSG_LOG_CONSOLE:
            return SysOutMsgLog::NewSysOutMsgLog();
        case IMsgLog::MSG_LOG_PLAIN_FILE: {
            const FileMsgLog::OpenMode fileMode =
                mode == OpenMode::Append ? FileMsgLog::OpenMode::kAppend : FileMsgLog::OpenMode::kReplace;
            return CreateOrNull([fileName, fileMode]() -> IMsgLog* { return new FileMsgLog(fileName, fileMode); });
        }
        default:
            return nullptr;
    }
}

bool MsgLogFactory::DeleteMsgLog(IMsgLog** log) {
    return DeleteMsgLogByKind(log);
}

IMsgLog* MsgLogFactory::GetGlobalSystemLogger() {
    return SystemLogger();
}

}  // namespace ORVA::KIV::System::Utility::Logging
