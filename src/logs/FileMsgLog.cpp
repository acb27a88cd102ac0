#include "logs/FileMsgLog.h"

#include <algorithm>
#include <stdexcept>

#include "core/AcceptingFlag.h"
#include "core/DateTime.h"
#include "core/LogLifetime.h"
#include "logs/MessageText.h"
#include "logs/RecordLookalike.h"
#include "properties/LogFileLocation.h"
#include "retention/LogRetention.h"

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

// After a new file could not be made, how much more is written to the old
// one before the next attempt, so that a full or vanished directory costs
// no attempt per message.
constexpr std::uint64_t kBytesBetweenAttempts = 64 * 1024;

// A new default-named file in the directory: the unique name of this second
// or, when that is taken, its first free variant from firstVariant on.
// Never replaces a file. On success *variant is the variant taken.
Platform::FileHandle CreateNewLogFile(const std::string& directory, const std::string& uniqueName, int firstVariant,
                                      std::string* fileName, int* variant) {
    for (int candidate = firstVariant; candidate <= kLogFileNameVariants; ++candidate) {
        const std::string path = NewLogFilePath(directory, uniqueName, candidate);
        const Platform::OpenedFile opened =
            Platform::OpenFileForWriting(path.c_str(), Platform::FileCreation::kCreateNew);
        if (opened.handle != Platform::kNoFile) {
            *fileName = path.substr(directory.size());
            *variant = candidate;
            return opened.handle;
        }
        if (!opened.nameTaken) break;
    }
    return Platform::kNoFile;
}

// Every file log of the process, so that a fork can wait until none of
// them is in the middle of a write. The mutex's destructor is trivial, so
// logs destroyed during static destruction may still use it.
std::mutex c_allLogsMutex;
FileMsgLog* c_pFirstLog = nullptr;

}  // namespace

FileMsgLog::FileMsgLog(const char* fileName, OpenMode mode) {
    SetMsgLogName();
    m_canLogMessages = false;
    Register();
    if (fileName != nullptr && fileName[0] != '\0') {
        Open(Platform::PathFromText(fileName).c_str(),
             mode == OpenMode::kAppend ? Platform::FileCreation::kAppend : Platform::FileCreation::kReplace);
    }
}

FileMsgLog::FileMsgLog() : FileMsgLog(LogDirectory(), ProcessDiskLimits()) {}

FileMsgLog::FileMsgLog(const std::string& directory, const DiskLimits& limits)
    // A relative directory is fixed now: later files go where the first
    // went, whatever directory the process moves to.
    : m_directory(Platform::AbsolutePath(directory)), m_maxFileBytes(limits.maxFileBytes.value_or(0)), m_retention(limits.retention) {
    // Under a smaller file-size limit (ulimit -f) the file moves on before
    // the system would refuse the rest of it.
    const std::optional<std::uint64_t> systemLimit = Platform::FileSizeLimit();
    if (m_maxFileBytes != 0 && systemLimit && *systemLimit < m_maxFileBytes) {
        m_maxFileBytes = std::max<std::uint64_t>(*systemLimit, 1);
    }
    SetMsgLogName();
    m_canLogMessages = false;
    Register();
    Platform::FileHandle file = Platform::kNoFile;
    try {
        m_uniqueName = UniqueLogFileName();
        file = CreateNewLogFile(m_directory, m_uniqueName, 1, &m_fileName, &m_variant);
    } catch (...) {
        // Out of memory while naming: the log stays unopened.
    }
    if (file == Platform::kNoFile) return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_logFile = file;
    }
    m_canLogMessages = true;
    WriteHeader();
    ApplyRetentionNow();
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
    for (FileMsgLog* log = c_pFirstLog; log != nullptr; log = log->m_next) {
        log->m_mutex.lock();
        log->m_group.LockForFork();
    }
}

void FileMsgLog::UnlockAllInParent() {
    for (FileMsgLog* log = c_pFirstLog; log != nullptr; log = log->m_next) {
        log->m_group.UnlockInParent();
        log->m_mutex.unlock();
    }
    c_allLogsMutex.unlock();
}

