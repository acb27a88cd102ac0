// Compiled once per check by the tests: as it is, and with KIVLOG_CHECK set
// to a call that must not compile.
#include <logging/MsgLogFormat.h>

using namespace ORVA::KIV::System::Utility::Logging;

int main() {
    IMsgLog* log = nullptr;
#if KIVLOG_CHECK == 1
    KIV_WARN(log, "(U) ", "{:d}", "text");
#elif KIVLOG_CHECK == 2
    KIV_WARN(log, "(U) ", "{} {}", "text");
#elif KIVLOG_CHECK == 3
    KIV_INFO(log, "(U) ", "order {}", 17, "left over");
#elif KIVLOG_CHECK == 4
    KIV_INFO(log, "starting {} version {}", "order-service", 3);
#elif KIVLOG_CHECK == 5
    KIV_INFO(MakeMsgLog(IMsgLog::MSG_LOG_CONSOLE, nullptr), "(U) ", "{}", 1);
#elif KIVLOG_CHECK == 6
    KIV_INFO(static_cast<const MsgLogPtr>(MakeMsgLog(IMsgLog::MSG_LOG_CONSOLE, nullptr)), "(U) ", "{}", 1);
#else
    const MsgLogPtr owned = MakeMsgLog(IMsgLog::MSG_LOG_CONSOLE, nullptr);
    KIV_WARN(log, "(U) ", "{}", "text");
    KIV_INFO(owned, IMsgLog::STR_SC_DEFAULT, "{1} {0} {{}}", 1, 2);
    KIV_INFO(owned, nullptr, "{:{}}", 1, 4);
#endif
    return 0;
}
