// Logging calls that format their own text and name their own method:
//
//   KIV_WARN(log, "(U) ", "order {} rejected: {}", id, reason);
//
// writes the same bytes as
//
//   log->Warn("OrderJob::Process", "order 17 rejected: no stock", "(U) ");
//
// inside OrderJob::Process. One macro per level: KIV_DEBUG, KIV_INFO,
// KIV_WARN, KIV_ERROR, KIV_FATAL (log, marking, format, args...), and
// KIV_DEBUG_AT ... KIV_FATAL_AT (log, method, marking, format, args...) with
// an explicit method name, for lambdas and generated code.
//
// - log is an IMsgLog* of any kind (a subclass pointer, the system logger, a
//   group), a MsgLogPtr, or null, which writes nothing.
// - The format string is checked against the arguments at compile time.
//   Formatting uses the standard <format> where the standard library has it,
//   {fmt} otherwise; custom types need a formatter of the library in use.
// - The arguments are evaluated, and the text formatted, only when the
//   message will be written: log not null, IMsgLog::LoggingIsOn() and
//   log->CanLogMessages().
// - The method name is computed at compile time (see MsgLogMethodName.h).
// - The message goes through the log's virtual front end (log->Warn(method,
//   text, marking) and so on), exactly like a hand-written call.
// - A text shorter than 1 KiB is formatted on the stack; a longer one is
//   formatted again into a std::string, written whole.
// - An exception from formatting (a formatter of the caller's type, a bad
//   dynamic width, no memory for a long text) drops the message; exceptions
//   from evaluating the arguments reach the caller as usual.
// - There is no thread_local or static object with a destructor, so the
//   macros work during static initialisation, static destruction and
//   thread exit.
#ifndef KIVLOGGING_LOGGING_MSGLOGFORMAT_H
#define KIVLOGGING_LOGGING_MSGLOGFORMAT_H

#include <logging/MsgLog.h>
#include <logging/MsgLogMethodName.h>
#include <logging/MsgLogPtr.h>

#include <atomic>
#include <cstddef>
#include <string>
#include <version>

#if defined(__cpp_lib_format)
#include <format>
#else
#include <fmt/format.h>
#endif

namespace ORVA::KIV::System::Utility::Logging::Formatting {

#if defined(__cpp_lib_format)
namespace Backend = ::std;
#else
namespace Backend = ::fmt;
#endif

// A format string checked at compile time against the argument types.
template <class... Args>
using FormatString = Backend::format_string<Args...>;

enum class Level { Debug, Info, Warn, Error, Fatal };

// Room on the stack for a text with its terminating NUL.
constexpr std::size_t kStackTextSize = 1024;

inline IMsgLog* AsLog(IMsgLog* log) { return log; }
inline IMsgLog* AsLog(const MsgLogPtr& log) { return log.get(); }
inline IMsgLog* AsLog(std::nullptr_t) { return nullptr; }

// The process-wide switch, read as IMsgLog::LoggingIsOn() reads it, but
// through the reference IMsgLog keeps for its subclasses: the path that
// writes nothing then makes no call into the library.
class LoggingSwitch : public IMsgLog {
public:
    static bool IsOn() { return std::atomic_ref<bool>(c_loggingTurnedOn).load(std::memory_order_relaxed); }
};

// Whether a message to this log would be written now.
inline bool WillWrite(const IMsgLog* log) {
    return log != nullptr && LoggingSwitch::IsOn() && log->CanLogMessages();
}

template <Level level>
void Deliver(IMsgLog* log, const char* method, const char* text, const char* marking) {
    if constexpr (level == Level::Debug) log->Debug(method, text, marking);
    if constexpr (level == Level::Info) log->Info(method, text, marking);
    if constexpr (level == Level::Warn) log->Warn(method, text, marking);
    if constexpr (level == Level::Error) log->Error(method, text, marking);
    if constexpr (level == Level::Fatal) log->Fatal(method, text, marking);
}

// Formats the text and hands it to the log's front end. The arguments are
// taken by const reference so that the checked format string's type matches
// the one the formatting functions expect for the same arguments.
template <Level level, class... Args>
void Write(IMsgLog* log, const char* method, const char* marking,
           FormatString<const Args&...> format, const Args&... args) {
    char text[kStackTextSize];
    std::size_t size = 0;
    try {
        size = static_cast<std::size_t>(
            Backend::format_to_n(text, kStackTextSize - 1, format, args...).size);
    } catch (...) {
        return;
    }
    if (size < kStackTextSize) {
        text[size] = '\0';
        Deliver<level>(log, method, text, marking);
        return;
    }
    std::string longText;
    try {
        longText = Backend::format(format, args...);
    } catch (...) {
        return;
    }
    Deliver<level>(log, method, longText.c_str(), marking);
}

}  // namespace ORVA::KIV::System::Utility::Logging::Formatting

// The method name of the enclosing function, computed once at compile time.
#define KIVLOGGING_WRITE_(level, log, marking, ...)                                          \
    do {                                                                                     \
        static constexpr auto kivlogging_method_ =                                           \
            ::ORVA::KIV::System::Utility::Logging::Formatting::ParseMethodName(               \
                __PRETTY_FUNCTION__);                                                        \
        KIVLOGGING_WRITE_AT_(level, log, kivlogging_method_.Text(), marking, __VA_ARGS__);   \
    } while (false)

#define KIVLOGGING_WRITE_AT_(level, log, method, marking, ...)                                \
    do {                                                                                      \
        ::ORVA::KIV::System::Utility::Logging::IMsgLog* const kivlogging_log_ =               \
            ::ORVA::KIV::System::Utility::Logging::Formatting::AsLog(log);                    \
        if (::ORVA::KIV::System::Utility::Logging::Formatting::WillWrite(kivlogging_log_)) {  \
            ::ORVA::KIV::System::Utility::Logging::Formatting::Write<                         \
                ::ORVA::KIV::System::Utility::Logging::Formatting::Level::level>(             \
                kivlogging_log_, method, marking, __VA_ARGS__);                               \
        }                                                                                     \
    } while (false)

#define KIV_DEBUG(log, marking, ...) KIVLOGGING_WRITE_(Debug, log, marking, __VA_ARGS__)
#define KIV_INFO(log, marking, ...) KIVLOGGING_WRITE_(Info, log, marking, __VA_ARGS__)
#define KIV_WARN(log, marking, ...) KIVLOGGING_WRITE_(Warn, log, marking, __VA_ARGS__)
#define KIV_ERROR(log, marking, ...) KIVLOGGING_WRITE_(Error, log, marking, __VA_ARGS__)
#define KIV_FATAL(log, marking, ...) KIVLOGGING_WRITE_(Fatal, log, marking, __VA_ARGS__)

#define KIV_DEBUG_AT(log, method, marking, ...) \
    KIVLOGGING_WRITE_AT_(Debug, log, method, marking, __VA_ARGS__)
#define KIV_INFO_AT(log, method, marking, ...) \
    KIVLOGGING_WRITE_AT_(Info, log, method, marking, __VA_ARGS__)
#define KIV_WARN_AT(log, method, marking, ...) \
    KIVLOGGING_WRITE_AT_(Warn, log, method, marking, __VA_ARGS__)
#define KIV_ERROR_AT(log, method, marking, ...) \
    KIVLOGGING_WRITE_AT_(Error, log, method, marking, __VA_ARGS__)
#define KIV_FATAL_AT(log, method, marking, ...) \
    KIVLOGGING_WRITE_AT_(Fatal, log, method, marking, __VA_ARGS__)

#endif  // KIVLOGGING_LOGGING_MSGLOGFORMAT_H
