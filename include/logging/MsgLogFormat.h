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
// - The format string is checked against the arguments at compile time: a
//   replacement field without an argument, or an argument that no field
//   uses, does not compile. So does a marking given as a string literal that
//   holds a replacement field: the marking was most likely forgotten and the
//   format string took its place. A marking that is a char array must be a
//   constant (a literal or constexpr); pass any other text as a pointer.
//   Formatting uses the standard <format> where the standard library has it,
//   {fmt} otherwise; custom types need a formatter of the library in use.
//   Arguments are forwarded as given, so views ({fmt}'s join) work.
// - The log may not be a temporary MsgLogPtr: it would delete the log before
//   the message is written, so such a call does not compile.
// - The arguments are evaluated, and the text formatted, only when the
//   message will be written: log not null, IMsgLog::LoggingIsOn(), the
//   level passes the severity threshold (MsgLogThreshold.h) and
//   log->CanLogMessages(). Below the compile-time floor KIVLOGGING_MIN_LEVEL
//   a macro compiles to nothing.
// - The method name is computed at compile time (see MsgLogMethodName.h).
// - The message goes through the log's virtual front end (log->Warn(method,
//   text, marking) and so on), exactly like a hand-written call.
// - The text is formatted once, into 1 KiB on the stack; a longer text
//   continues on the heap (with {fmt}; <format> formats into a std::string).
// - An exception from formatting (a formatter of the caller's type, a bad
//   dynamic width, no memory for a long text) drops the message; exceptions
//   from evaluating the arguments reach the caller as usual.
// - There is no thread_local or static object with a destructor, so the
//   macros work during static initialisation, static destruction and
//   thread exit.
//
// Needs C++20 (-std=c++20) and, where the standard library has no <format>
// (g++ 12, clang 14, mingw-w64), {fmt}: pkg-config kivlogging-format or the
// CMake target KivLogging::format bring both.
#ifndef KIVLOGGING_LOGGING_MSGLOGFORMAT_H
#define KIVLOGGING_LOGGING_MSGLOGFORMAT_H

#if __cplusplus < 202002L
#error "logging/MsgLogFormat.h needs C++20 or later (-std=c++20), and {fmt} where the standard library has no <format> (pkg-config kivlogging-format)"
#endif

#include <logging/MsgLog.h>
#include <logging/MsgLogMethodName.h>
#include <logging/MsgLogPtr.h>
#include <logging/MsgLogThreshold.h>

#include <atomic>
#include <cstddef>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
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

enum class Level { Debug, Info, Warn, Error, Fatal };

constexpr MsgSeverity SeverityOf(Level level) {
    switch (level) {
        case Level::Debug: return MsgSeverity::Debug;
        case Level::Info: return MsgSeverity::Info;
        case Level::Warn: return MsgSeverity::Warn;
        case Level::Error: return MsgSeverity::Error;
        case Level::Fatal: return MsgSeverity::Fatal;
    }
    return MsgSeverity::Fatal;
}


// Room on the stack for a text with its terminating NUL.
constexpr std::size_t kStackTextSize = 1024;

#if defined(__cpp_lib_format)
using TextBuffer = std::string;
#else
using TextBuffer = fmt::basic_memory_buffer<char, kStackTextSize>;
#endif

// Reached only in constant evaluation, where calling them stops the compile
// with their names as the message.
void MarkingHoldsAReplacementField_IsTheMarkingMissingBeforeTheFormat();
void FormatStringLeavesAnArgumentUnused();

// The arguments a format string uses: how many automatically numbered
// fields it has, which numbered fields, and whether it names any argument
// (which this check cannot follow). Nested fields of a width or precision
// use arguments too.
struct FieldUse {
    // Numbered fields past this many arguments are not followed.
    static constexpr std::size_t kTracked = 256;
    std::size_t automatic = 0;
    bool numbered[kTracked] = {};
    bool anyNumbered = false;
    bool named = false;
};

constexpr void CountField(std::string_view id, FieldUse& use) {
    if (id.empty()) {
        ++use.automatic;
    } else if (id[0] >= '0' && id[0] <= '9') {
        std::size_t index = 0;
        for (char c : id) index = index * 10 + static_cast<std::size_t>(c - '0');
        use.anyNumbered = true;
        if (index < FieldUse::kTracked) use.numbered[index] = true;
    } else {
        use.named = true;
    }
}

constexpr FieldUse UsedArguments(std::string_view format) {
    FieldUse use;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '{') continue;
        if (i + 1 < format.size() && format[i + 1] == '{') {
            ++i;
            continue;
        }
        // The argument id runs to ':' or '}'; what follows ':' may hold
        // nested fields.
        std::size_t end = i + 1;
        while (end < format.size() && format[end] != ':' && format[end] != '}') ++end;
        CountField(format.substr(i + 1, end - i - 1), use);
        int depth = 1;
        for (i = end; i < format.size() && depth > 0; ++i) {
            if (format[i] == '{') {
                std::size_t idEnd = i + 1;
                while (idEnd < format.size() && format[idEnd] != '}') ++idEnd;
                CountField(format.substr(i + 1, idEnd - i - 1), use);
                i = idEnd;
            } else if (format[i] == '}') {
                --depth;
            }
        }
        --i;
    }
    return use;
}

constexpr bool LeavesArgumentUnused(std::string_view format, std::size_t arguments) {
    const FieldUse use = UsedArguments(format);
    if (use.named || arguments > FieldUse::kTracked) return false;
    if (!use.anyNumbered) return use.automatic < arguments;
    for (std::size_t index = 0; index < arguments; ++index) {
        if (!use.numbered[index]) return true;
    }
    return false;
}

