#include "logs/FileMsgLog.h"

#include <stdexcept>

#include "core/AcceptingFlag.h"
#include "core/DateTime.h"
#include "core/LogLifetime.h"
#include "logs/MessageText.h"
#include "logs/RecordLookalike.h"
#include "properties/LogFileLocation.h"

namespace ORVA::KIV::System::Utility::Logging {
namespace {

// The banner at the head of every log file, after a line end and its
// title, followed there by the time stamp of opening and two line ends.
constexpr char kBannerAfterTitle[] =
    "\n"
    "\n"
    "0123456789 123456789 123456789 123456789 123456789 123456789 123456789 "
    "123456789 123456789 123456789 123456789 1234567880\n"
    "0         0         0         0         0         0         0         "
    "0         0         0         0         0         0\n"
    "\n"
    "DATE:";

// The default constructor cannot form a path without a log directory.
class NoLogDirectory : public std::runtime_error {
public:
    NoLogDirectory() : std::runtime_error("no log directory") {}
};

// The log directory's path; throws when there is none.
std::string LogDirectory() {
    const char* directory = IMsgLog::GetLoggingSystemProperty(IMsgLog::PropertyKey::LOG_DIR);
    if (directory == nullptr) throw NoLogDirectory();
    return LogDirectoryPath(directory);
}

// Every file log of the process, so that a fork can wait until none of
// them is in the middle of a write. The mutex's destructor is trivial, so
// logs destroyed during static destruction may still use it.
std::mutex c_allLogsMutex;
FileMsgLog* c_pFirstLog = nullptr;

}  // namespace

FileMsgLog::FileMsgLog(const char* fileName) {
    SetMsgLogName();
    m_canLogMessages = false;
    Register();
    if (fileName != nullptr && fileName[0] != '\0') {
        Open(Platform::PathFromText(fileName).c_str(), Platform::FileCreation::kReplace);
    }
}

FileMsgLog::FileMsgLog() {
    SetMsgLogName();
    m_canLogMessages = false;
    const std::string directory = LogDirectory();
    Register();
    OpenNewFile(directory);
}

FileMsgLog::~FileMsgLog() {
    Close();
    Unregister();
}

void FileMsgLog::SetMsgLogName() {
    m_name = "Plain Text Message Log";
}

void FileMsgLog::Register() noexcept {
    std::lock_guard<std::mutex> lock(c_allLogsMutex);
    m_next = c_pFirstLog;
    if (m_next != nullptr) m_next->m_previous = this;
    c_pFirstLog = this;
}

void FileMsgLog::Unregister() noexcept {
    std::lock_guard<std::mutex> lock(c_allLogsMutex);
    if (m_previous != nullptr) m_previous->m_next = m_next;
    if (m_next != nullptr) m_next->m_previous = m_previous;
    if (c_pFirstLog == this) c_pFirstLog = m_next;
}

void FileMsgLog::LockAllForFork() {
    c_allLogsMutex.lock();
    for (FileMsgLog* log = c_pFirstLog; log != nullptr; log = log->m_next) log->m_mutex.lock();
}

void FileMsgLog::UnlockAllAfterFork() {
    for (FileMsgLog* log = c_pFirstLog; log != nullptr; log = log->m_next) log->m_mutex.unlock();
    c_allLogsMutex.unlock();
}

FileMsgLog::OpenResult FileMsgLog::Open(const char* path, Platform::FileCreation creation) noexcept {
    const Platform::OpenedFile opened = Platform::OpenFileForWriting(path, creation);
    if (opened.handle == Platform::kNoFile) {
        return opened.nameTaken ? OpenResult::kNameTaken : OpenResult::kFailed;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_logFile = opened.handle;
    }
    m_canLogMessages = true;
    WriteHeader();
    return OpenResult::kOpened;
}

void FileMsgLog::OpenNewFile(const std::string& directory) noexcept {
    try {
        const std::string name = GetUniqueLoggerFileName();
        for (int variant = 1; variant <= kLogFileNameVariants; ++variant) {
            const std::string path = NewLogFilePath(directory, name, variant);
            if (Open(path.c_str(), Platform::FileCreation::kCreateNew) != OpenResult::kNameTaken) {
                return;
            }
        }
    } catch (...) {
        // Out of memory while naming: the log stays unopened.
    }
}

void FileMsgLog::WriteHeader() noexcept {
    try {
        MessageBuffer header;
        header.Append('\n');
        header.Append(kBannerTitle);
        header.Append(kBannerAfterTitle);
        header.Append(CurrentDateTimeStamp());
        header.Append("\n\n");
        Write(header.View());
    } catch (...) {
        Close();
    }
}

void FileMsgLog::Write(std::string_view text) noexcept {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_logFile == Platform::kNoFile) return;
    size_t stored;
    if (!m_endsInsideLine) {
        stored = Platform::WriteToFile(m_logFile, text.data(), text.size());
    } else {
        // A line end of its own closes the fragment, in the same write.
        try {
            MessageBuffer separated;
            separated.Append('\n');
            separated.Append(text);
            const std::string_view bytes = separated.View();
            const size_t storedWithLineEnd = Platform::WriteToFile(m_logFile, bytes.data(), bytes.size());
            if (storedWithLineEnd > 0) m_endsInsideLine = false;
            stored = storedWithLineEnd == 0 ? 0 : storedWithLineEnd - 1;
        } catch (...) {
            return;
        }
    }
    if (stored > 0 && stored < text.size()) m_endsInsideLine = true;
}

void FileMsgLog::Close() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_logFile != Platform::kNoFile) {
            Platform::CloseFile(m_logFile);
            m_logFile = Platform::kNoFile;
        }
    }
    ClearAcceptingFlag(m_canLogMessages);
}

IMsgLog::SupportedMsgLog FileMsgLog::MsgLogType() const {
    return MSG_LOG_PLAIN_FILE;
}

void FileMsgLog::LogMessage(const char* message, int levelCode, const char* marking) {
    FileMsgLog::LogMessage(nullptr, message, levelCode, marking);
}

void FileMsgLog::LogMessage(const char* method, const char* message, int levelCode,
                            const char* marking) {
    if (!CanLogMessages() || !LoggingIsOn() || !IsNonEmpty(message)) return;
    WriteMessageLine([this](std::string_view text) { Write(text); }, method, message, levelCode,
                     marking);
}

void FileMsgLog::LogMessage(const char* message, const char* marking) {
    if (message == nullptr) return;
    WriteRawText([this](std::string_view text) { Write(text); }, message, marking, 2);
}

bool FileMsgLog::DeleteFileMsgLog(IMsgLog** log) {
    return DeleteIfKind<FileMsgLog>(log, MSG_LOG_PLAIN_FILE, [](FileMsgLog* doomed) {
        doomed->Close();
        delete doomed;
    });
}

}  // namespace ORVA::KIV::System::Utility::Logging
