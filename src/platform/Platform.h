// The operating system as the library sees it: plain facts and plain file
// operations, one definition per platform (posix/, win32/). Trimming,
// separators in directory texts and the configuration search live above this.
#ifndef KIVLOGGING_PLATFORM_PLATFORM_H
#define KIVLOGGING_PLATFORM_PLATFORM_H

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "platform/PathText.h"

namespace ORVA::KIV::System::Utility::Logging::Platform {

// The separator of directory texts; every directory text ends with it.
extern const char kDirectorySeparator;
// Another character that paths may use as a separator and that directory
// texts rewrite to kDirectorySeparator; '\0' where there is none.
extern const char kAlternateSeparator;
// Whether a lone separator names a directory (the POSIX root "/"); where it
// does not, a lone separator counts as an empty path.
extern const bool kLoneSeparatorIsRoot;

// The value of an environment variable in the path encoding; nullopt when
// it is not set or cannot be converted.
std::optional<std::string> GetEnvironmentValue(const char* name);

// The full path of the executable file that started the process (not of the
// library); nullopt when it cannot be had.
std::optional<std::string> GetExecutablePath();

// The current user's Documents folder, with or without a trailing separator;
// empty when there is none. Existence is not tested.
std::string GetDocumentsFolder();

// The functions below take paths in the path encoding.

// The path made absolute against the current working directory, so that
// it keeps naming the same place after the process changes directory; the
// path itself when that cannot be done.
std::string AbsolutePath(const std::string& path);

// Whether the path names an entry of any kind.
bool FileExists(const char* path);

// Whether the path names an existing directory.
bool DirectoryExists(const char* path);

// Whether this process may create a file in the existing directory (write
// and search permission, or the platform's equivalent). Creates nothing.
bool DirectoryAcceptsNewFiles(const char* path);

// The largest file ReadWholeFile reads; a configuration is a few lines.
inline constexpr std::uint64_t kLargestFileRead = 16 * 1024 * 1024;

enum class FileRead {
    kRead,
    // Missing, no permission, or reading failed.
    kCannotOpen,
    // A directory, FIFO, device or socket: reading it could block or never
    // end, so it is not read.
    kNotRegularFile,
    // Larger than kLargestFileRead.
    kTooLarge,
};

// The whole content of a regular file of at most kLargestFileRead bytes,
// read through a descriptor that child processes do not inherit. Opening
// never waits (a FIFO's missing writer cannot stop it). Other processes may
// read and write the file meanwhile.
FileRead ReadWholeFile(const char* path, std::string* content);

// The local time (time zone and daylight saving of the process) of a
// calendar time; false when it cannot be converted.
bool ConvertToLocalTime(std::time_t time, std::tm* local);

// A file that log text is written to.
using FileHandle = std::intptr_t;
inline constexpr FileHandle kNoFile = -1;

enum class FileCreation {
    // Create the file, or empty an existing one.
    kReplace,
    // Create the file only when no entry of that name exists; never follows
    // a symbolic link.
    kCreateNew,
    // Create the file, or keep an existing one's content and write after it.
    kAppend,
};

struct OpenedFile {
    FileHandle handle = kNoFile;
    // Set when kCreateNew failed because the name is taken.
    bool nameTaken = false;
};

// Opens a file for appending at the operating-system level, so that each
// write lands whole at the end of the file even when other handles or
// processes append to it too; shared with other readers and writers and not
// inherited by child processes. While it is open, other processes cannot
// delete it unnoticed: POSIX holds a shared advisory lock (flock) on it,
// Windows refuses to delete an open file.
OpenedFile OpenFileForWriting(const char* path, FileCreation creation);

// Writes the texts, one after another, at the end of the file in one
// request, each line feed as the platform's line end (CR LF on Windows).
// Returns how many of their bytes were stored: all of them, or fewer when
// the system refused the rest (a write that stores nothing counts as
// refused, never as a reason to try again forever).
size_t WriteToFile(FileHandle file, const std::string_view* texts, size_t count);

inline size_t WriteToFile(FileHandle file, const char* bytes, size_t size) {
    const std::string_view text(bytes, size);
    return WriteToFile(file, &text, 1);
}

// How many bytes WriteToFile stores for the text when all of it is stored
// (each line feed as the platform's line end).
size_t StoredSize(const char* bytes, size_t size);

// Reads the process's file-size limit: a finite one makes the library's
// writes from then on keep SIGXFSZ from ending the process (see
// WriteToFile). Called while the library loads and when a file opens.
void NoteFileSizeLimit();

// The process's file-size limit in bytes (RLIMIT_FSIZE); nothing where
// there is none.
std::optional<std::uint64_t> FileSizeLimit();

// Calls write(context), which writes through a stream of the C or C++
// library, so that a write past the process's file-size limit fails instead
// of raising SIGXFSZ, as WriteToFile's own writes do.
void CallWithoutFileSizeSignal(void (*write)(void* context), void* context);

// Closes the file; false when closing reported an error.
bool CloseFile(FileHandle file);

// The system journal: journald where systemd runs, the Event Log on
// Windows.
using JournalHandle = std::intptr_t;
inline constexpr JournalHandle kNoJournal = -1;

struct JournalOpening {
    JournalHandle handle = kNoJournal;
    // What the journal is, or why there is none, in a few words.
    std::string description;
};

// Opens the journal when it takes messages now; never waits for it.
JournalOpening OpenJournal();

// One message for the journal. Texts are NUL-terminated; only message is
// never null.
struct JournalEntry {
    const char* message = nullptr;
    // Shown before the message, as a file log shows it.
    const char* marking = nullptr;
    // Null or empty for raw text.
    const char* method = nullptr;
    // The level name; null for raw text.
    const char* level = nullptr;
    // KIVLOGGING_LEVEL_DEBUG ... KIVLOGGING_LEVEL_FATAL.
    int severity = 0;
};

// Hands one entry to the journal; false when the journal refused it.
// Throws std::bad_alloc only when a long text cannot get memory.
bool SendToJournal(JournalHandle journal, const JournalEntry& entry);

void CloseJournal(JournalHandle journal);

// Sleeps while the word holds value, for a wait that looking again did not
// end; returns once woken, or at any time (the caller looks again). A change
// of the word followed by WakeSleepersOn(word) is never missed.
void SleepWhileWordIs(const std::atomic<std::uint32_t>& word, std::uint32_t value);

// Wakes every thread sleeping on the word; call after changing it.
void WakeSleepersOn(const std::atomic<std::uint32_t>& word);

// Arranges for prepare() to run in the thread that calls fork() just before
// the process is copied, and for inParent() and inChild() to run in the two
// processes just after. Nothing happens where processes are not forked.
void CallAroundFork(void (*prepare)(), void (*inParent)(), void (*inChild)());

}  // namespace ORVA::KIV::System::Utility::Logging::Platform

#endif  // KIVLOGGING_PLATFORM_PLATFORM_H
