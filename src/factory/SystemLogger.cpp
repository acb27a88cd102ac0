#include "factory/SystemLogger.h"

#include <atomic>

#include "core/LogLifetime.h"
#include "logs/MsgLogGroup.h"

namespace ORVA::KIV::System::Utility::Logging {
namespace {

std::atomic<bool> c_globalSystemLoggerInitialized{false};
IMsgLog* c_pGlobalSystemLogger = nullptr;

IMsgLog* MakeSystemLogger() noexcept {
    if (!IMsgLog::LoggingIsOn()) return nullptr;
    if (IMsgLog::GetLoggingSystemProperty(IMsgLog::PropertyKey::KIV_LOGGING) != nullptr) {
        return nullptr;
    }
    return CreateOrNull([]() -> IMsgLog* { return new MsgLogGroup(); });
}

}  // namespace

std::mutex& SystemLoggerMutex() {
    static std::mutex mutex;
    return mutex;
}

IMsgLog* SystemLogger() noexcept {
    if (c_globalSystemLoggerInitialized.load(std::memory_order_acquire)) return c_pGlobalSystemLogger;
    try {
        std::lock_guard<std::mutex> lock(SystemLoggerMutex());
        if (!c_globalSystemLoggerInitialized.load(std::memory_order_relaxed)) {
            c_pGlobalSystemLogger = MakeSystemLogger();
            c_globalSystemLoggerInitialized.store(true, std::memory_order_release);
        }
    } catch (...) {
        // The lock failed: the logger stays undecided for a later call.
        return nullptr;
    }
    return c_pGlobalSystemLogger;
}

}  // namespace ORVA::KIV::System::Utility::Logging
