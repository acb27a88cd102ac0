// kivlogging: message logs that write every message whole, and flushed to
// the operating system, before the logging call returns.
//
// Loggers come from MsgLogFactory (or SysOutMsgLog::NewSysOutMsgLog) and are
// used through IMsgLog pointers. The process-wide settings (the logging
// switch and the configured level) are read from "kiv.system.properties"
// once, while the library is being loaded.
//
// Every text argument is a NUL-terminated narrow string and may be null.
// No operation throws.
#ifndef KIVLOGGING_LOGGING_MSGLOG_H
#define KIVLOGGING_LOGGING_MSGLOG_H

#if (defined(_MSVC_LANG) ? _MSVC_LANG : __cplusplus) < 201703L
#error "logging/MsgLog.h needs C++17 or later (-std=c++17)"
#endif

#include <cstddef>
#include <string>

#if defined(_WIN32)
#if defined(KIVLOGGING_BUILDING)
#define KIVLOGGING_API __declspec(dllexport)
#elif defined(KIVLOGGING_STATIC)
#define KIVLOGGING_API
#else
#define KIVLOGGING_API __declspec(dllimport)
#endif
#else
#define KIVLOGGING_API __attribute__((visibility("default")))
#endif

namespace ORVA::KIV::System::Utility::Logging {

// The abstract message log. Each level has three front ends: (method,
// message, marking), (message, marking) and (message). While the process-wide
// logging switch is off the front ends write nothing. The configured level is
// reported, never used to filter: a message of any level is written.
//
// The order of the virtual operations below is part of the binary interface.
class KIVLOGGING_API IMsgLog {
public:
    // Level names and codes. The codes follow the alphabetical order of the
    // names, not severity: ERROR is 1 and WARN is 4.
    class KIVLOGGING_API MsgLevel {
    public:
        static const char* const LOGGING_DEBUG;
        static const char* const LOGGING_ERROR;
        static const char* const LOGGING_FATAL;
        static const char* const LOGGING_INFO;
        static const char* const LOGGING_WARN;
        static const size_t SZ_LOGGING_DEBUG;
        static const size_t SZ_LOGGING_ERROR;
        static const size_t SZ_LOGGING_FATAL;
        static const size_t SZ_LOGGING_INFO;
        static const size_t SZ_LOGGING_WARN;
        static const int LOGGING_CODE_DEBUG;
        static const int LOGGING_CODE_ERROR;
        static const int LOGGING_CODE_FATAL;
        static const int LOGGING_CODE_INFO;
        static const int LOGGING_CODE_WARN;
        // No valid level.
        static const int LOGGING_CODE_UNKNOWN;

        // Copies nothing; there is no state to copy.
        MsgLevel& operator=(const MsgLevel& other);

    private:
        MsgLevel();
        ~MsgLevel();
    };

    // Keys of the properties file "kiv.system.properties". Keys are matched
    // exactly and case-sensitively.
    class KIVLOGGING_API PropertyKey {
    public:
        // Recorded with the value "false" when no properties file was found.
        static const char* const KIV_LOGGING;
        static const char* const DYNAMIC_LOGGING;
        static const char* const LOG_DIR;
        static const char* const LOGGERS;
        static const char* const LOGGING_LEVEL;
        static const char* const LOGGING_STATUS;
        static const size_t SZ_DYNAMIC_LOGGING;
        static const size_t SZ_LOG_DIR;
        static const size_t SZ_LOGGERS;
        static const size_t SZ_LOGGING_LEVEL;
        static const size_t SZ_LOGGING_STATUS;

        // Copies nothing; there is no state to copy.
        PropertyKey& operator=(const PropertyKey& other);

    private:
        PropertyKey();
        ~PropertyKey();
    };

    // The kinds of logger. The value 2 belongs to no logger.
    enum SupportedMsgLog {
        MSG_LOG_CONSOLE = 0,
        MSG_LOG_GROUP = 1,
        MSG_LOG_PLAIN_FILE = 3
    };

    // "DEBUG", the same pointer as MsgLevel::LOGGING_DEBUG.
    static const char* const DEFAULT_LOGGING_LEVEL;

