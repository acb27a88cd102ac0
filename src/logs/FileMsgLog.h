// The message log that writes to a plain-text file.
#ifndef KIVLOGGING_LOGS_FILEMSGLOG_H
#define KIVLOGGING_LOGS_FILEMSGLOG_H

#include <logging/MsgLog.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

#include "logs/GroupCommit.h"
#include "platform/Platform.h"
#include "properties/DiskLimits.h"

namespace ORVA::KIV::System::Utility::Logging {

// Writes a header banner when its file opens, then each message whole, in
// one write, so that it is in the file when the call returns. Threads that
// log at the same time have their messages written together, in one write
// per batch (see GroupCommit). A failed write loses only the messages it
// refused; later ones are written once the file accepts data again, and when
// the failed write left part of a message behind, the next write starts with
// a line end of its own so that the fragment stands alone.
//
// A log in the log directory keeps to the disk limits it was given: before
// a message would take its file past the size limit, it moves on to a new
// default-named file (banner first); when none can be made it keeps writing
// to the old one. Each new file is followed by one pass of retention over
// the directory, outside the lock, so other threads keep logging meanwhile.
class FileMsgLog : public IMsgLog {
public:
    enum class OpenMode {
        // Replaces the content of an existing file.
        kReplace,
        // Keeps an existing file's content and writes after it.
        kAppend,
    };

    // Writes to fileName, replacing the content of an existing file or, with
    // kAppend, after it. A null or empty name, or a file that cannot be
    // opened, leaves the log unable to write (CanLogMessages() false); no
    // directory is created.
    explicit FileMsgLog(const char* fileName, OpenMode mode = OpenMode::kReplace);
    // Writes to a new file "kiv.log_<date>_<time>.log" in the log directory,
    // never to a file that exists already: when the name is taken, "_2",
    // "_3" and so on up to "_999" are tried before ".log". Keeps to the disk
    // limits of the properties. Throws when there is no log directory.
    FileMsgLog();
    // The same in the directory (a directory text) with the limits given.
    FileMsgLog(const std::string& directory, const DiskLimits& limits);
    FileMsgLog(const FileMsgLog&) = delete;
    FileMsgLog& operator=(const FileMsgLog&) = delete;

    // Closes the file; the log accepts nothing afterwards.
    void Close() override;
    SupportedMsgLog MsgLogType() const override;
    void LogMessage(const char* message, int levelCode, const char* marking) override;
    void LogMessage(const char* method, const char* message, int levelCode,
                    const char* marking) override;
    // Writes a line end, the marking and message, and two line ends.
    void LogMessage(const char* message, const char* marking) override;

    // Closes and deletes the file log *log and sets *log to null. True when
    // there is nothing to delete; false, changing nothing, for another kind.
    static bool DeleteFileMsgLog(IMsgLog** log);

    // Take and release the locks of every file log of the process, so that
    // a fork() copies none of them held.
    static void LockAllForFork();
    static void UnlockAllInParent();
    static void UnlockAllInChild();

protected:
    ~FileMsgLog() override;
    void SetMsgLogName() override;

private:
    enum class OpenResult { kOpened, kNameTaken, kFailed };

    // Adds the log to, and removes it from, the list of the process's logs.
    void Register() noexcept;
    void Unregister() noexcept;
    // Opens the file and, when it opened, writes the header.
    OpenResult Open(const char* path, Platform::FileCreation creation) noexcept;
    void WriteHeader() noexcept;
    void Write(std::string_view text) noexcept;
    // Writes a batch of texts, in order, moving to a new file where the
    // size limit asks for one.
    void WriteBatch(const std::string_view* texts, size_t count) noexcept;
    // With m_mutex held: writes the texts in as few writes as the system
    // allows.
    void WriteLocked(const std::string_view* texts, size_t count) noexcept;
    // With m_mutex held: whether texts storing this many bytes would take the
    // file past the size limit, so that a new file is due.
    bool NeedsNewFile(std::uint64_t storedBytes) const noexcept;
    // With m_mutex held: moves to a new file. True when it moved.
    bool MoveToNewFile() noexcept;
    // Deletes what the retention limits pick in the directory.
    void ApplyRetentionNow() noexcept;

    GroupCommit m_group;
    // Held by the one thread that writes; guards the members below.
    std::mutex m_mutex;
    Platform::FileHandle m_logFile = Platform::kNoFile;
    // The last write stored part of its text: the file ends inside a line.
    bool m_endsInsideLine = false;
    // The directory of default-named files, empty for a log of a given name.
    std::string m_directory;
    // The name of the file written, within m_directory; the unique name of
    // the second it was made in and the variant it took ("_N").
    std::string m_fileName;
    std::string m_uniqueName;
    int m_variant = 0;
    // 0 without a size limit.
    std::uint64_t m_maxFileBytes = 0;
    RetentionLimits m_retention;
    // Bytes in the current file: the banner's and those this process wrote.
    std::uint64_t m_fileBytes = 0;
    std::uint64_t m_headerBytes = 0;
    // After a new file could not be made, the file size to try again at.
    std::uint64_t m_nextAttemptBytes = 0;
    // A new file was made and retention has yet to run.
    std::atomic<bool> m_retentionDue{false};
    // Links in the list of the process's file logs.
    FileMsgLog* m_previous = nullptr;
    FileMsgLog* m_next = nullptr;
};

}  // namespace ORVA::KIV::System::Utility::Logging

#endif  // KIVLOGGING_LOGS_FILEMSGLOG_H