// A format string checked at compile time against the argument types, and
// for arguments that no field uses.
template <class... Args>
class CheckedFormat {
public:
    template <class Text>
        requires std::is_convertible_v<const Text&, std::string_view>
    consteval CheckedFormat(const Text& text) : m_format(text) {
        if (LeavesArgumentUnused(std::string_view(text), sizeof...(Args))) {
            FormatStringLeavesAnArgumentUnused();
        }
    }
    // A format string known only at run time ({fmt}'s fmt::runtime).
    template <class Runtime>
        requires(!std::is_convertible_v<const Runtime&, std::string_view> &&
                 std::is_constructible_v<Backend::format_string<Args...>, Runtime>)
    CheckedFormat(Runtime runtime) : m_format(runtime) {}

    Backend::format_string<Args...> Get() const { return m_format; }

private:
    Backend::format_string<Args...> m_format;
};

// Keeps the format string's arguments out of deduction, so that they are
// deduced from the arguments alone.
template <class... Args>
using FormatString = CheckedFormat<std::type_identity_t<Args>...>;

// The marking of a call. A string literal is checked at compile time.
class Marking {
public:
    template <std::size_t N>
    consteval Marking(const char (&text)[N]) : m_text(text) {
        const std::string_view marking(text, N - 1);
        const std::size_t open = marking.find('{');
        if (open != std::string_view::npos && marking.find('}', open) != std::string_view::npos) {
            MarkingHoldsAReplacementField_IsTheMarkingMissingBeforeTheFormat();
        }
    }
    template <class Pointer>
        requires(std::is_convertible_v<Pointer, const char*> &&
                 !std::is_array_v<std::remove_reference_t<Pointer>>)
    Marking(Pointer&& text) : m_text(text) {}

    const char* Text() const { return m_text; }

private:
    const char* m_text;
};

inline IMsgLog* AsLog(IMsgLog* log) { return log; }
inline IMsgLog* AsLog(const MsgLogPtr& log) { return log.get(); }
inline IMsgLog* AsLog(std::nullptr_t) { return nullptr; }
// A temporary MsgLogPtr, const or not, deletes its log at the end of the
// statement that takes the log from it, before the message is written. A
// const rvalue reference binds both and wins over the const lvalue one.
template <class Deleter>
IMsgLog* AsLog(const std::unique_ptr<IMsgLog, Deleter>&&) {
    static_assert(sizeof(Deleter) == 0,
                  "KIV_* macros: the log is a temporary MsgLogPtr, which would delete the log before "
                  "the message is written; keep the MsgLogPtr in a variable");
    return nullptr;
}

// The process-wide switch, read as IMsgLog::LoggingIsOn() reads it, but
// through the reference IMsgLog keeps for its subclasses: the path that
// writes nothing then makes no call into the library.
class LoggingSwitch : public IMsgLog {
public:
    static bool IsOn() { return std::atomic_ref<bool>(c_loggingTurnedOn).load(std::memory_order_relaxed); }
};

// Whether a message of the level to this log would be written now.
template <Level level>
bool WillWrite(const IMsgLog* log) {
    return MsgLogThreshold::Passes(SeverityOf(level)) && log != nullptr && LoggingSwitch::IsOn() &&
           log->CanLogMessages();
}

template <Level level>
void Deliver(IMsgLog* log, const char* method, const char* text, const char* marking) {
    if constexpr (level == Level::Debug) log->Debug(method, text, marking);
    if constexpr (level == Level::Info) log->Info(method, text, marking);
    if constexpr (level == Level::Warn) log->Warn(method, text, marking);
    if constexpr (level == Level::Error) log->Error(method, text, marking);
    if constexpr (level == Level::Fatal) log->Fatal(method, text, marking);
}

// Formats the text once and hands it to the log's front end.
template <Level level, class... Args>
void Write(IMsgLog* log, const char* method, Marking marking, FormatString<Args...> format,
           Args&&... args) {
    TextBuffer text;
    try {
        Backend::format_to(std::back_inserter(text), format.Get(), std::forward<Args>(args)...);
        text.push_back('\0');
    } catch (...) {
        return;
    }
    Deliver<level>(log, method, text.data(), marking.Text());
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

// Below the compile-time floor the call is a discarded statement: checked,
// never evaluated, no code. The floor is read where the macro is used, so
// translation units may differ in it.
#define KIVLOGGING_WRITE_AT_(level, log, method, marking, ...)                                    \
    do {                                                                                          \
        if constexpr (static_cast<int>(::ORVA::KIV::System::Utility::Logging::Formatting::        \
                                           SeverityOf(::ORVA::KIV::System::Utility::Logging::     \
                                                          Formatting::Level::level)) >=           \
                      KIVLOGGING_MIN_LEVEL) {                                                     \
            ::ORVA::KIV::System::Utility::Logging::IMsgLog* const kivlogging_log_ =               \
                ::ORVA::KIV::System::Utility::Logging::Formatting::AsLog(log);                    \
            if (::ORVA::KIV::System::Utility::Logging::Formatting::WillWrite<                     \
                    ::ORVA::KIV::System::Utility::Logging::Formatting::Level::level>(             \
                    kivlogging_log_)) {                                                           \
                ::ORVA::KIV::System::Utility::Logging::Formatting::Write<                         \
                    ::ORVA::KIV::System::Utility::Logging::Formatting::Level::level>(             \
                    kivlogging_log_, method, marking, __VA_ARGS__);                               \
            }                                                                                     \
        }                                                                                         \
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
