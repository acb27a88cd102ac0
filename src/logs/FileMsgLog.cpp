#include "logs/FileMsgLog.h"

#include <stdexcept>

#include "core/DateTime.h"
#include "core/LogLifetime.h"
#include "logs/MessageText.h"

namespace ORVA::KIV::System::Utility::Logging {
namespace {

// The banner at the head of every log file, followed there by the time
// stamp of opening and two line ends.
constexpr char kHeaderBanner[] =
    "\n"
    "*************************************************** PLAIN-TEXT LOGGER "
    "***************************************************\n"
    "\n"
    "0123456789 123456789 123456789 123456789 123456789 123456789 123456789 "
    "123456789 123456789 123456789 123456789 1234567880\n"
    "0         0         0         0         0         0         0         "
    "0         0         0         0         0         0\n"
    "\n"
    "DATE:";

// How many numbered variants of a taken default name are tried.
constexpr int kLastNameVariant = 999;

// The default constructor cannot form a path without a log directory.
class NoLogDirectory : public std::runtime_error {
public:
    NoLogDirectory() : std::runtime_error("no log directory") {}
};

// The log directory text; throws when there is none.
std::string LogDirectory() {
    const char* directory = IMsgLog::GetLoggingSystemProperty(IMsgLog::PropertyKey::LOG_DIR);
    if (directory == nullptr) throw NoLogDirectory();
    return directory;
}

}  // namespace

FileMsgLog::FileMsgLog(const char* fileName) {
    SetMsgLogName();
    m_canLogMessages = false;
    if (fileName != nullptr && fileName[0] != '\0') {
        Open(fileName, Platform::FileCreation::kReplace);
    }
}

FileMsgLog::FileMsgLog() {
    SetMsgLogName();
    m_canLogMessages = false;
    OpenNewFile(LogDirectory());
}

FileMsgLog::~FileMsgLog() {
    Close();
}

void FileMsgLog::SetMsgLogName() {
    m_name = "Plain Text Message Log";
}

bool FileMsgLog::Open(const char* path, Platform::FileCreation creation) noexcept {
    const Platform::OpenedFile opened = Platform::OpenFileForWriting(path, creation);
    m_logFile = opened.handle;
    m_canLogMessages = m_logFile != Platform::kNoFile;
    if (m_canLogMessages) WriteHeader();
    return opened.nameTaken;
}

void FileMsgLog::OpenNewFile(const std::string& directory) noexcept {
    try {
        const std::string base = directory + GetUniqueLoggerFileName();
        for (int variant = 1; variant <= kLastNameVariant; ++variant) {
            std::string path = base;
            if (variant > 1) path.append("_").append(std::to_string(variant));
            path += FILE_EXTENSION_PLAIN_LOG;
            if (!Open(path.c_str(), Platform::FileCreation::kCreateNew)) return;
        }
    } catch (...) {
        // Out of memory while naming: the log stays unopened.
    }
}

void FileMsgLog::WriteHeader() noexcept {
    try {
        std::string header = kHeaderBanner;
        AppendCurrentDateTime(header);
        header += "\n\n";
        Write(header);
    } catch (...) {
        Close();
    }
}

void FileMsgLog::Write(const std::string& text) noexcept {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_logFile != Platform::kNoFile) Platform::WriteToFile(m_logFile, text.data(), text.size());
}

void FileMsgLog::Close() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_logFile != Platform::kNoFile) {
            Platform::CloseFile(m_logFile);
            m_logFile = Platform::kNoFile;
        }
    }
    m_canLogMessages = false;
}

IMsgLog::SupportedMsgLog FileMsgLog::MsgLogType() const {
    return MSG_LOG_PLAIN_FILE;
}

void FileMsgLog::LogMessage(const char* message, int levelCode, const char* marking) {
    FileMsgLog::LogMessage(nullptr, message, levelCode, marking);
}

void FileMsgLog::LogMessage(const char* method, const char* message, int levelCode,
                            const char* marking) {
    if (!CanLogMessages() || !LoggingIsOn() || !IsLoggableMessage(message)) return;
    WriteMessageLine([this](const std::string& text) { Write(text); }, method, message, levelCode,
                     marking);
}

void FileMsgLog::LogMessage(const char* message, const char* marking) {
    if (message == nullptr) return;
    WriteRawText([this](const std::string& text) { Write(text); }, message, marking, 2);
}

bool FileMsgLog::DeleteFileMsgLog(IMsgLog** log) {
    return DeleteIfKind<FileMsgLog>(log, MSG_LOG_PLAIN_FILE, [](FileMsgLog* doomed) {
        doomed->Close();
        delete doomed;
    });
}

}  // namespace ORVA::KIV::System::Utility::Logging
