// The message log that writes to a plain-text file.
#ifndef KIVLOGGING_LOGS_FILEMSGLOG_H
#define KIVLOGGING_LOGS_FILEMSGLOG_H

#include <logging/MsgLog.h>

#include <mutex>
#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace ORVA::KIV::System::Utility::Logging {

// Writes a header banner when its file opens, then each message whole, in
// one write under the log's own lock, so that it is in the file when the
// call returns. A failed write loses only that message; later ones are
// written once the file accepts data again, and when the failed write left
// part of a message behind, the next one starts with a line end of its own
// so that the fragment stands alone.
class FileMsgLog : public IMsgLog {
public:
    // Writes to fileName, replacing the content of an existing file. A null
    // or empty name, or a file that cannot be opened, leaves the log unable
    // to write (CanLogMessages() false); no directory is created.
    explicit FileMsgLog(const char* fileName);
    // Writes to a new file "kiv.log_<date>_<time>.log" in the log directory,
    // never to a file that exists already: when the name is taken, "_2",
    // "_3" and so on up to "_999" are tried before ".log". Throws when there
    // is no log directory.
    FileMsgLog();
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
    static void UnlockAllAfterFork();

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
    // Tries the default name and its numbered variants in the directory.
    void OpenNewFile(const std::string& directory) noexcept;
    void WriteHeader() noexcept;
    void Write(std::string_view text) noexcept;

    std::mutex m_mutex;
    Platform::FileHandle m_logFile = Platform::kNoFile;
    // The last write stored part of its text: the file ends inside a line.
    bool m_endsInsideLine = false;
    // Links in the list of the process's file logs.
    FileMsgLog* m_previous = nullptr;
    FileMsgLog* m_next = nullptr;
};

}  // namespace ORVA::KIV::System::Utility::Logging

#endif  // KIVLOGGING_LOGS_FILEMSGLOG_H
