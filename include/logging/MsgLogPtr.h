// MsgLogPtr: a logger from MsgLogFactory owned by a std::unique_ptr.
// IMsgLog's destructor is protected, so std::unique_ptr<IMsgLog> does not
// compile; the deleter gives the log back through MsgLogFactory::DeleteMsgLog,
// which closes a file log before deleting it.
//
// The system logger (MsgLogFactory::GetGlobalSystemLogger) is owned by the
// library for the life of the process and is never held in a MsgLogPtr:
// DeleteMsgLog refuses groups, so the pointer would only pretend to own it.
#ifndef KIVLOGGING_LOGGING_MSGLOGPTR_H
#define KIVLOGGING_LOGGING_MSGLOGPTR_H

#include <logging/MsgLog.h>

#include <memory>

namespace ORVA::KIV::System::Utility::Logging {

struct MsgLogDeleter {
    void operator()(IMsgLog* log) const noexcept { MsgLogFactory::DeleteMsgLog(&log); }
};

using MsgLogPtr = std::unique_ptr<IMsgLog, MsgLogDeleter>;

// MsgLogFactory::NewMsgLog(kind, fileName), owned: empty when no log could
// be made. A file log whose file could not be opened is returned and answers
// false to CanLogMessages.
inline MsgLogPtr MakeMsgLog(IMsgLog::SupportedMsgLog kind, const char* fileName) {
    return MsgLogPtr(MsgLogFactory::NewMsgLog(kind, fileName));
}

}  // namespace ORVA::KIV::System::Utility::Logging

#endif  // KIVLOGGING_LOGGING_MSGLOGPTR_H