    // Logger kind names as the logger list of the properties file spells them.
    static const char* const LOGGER_CONSOLE;
    static const char* const LOGGER_HTML_FILE;
    static const char* const LOGGER_PLAIN_FILE;
    static const char* const LOGGER_TIME_BASED_ROLLING_HTML_FILE;
    static const char* const LOGGER_TIME_BASED_ROLLING_PLAIN_FILE;
    static const size_t SZ_LOGGER_CONSOLE;
    static const size_t SZ_LOGGER_HTML_FILE;
    static const size_t SZ_LOGGER_PLAIN_FILE;
    static const size_t SZ_LOGGER_TIME_BASED_ROLLING_HTML_FILE;
    static const size_t SZ_LOGGER_TIME_BASED_ROLLING_PLAIN_FILE;
    // "console", the same pointer as LOGGER_CONSOLE.
    static const char* const MSG_LOG_DEFAULT;
    static const size_t SZ_MSG_LOG_DEFAULT;

    static const char* const FILE_EXTENSION_PLAIN_LOG;
    // Reserved; no logger of this library writes HTML.
    static const char* const FILE_EXTENSION_HTML_LOG;
    static const char* const MSG_LOG_BASE_FILE_NAME;
    // The default classification marking "(U) ", with its trailing blank.
    static const char* const STR_SC_DEFAULT;
    // "|", the separator of the logger list.
    static const char* const DELIMITER;

    IMsgLog(const IMsgLog& other);
    // Copies the accepting state and both names; the kind does not change.
    IMsgLog& operator=(const IMsgLog& other);

    // Whether this log accepts messages.
    virtual bool CanLogMessages() const;
    // Ends the accepting state of logs that hold a file; does nothing here.
    // A file log closes its file and a group closes its members; a console
    // log's Close does nothing, so a closed group still passes calls on to
    // its console members, which write them. Safe while
    // other threads log through the log: a message being written at that
    // moment is written whole or not at all. Not safe while another thread
    // deletes the log.
    virtual void Close();
    virtual void Debug(const char* method, const char* message, const char* marking);
    virtual void Debug(const char* message, const char* marking);
    // Same as Debug(message, STR_SC_DEFAULT).
    virtual void Debug(const char* message);
    virtual void Error(const char* method, const char* message, const char* marking);
    virtual void Error(const char* message, const char* marking);
    virtual void Error(const char* message);
    virtual void Fatal(const char* method, const char* message, const char* marking);
    virtual void Fatal(const char* message, const char* marking);
    virtual void Fatal(const char* message);
    virtual void Info(const char* method, const char* message, const char* marking);
    virtual void Info(const char* message, const char* marking);
    virtual void Info(const char* message);
    virtual SupportedMsgLog MsgLogType() const = 0;
    // Writes a message whose head line names "unknown method". Writes nothing
    // when the log does not accept messages, logging is off, or the message
    // is null or empty. A null or empty marking is empty.
    virtual void LogMessage(const char* message, int levelCode, const char* marking) = 0;
    // Writes a message; a null or empty method becomes "unknown method".
    virtual void LogMessage(const char* method, const char* message, int levelCode,
                            const char* marking) = 0;
    // Writes the marking followed by the message as a raw line, even while
    // logging is off (a group, the system logger among them, passes raw text
    // on only while logging is on). Writes nothing for a null message.
    virtual void LogMessage(const char* message, const char* marking) = 0;
    virtual void Warn(const char* method, const char* message, const char* marking);
    virtual void Warn(const char* message, const char* marking);
    virtual void Warn(const char* message);

    // The display name; valid until the log changes it or is destroyed.
    const char* GetName() const;
    // The file name the log records; the logs of this library leave it empty.
    const char* GetLogFileName() const;
    // The configured level name: one of the MsgLevel name constants, the same
    // pointer for every log.
    const char* GetLoggingLevel() const;
    // True exactly when logging is on and the configured level is DEBUG.
    bool DebugEnabled() const;
    // True exactly when logging is on and the configured level is INFO (an
    // equality test: with DEBUG configured it is false).
    bool InfoEnabled() const;

    // The process-wide logging switch. Safe to call from any thread.
    static bool LoggingIsOn();
    // Switches logging on for every log; returns true. Safe while other
    // threads log: each message is written whole or not at all.
    static bool TurnLoggingOn();
    // Switches logging off for every log; returns false. Safe while other
    // threads log: a message logged at that moment is written whole or not
    // at all.
    static bool TurnLoggingOff();
    // " [YYYY/MM/DD hh:mm:ss] " in local time: always 23 characters.
    static std::string CurrentDateTime();
    // The value of a property, or null for a null, blank or unknown key or a
    // key without a value. The key is trimmed when it begins or ends with a
    // blank. The text stays valid while the library is loaded; the caller
    // must not change or release it. While dynamic logging is on, each call
    // reads the properties file again. Safe to call from any thread.
    static const char* GetLoggingSystemProperty(const char* const key);

protected:
    // Accepting, with empty names.
    IMsgLog();
    virtual ~IMsgLog();
    // Sets m_name to the display name of the concrete log.
    virtual void SetMsgLogName() = 0;