void FileMsgLog::UnlockAllInChild() {
    for (FileMsgLog* log = c_pFirstLog; log != nullptr; log = log->m_next) {
        log->m_group.UnlockInChild();
        log->m_mutex.unlock();
    }
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

namespace {

// The banner and the time stamp of opening, as the header of a new file.
void AppendHeader(MessageBuffer& header) {
    header.Append('\n');
    header.Append(kBannerTitle);
    header.Append(kBannerAfterTitle);
    header.Append(CurrentDateTimeStamp());
    header.Append("\n\n");
}

}  // namespace

void FileMsgLog::WriteHeader() noexcept {
    try {
        MessageBuffer header;
        AppendHeader(header);
        const std::string_view text = header.View();
        std::lock_guard<std::mutex> lock(m_mutex);
        WriteLocked(&text, 1);
        m_headerBytes = m_fileBytes;
    } catch (...) {
        Close();
    }
}

bool FileMsgLog::NeedsNewFile(std::uint64_t storedBytes) const noexcept {
    // A message goes whole into one file; one larger than the limit goes
    // into a file of its own, so a file holding only its banner takes it.
    const std::uint64_t needed = storedBytes + (m_endsInsideLine ? Platform::StoredSize("\n", 1) : 0);
    return m_fileBytes > m_headerBytes && needed > m_maxFileBytes - std::min(m_fileBytes, m_maxFileBytes) &&
           m_fileBytes >= m_nextAttemptBytes;
}

bool FileMsgLog::MoveToNewFile() noexcept {
    try {
        MessageBuffer header;
        AppendHeader(header);
        // Within one second the next file takes a later variant than this
        // one, never a lower one that retention freed: names keep the order
        // the files were written in.
        std::string uniqueName = UniqueLogFileName();
        const int firstVariant = uniqueName == m_uniqueName ? m_variant + 1 : 1;
        std::string fileName;
        int variant = 0;
        const Platform::FileHandle file = CreateNewLogFile(m_directory, uniqueName, firstVariant, &fileName, &variant);
        if (file == Platform::kNoFile) {
            // Keep writing to the old file rather than lose messages.
            m_nextAttemptBytes = m_fileBytes + kBytesBetweenAttempts;
            return false;
        }
        // A new file starts with its banner, or is no log file: one that
        // cannot hold it (a full disk) is removed again, and the old file
        // goes on.
        const std::string_view banner = header.View();
        if (Platform::WriteToFile(file, banner.data(), banner.size()) < banner.size()) {
            Platform::CloseFile(file);
            std::string reason;
            Platform::RemoveUnlessInUse(m_directory + fileName, false, &reason);
            m_nextAttemptBytes = m_fileBytes + kBytesBetweenAttempts;
            return false;
        }
        Platform::CloseFile(m_logFile);
        m_logFile = file;
        m_fileName = std::move(fileName);
        m_uniqueName = std::move(uniqueName);
        m_variant = variant;
        m_endsInsideLine = false;
        m_fileBytes = Platform::StoredSize(banner.data(), banner.size());
        m_nextAttemptBytes = 0;
        m_headerBytes = m_fileBytes;
        return true;
    } catch (...) {
        m_nextAttemptBytes = m_fileBytes + kBytesBetweenAttempts;
        return false;
    }
}

void FileMsgLog::ApplyRetentionNow() noexcept {
    if (!m_retention.Any()) return;
    try {
        std::string spare;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            spare = m_fileName;
        }
        std::string reason;
        // Failures are the doctor's to explain; the application logs on.
        ApplyRetention(m_directory, m_retention, spare, false, nullptr, &reason);
    } catch (...) {
        // Out of memory: old files stay until the next new file.
    }
}

void FileMsgLog::Write(std::string_view text) noexcept {
    m_group.Write(
        text,
        [](void* log, const std::string_view* texts, size_t count) {
            static_cast<FileMsgLog*>(log)->WriteBatch(texts, count);
        },
        this);
    // Retention runs outside the batch, so other threads log meanwhile.
    if (m_retentionDue.load(std::memory_order_relaxed) && m_retentionDue.exchange(false)) ApplyRetentionNow();
}

void FileMsgLog::WriteBatch(const std::string_view* texts, size_t count) noexcept {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_logFile == Platform::kNoFile) return;
    if (m_maxFileBytes == 0) {
        WriteLocked(texts, count);
        return;
    }
    std::uint64_t storedBytes = 0;
    for (size_t text = 0; text < count; ++text) storedBytes += Platform::StoredSize(texts[text].data(), texts[text].size());
    if (!NeedsNewFile(storedBytes)) {
        WriteLocked(texts, count);
        return;
    }
    // The batch crosses the size limit: each message goes on its own, into
    // the file that has room for it.
    for (size_t text = 0; text < count; ++text) {
        if (NeedsNewFile(Platform::StoredSize(texts[text].data(), texts[text].size())) && MoveToNewFile()) {
            m_retentionDue.store(true);
        }
        WriteLocked(&texts[text], 1);
    }
}

void FileMsgLog::WriteLocked(const std::string_view* texts, size_t count) noexcept {
    // The file's size is kept only where a limit needs it.
    const auto countStored = [this](std::string_view text) {
        if (m_maxFileBytes != 0) m_fileBytes += Platform::StoredSize(text.data(), text.size());
    };
    while (count > 0 && m_logFile != Platform::kNoFile) {
        // A line end of its own closes the fragment, in the same write.
        const bool closesFragment = m_endsInsideLine;
        size_t taken = count;
        size_t stored = 0;
        if (!closesFragment) {
            stored = Platform::WriteToFile(m_logFile, texts, taken);
        } else {
            std::string_view pieces[GroupCommit::kMaxTexts + 1];
            pieces[0] = "\n";
            taken = std::min(count, std::size(pieces) - 1);
            std::copy(texts, texts + taken, pieces + 1);
            stored = Platform::WriteToFile(m_logFile, pieces, taken + 1);
        }
        // Refused: the texts are lost, and later ones are tried again.
        if (stored == 0) return;
        if (closesFragment) {
            --stored;
            m_endsInsideLine = false;
            countStored("\n");
        }
        size_t whole = 0;
        while (whole < taken && stored >= texts[whole].size()) {
            stored -= texts[whole].size();
            countStored(texts[whole]);
            ++whole;
        }
        if (whole < taken && stored > 0) {
            // Part of a text went in: it is lost, and the texts after it
            // are tried once more, behind a line end.
            m_endsInsideLine = true;
            countStored(texts[whole].substr(0, stored));
            ++whole;
        }
        texts += whole;
        count -= whole;
    }
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
