#include <logging/MsgLog.h>

#include "core/LogLifetime.h"
#include "logs/FileMsgLog.h"
#include "logs/MsgLogDeletion.h"
#include "logs/MsgLogGroup.h"

namespace ORVA::KIV::System::Utility::Logging {
namespace {

// The one-time decision: a group when logging is on and a properties file
// was found, otherwise none.
IMsgLog* MakeSystemLogger() noexcept {
    if (!IMsgLog::LoggingIsOn()) return nullptr;
    if (IMsgLog::GetLoggingSystemProperty(IMsgLog::PropertyKey::KIV_LOGGING) != nullptr) {
        return nullptr;
    }
    return CreateOrNull([]() -> IMsgLog* { return new MsgLogGroup(); });
}

}  // namespace

MsgLogFactory::MsgLogFactory() = default;
MsgLogFactory::~MsgLogFactory() = default;

MsgLogFactory& MsgLogFactory::operator=(const MsgLogFactory&) {
    return *this;
}

IMsgLog* MsgLogFactory::NewMsgLog(IMsgLog::SupportedMsgLog kind, const char* fileName) {
    switch (kind) {
        case IMsgLog::MSG_LOG_CONSOLE:
            return SysOutMsgLog::NewSysOutMsgLog();
        case IMsgLog::MSG_LOG_PLAIN_FILE:
            return CreateOrNull([fileName]() -> IMsgLog* { return new FileMsgLog(fileName); });
        default:
            return nullptr;
    }
}

bool MsgLogFactory::DeleteMsgLog(IMsgLog** log) {
    return DeleteMsgLogByKind(log);
}

IMsgLog* MsgLogFactory::GetGlobalSystemLogger() {
    // Made on the first call, once, even when several threads make it; the
    // library never deletes it.
    static IMsgLog* const systemLogger = MakeSystemLogger();
    return systemLogger;
}

}  // namespace ORVA::KIV::System::Utility::Logging