    // The level name for a code; "DEBUG" for a code outside 0 to 4.
    static const char* GetMsgLevel(int code);
    // The level code for a name in any ASCII case, with surrounding white
    // space ignored when the name begins or ends with a blank; -1 otherwise.
    static int GetMsgLevelCode(const char* name);
    // The current user's Documents folder as a directory text ending in the
    // separator, or the empty string when there is none.
    static std::string GetCurrentUserHomeFolder();
    // "kiv.log_YYYY-MM-DD_hh_mm_ss" in local time: 27 characters.
    static std::string GetUniqueLoggerFileName();

    bool m_canLogMessages;
    std::string m_logFileName;
    std::string m_name;

    // The process-wide settings, computed while the library is loaded.
    static bool& c_loggingTurnedOn;
    static const char*& c_pLoggingLevel;
    static int& c_loggingLevelCode;

private:
    void CleanupIMsgLog();
};

// The message log that writes to standard output. Every console log of the
// process shares one lock, so messages from several threads never mix.
class KIVLOGGING_API SysOutMsgLog : public IMsgLog {
public:
    SysOutMsgLog(const SysOutMsgLog& other);
    SysOutMsgLog& operator=(const SysOutMsgLog& other);

    SupportedMsgLog MsgLogType() const override;
    void LogMessage(const char* message, int levelCode, const char* marking) override;
    void LogMessage(const char* method, const char* message, int levelCode,
                    const char* marking) override;
    void LogMessage(const char* message, const char* marking) override;

    // A new console log owned by the caller, or null when it cannot be made.
    // Give it back through DeleteSysOutMsgLog or MsgLogFactory::DeleteMsgLog.
    static IMsgLog* NewSysOutMsgLog();
    // Deletes the console log *log and sets *log to null. Returns true when
    // it deleted the log and when there was nothing to delete (log null, or
    // *log null); false, deleting nothing and leaving *log, for a log that is
    // not a console log of this library.
    static bool DeleteSysOutMsgLog(SysOutMsgLog** log);
    // Writes a line end, the text and a line end to standard output, whatever
    // the logging switch; nothing for a null text.
    static void WriteMessage(const char* text);

protected:
    SysOutMsgLog();
    ~SysOutMsgLog() override;
    void SetMsgLogName() override;
};

// Makes and deletes loggers, and owns the process-wide system logger.
class KIVLOGGING_API MsgLogFactory {
public:
    // Copies nothing; there is no state to copy.
    MsgLogFactory& operator=(const MsgLogFactory& other);

    // A new logger owned by the caller: a console log for MSG_LOG_CONSOLE
    // (the file name is not used), a file log writing to fileName for
    // MSG_LOG_PLAIN_FILE (replacing an existing file's content; a log whose
    // file could not be opened is returned and answers false to
    // CanLogMessages). Null for any other kind or when it cannot be made.
    static IMsgLog* NewMsgLog(IMsgLog::SupportedMsgLog kind, const char* fileName);

    // How a file log given by name treats a file that exists.
    enum class OpenMode {
        // Replaces its content, as NewMsgLog(kind, fileName) does.
        Replace,
        // Keeps its content and writes the banner and every message after
        // it; several processes may append to one file, each message whole.
        Append,
    };
    // As NewMsgLog(kind, fileName), with the file opened as mode says.
    static IMsgLog* NewMsgLog(IMsgLog::SupportedMsgLog kind, const char* fileName, OpenMode mode);
    // Deletes a logger from NewMsgLog (closing a file log first) and sets
    // *log to null. Returns true when it deleted the logger and when there
    // was nothing to delete (log null, or *log null); false, changing
    // nothing, for a group such as the system logger and for a logger this
    // library did not make. Not safe while another thread writes through the
    // logger.
    static bool DeleteMsgLog(IMsgLog** log);
    // The process-wide system logger, or null when the process has none
    // (logging off at the first call, or no properties file). Decided on the
    // first call; every call returns the same pointer. Never delete it.
    // Safe to call from any thread.
    static IMsgLog* GetGlobalSystemLogger();

private:
    MsgLogFactory();
    ~MsgLogFactory();
};

}  // namespace ORVA::KIV::System::Utility::Logging

#endif  // KIVLOGGING_LOGGING_MSGLOG_H
