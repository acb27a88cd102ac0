#include <logging/MsgLog.h>

using namespace ORVA::KIV::System::Utility::Logging;

int main() {
    IMsgLog::TurnLoggingOn();
    IMsgLog* log = MsgLogFactory::NewMsgLog(IMsgLog::MSG_LOG_CONSOLE, nullptr);
    if (log == nullptr) return 1;
    log->Info("Consumer::main", "installed package works", IMsgLog::STR_SC_DEFAULT);
    return MsgLogFactory::DeleteMsgLog(&log) ? 0 : 1;
}
