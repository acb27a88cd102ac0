#include <logging/MsgLogFormat.h>

#include <cstdio>

using namespace ORVA::KIV::System::Utility::Logging;

namespace {

struct Consumer {
    // Every macro once; the count shows that each one wrote.
    static void Run(IMsgLog* log, int count) {
        KIV_DEBUG(log, "(U) ", "message {} of {}", 1, count);
        KIV_INFO(log, "(U) ", "message {} of {}", 2, count);
        KIV_WARN(log, "(U) ", "message {} of {}", 3, count);
        KIV_ERROR(log, "(U) ", "message {} of {}", 4, count);
        KIV_FATAL(log, "(U) ", "message {} of {}", 5, count);
        KIV_DEBUG_AT(log, "Consumer::Generated", "(U) ", "message {} of {}", 6, count);
        KIV_INFO_AT(log, "Consumer::Generated", "(U) ", "message {} of {}", 7, count);
        KIV_WARN_AT(log, "Consumer::Generated", "(U) ", "message {} of {}", 8, count);
        KIV_ERROR_AT(log, "Consumer::Generated", "(U) ", "message {} of {}", 9, count);
        KIV_FATAL_AT(log, "Consumer::Generated", "(U) ", "installed format package works: {} of {}", 10, count);
    }
};

}  // namespace

int main() {
    IMsgLog::TurnLoggingOn();
    MsgLogPtr log = MakeMsgLog(IMsgLog::MSG_LOG_CONSOLE, nullptr);
    if (log == nullptr) return 1;
    Consumer::Run(log.get(), 10);
    std::fflush(stdout);
    return 0;
}
