// An opt-in severity threshold. Messages of a level below it are dropped by
// every level front end (Debug ... Fatal, each of the three forms, on every
// kind of log, the system logger included) and by every KIV_* macro, which
// then evaluates none of its arguments. Raw writes without a level
// (LogMessage(message, marking), SysOutMsgLog::WriteMessage) and direct
// calls of LogMessage with a level code are not filtered.
//
// Severity order: DEBUG < INFO < WARN < ERROR < FATAL. The threshold starts
// as "kiv.log.threshold" of kiv.system.properties says, read once when the
// library loads; without the key (or with a value that names no level) it is
// DEBUG, which drops nothing. The configured level ("kiv.log.level") is a
// different setting: it is reported and filters nothing.
//
// Compile-time floor: compiled with
//   -DKIVLOGGING_MIN_LEVEL=KIVLOGGING_LEVEL_WARN
// the KIV_* macros of lower levels compile to nothing: no argument is
// evaluated and no code is generated for them.
#ifndef KIVLOGGING_LOGGING_MSGLOGTHRESHOLD_H
#define KIVLOGGING_LOGGING_MSGLOGTHRESHOLD_H

#include <logging/MsgLog.h>
#include <logging/MsgLogPtr.h>

#include <atomic>
#include <cstddef>

// The levels in severity order, for KIVLOGGING_MIN_LEVEL.
#define KIVLOGGING_LEVEL_DEBUG 0
#define KIVLOGGING_LEVEL_INFO 1
#define KIVLOGGING_LEVEL_WARN 2
#define KIVLOGGING_LEVEL_ERROR 3
#define KIVLOGGING_LEVEL_FATAL 4

#if !defined(KIVLOGGING_MIN_LEVEL)
#define KIVLOGGING_MIN_LEVEL KIVLOGGING_LEVEL_DEBUG
#endif

namespace ORVA::KIV::System::Utility::Logging {

// A level by its severity; the values are the KIVLOGGING_LEVEL_* numbers.
enum class MsgSeverity : int {
    Debug = KIVLOGGING_LEVEL_DEBUG,
    Info = KIVLOGGING_LEVEL_INFO,
    Warn = KIVLOGGING_LEVEL_WARN,
    Error = KIVLOGGING_LEVEL_ERROR,
    Fatal = KIVLOGGING_LEVEL_FATAL,
};

class KIVLOGGING_API MsgLogThreshold {
public:
    MsgLogThreshold() = delete;

    // "kiv.log.threshold": the key of kiv.system.properties that sets the
    // threshold at load. GetLoggingSystemProperty answers its stored value
    // (a level name in upper case), or null.
    static const char* const PROPERTY_KEY;

    // The threshold in force.
    static MsgSeverity Get() {
        return static_cast<MsgSeverity>(c_threshold.load(std::memory_order_relaxed));
    }
    // Changes the threshold in force, for every thread at once; Debug drops
    // nothing. A value outside Debug to Fatal counts as the nearest of them,
    // so no threshold drops FATAL. Safe while other threads log. Reloads of
    // the properties file (dynamic logging) never change it; only this call
    // does.
    static void Set(MsgSeverity threshold);

    // Whether a message of the severity passes the threshold: one relaxed
    // atomic load.
    static bool Passes(MsgSeverity severity) {
        return static_cast<int>(severity) >= c_threshold.load(std::memory_order_relaxed);
    }

    // Whether a message of the severity to the log would be written now: the
    // log is not null, logging is on, the log accepts messages and the
    // severity passes the threshold. What KIV_ENABLED asks.
    static bool WouldWrite(const IMsgLog* log, MsgSeverity severity) {
        return Passes(severity) && log != nullptr && IMsgLog::LoggingIsOn() && log->CanLogMessages();
    }
    static bool WouldWrite(const MsgLogPtr& log, MsgSeverity severity) { return WouldWrite(log.get(), severity); }

private:
    // The severity number of the lowest level that passes.
    static std::atomic<int>& c_threshold;
};

}  // namespace ORVA::KIV::System::Utility::Logging

// Whether a message at Level (Debug, Info, Warn, Error or Fatal) to log (an
// IMsgLog* or a MsgLogPtr) would be written now, so that expensive
// preparation can be skipped by hand:
//   if (KIV_ENABLED(log, Debug)) log->Debug("Cache::Dump", Describe(cache).c_str(), "(U) ");
// Below the compile-time floor it is false, as the macros write nothing.
#define KIV_ENABLED(log, Level)                                                          \
    (static_cast<int>(::ORVA::KIV::System::Utility::Logging::MsgSeverity::Level) >=      \
         KIVLOGGING_MIN_LEVEL &&                                                         \
     ::ORVA::KIV::System::Utility::Logging::MsgLogThreshold::WouldWrite(                 \
         log, ::ORVA::KIV::System::Utility::Logging::MsgSeverity::Level))

#endif  // KIVLOGGING_LOGGING_MSGLOGTHRESHOLD_H
