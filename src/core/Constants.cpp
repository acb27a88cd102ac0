// The exported constants. Every pointer refers to one static array, so
// constants that must be the same string (DEFAULT_LOGGING_LEVEL and
// LOGGING_DEBUG, MSG_LOG_DEFAULT and LOGGER_CONSOLE) are the same pointer,
// and all of them are constant-initialised before any code of the library runs.
#include <logging/MsgLog.h>

namespace ORVA::KIV::System::Utility::Logging {
namespace {
constexpr char kDebug[] = "DEBUG";
constexpr char kError[] = "ERROR";
constexpr char kFatal[] = "FATAL";
constexpr char kInfo[] = "INFO";
constexpr char kWarn[] = "WARN";
constexpr char kConsole[] = "console";
constexpr char kHtmlFile[] = "html.file";
constexpr char kPlainFile[] = "plain.file";
constexpr char kRollingHtmlFile[] = "time.based.rolling.html.file";
constexpr char kRollingPlainFile[] = "time.based.rolling.plain.file";
constexpr char kDynamicLogging[] = "kiv.log.dynamic.logging";
constexpr char kLogDir[] = "kiv.log.dir";
constexpr char kLoggers[] = "kiv.log.loggers";
constexpr char kLoggingLevel[] = "kiv.log.level";
constexpr char kLoggingStatus[] = "kiv.logging.status";

template <size_t N>
constexpr size_t LengthOf(const char (&)[N]) {
    return N - 1;
}
}  // namespace

const char* const IMsgLog::MsgLevel::LOGGING_DEBUG = kDebug;
const char* const IMsgLog::MsgLevel::LOGGING_ERROR = kError;
const char* const IMsgLog::MsgLevel::LOGGING_FATAL = kFatal;
const char* const IMsgLog::MsgLevel::LOGGING_INFO = kInfo;
const char* const IMsgLog::MsgLevel::LOGGING_WARN = kWarn;
const size_t IMsgLog::MsgLevel::SZ_LOGGING_DEBUG = LengthOf(kDebug);
const size_t IMsgLog::MsgLevel::SZ_LOGGING_ERROR = LengthOf(kError);
const size_t IMsgLog::MsgLevel::SZ_LOGGING_FATAL = LengthOf(kFatal);
const size_t IMsgLog::MsgLevel::SZ_LOGGING_INFO = LengthOf(kInfo);
const size_t IMsgLog::MsgLevel::SZ_LOGGING_WARN = LengthOf(kWarn);
const int IMsgLog::MsgLevel::LOGGING_CODE_DEBUG = 0;
const int IMsgLog::MsgLevel::LOGGING_CODE_ERROR = 1;
const int IMsgLog::MsgLevel::LOGGING_CODE_FATAL = 2;
const int IMsgLog::MsgLevel::LOGGING_CODE_INFO = 3;
const int IMsgLog::MsgLevel::LOGGING_CODE_WARN = 4;
const int IMsgLog::MsgLevel::LOGGING_CODE_UNKNOWN = -1;

IMsgLog::MsgLevel::MsgLevel() = default;
IMsgLog::MsgLevel::~MsgLevel() = default;
IMsgLog::MsgLevel& IMsgLog::MsgLevel::operator=(const MsgLevel&) {
    return *this;
}

const char* const IMsgLog::PropertyKey::KIV_LOGGING = "kiv.logging";
const char* const IMsgLog::PropertyKey::DYNAMIC_LOGGING = kDynamicLogging;
const char* const IMsgLog::PropertyKey::LOG_DIR = kLogDir;
const char* const IMsgLog::PropertyKey::LOGGERS = kLoggers;
const char* const IMsgLog::PropertyKey::LOGGING_LEVEL = kLoggingLevel;
const char* const IMsgLog::PropertyKey::LOGGING_STATUS = kLoggingStatus;
const size_t IMsgLog::PropertyKey::SZ_DYNAMIC_LOGGING = LengthOf(kDynamicLogging);
const size_t IMsgLog::PropertyKey::SZ_LOG_DIR = LengthOf(kLogDir);
const size_t IMsgLog::PropertyKey::SZ_LOGGERS = LengthOf(kLoggers);
const size_t IMsgLog::PropertyKey::SZ_LOGGING_LEVEL = LengthOf(kLoggingLevel);
const size_t IMsgLog::PropertyKey::SZ_LOGGING_STATUS = LengthOf(kLoggingStatus);

IMsgLog::PropertyKey::PropertyKey() = default;
IMsgLog::PropertyKey::~PropertyKey() = default;
IMsgLog::PropertyKey& IMsgLog::PropertyKey::operator=(const PropertyKey&) {
    return *this;
}

const char* const IMsgLog::DEFAULT_LOGGING_LEVEL = kDebug;

const char* const IMsgLog::LOGGER_CONSOLE = kConsole;
const char* const IMsgLog::LOGGER_HTML_FILE = kHtmlFile;
const char* const IMsgLog::LOGGER_PLAIN_FILE = kPlainFile;
const char* const IMsgLog::LOGGER_TIME_BASED_ROLLING_HTML_FILE = kRollingHtmlFile;
const char* const IMsgLog::LOGGER_TIME_BASED_ROLLING_PLAIN_FILE = kRollingPlainFile;
const size_t IMsgLog::SZ_LOGGER_CONSOLE = LengthOf(kConsole);
const size_t IMsgLog::SZ_LOGGER_HTML_FILE = LengthOf(kHtmlFile);
const size_t IMsgLog::SZ_LOGGER_PLAIN_FILE = LengthOf(kPlainFile);
const size_t IMsgLog::SZ_LOGGER_TIME_BASED_ROLLING_HTML_FILE = LengthOf(kRollingHtmlFile);
const size_t IMsgLog::SZ_LOGGER_TIME_BASED_ROLLING_PLAIN_FILE = LengthOf(kRollingPlainFile);
const char* const IMsgLog::MSG_LOG_DEFAULT = kConsole;
const size_t IMsgLog::SZ_MSG_LOG_DEFAULT = LengthOf(kConsole);

const char* const IMsgLog::FILE_EXTENSION_PLAIN_LOG = ".log";
const char* const IMsgLog::FILE_EXTENSION_HTML_LOG = ".html";
const char* const IMsgLog::MSG_LOG_BASE_FILE_NAME = "kiv.log_";
const char* const IMsgLog::STR_SC_DEFAULT = "(U) ";
const char* const IMsgLog::DELIMITER = "|";

}  // namespace ORVA::KIV::System::Utility::Logging
