#include "platform/Platform.h"

#include <fcntl.h>
#include <linux/futex.h>
#include <pthread.h>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <ctime>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace ORVA::KIV::System::Utility::Logging::Platform {

// On POSIX a backslash is an ordinary file-name character.
const char kDirectorySeparator = '/';
const char kAlternateSeparator = '\0';
const bool kLoneSeparatorIsRoot = true;

std::optional<std::string> GetEnvironmentValue(const char* name) {
    if (name == nullptr) return std::nullopt;
    const char* value = std::getenv(name);
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

std::optional<std::string> GetExecutablePath() {
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) return std::nullopt;
        if (static_cast<size_t>(length) < buffer.size()) {
            return std::string(buffer.data(), static_cast<size_t>(length));
        }
        buffer.resize(buffer.size() * 2);
    }
}

namespace {

std::string NonEmptyEnvironmentValue(const char* name) {
    return GetEnvironmentValue(name).value_or(std::string());
}

// $HOME, else the home directory of the password database.
std::string HomeDirectory() {
    std::string home = NonEmptyEnvironmentValue("HOME");
    if (!home.empty()) return home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr) {
        return found->pw_dir;
    }
    return std::string();
}

// The XDG_DOCUMENTS_DIR entry of user-dirs.dirs: a quoted path that is
// absolute or starts with $HOME.
std::string DocumentsFolderFromUserDirs(const std::string& home) {
    std::string configHome = NonEmptyEnvironmentValue("XDG_CONFIG_HOME");
    if (configHome.empty()) {
        if (home.empty()) return std::string();
        configHome = home + "/.config";
    }
    std::string content;
    if (ReadWholeFile((configHome + "/user-dirs.dirs").c_str(), &content) != FileRead::kRead) {
        return std::string();
    }
    std::istringstream file(content);
    const std::string prefix = "XDG_DOCUMENTS_DIR=\"";
    for (std::string line; std::getline(file, line);) {
        const size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, prefix.size(), prefix) != 0) {
            continue;
        }
        const size_t valueStart = start + prefix.size();
        const size_t valueEnd = line.find('"', valueStart);
        if (valueEnd == std::string::npos) continue;
        std::string value = line.substr(valueStart, valueEnd - valueStart);
        if (value.rfind("$HOME", 0) == 0) {
            if (home.empty()) continue;
            value = home + value.substr(5);
        }
        if (!value.empty() && value.front() == '/') return value;
    }
    return std::string();
}

}  // namespace

std::string GetDocumentsFolder() {
    std::string documents = NonEmptyEnvironmentValue("XDG_DOCUMENTS_DIR");
    if (!documents.empty()) return documents;
    const std::string home = HomeDirectory();
    documents = DocumentsFolderFromUserDirs(home);
    if (!documents.empty()) return documents;
    if (home.empty()) return std::string();
    return home + "/Documents";
}

std::string AbsolutePath(const std::string& path) {
    if (path.empty() || path.front() == '/') return path;
    std::vector<char> directory(4096);
    while (getcwd(directory.data(), directory.size()) == nullptr) {
        if (errno != ERANGE) return path;
        directory.resize(directory.size() * 2);
    }
    std::string absolute(directory.data());
    if (absolute.empty() || absolute.back() != '/') absolute += '/';
    return absolute + path;
}

bool FileExists(const char* path) {
    struct stat status {};
    return path != nullptr && stat(path, &status) == 0;
}

bool DirectoryExists(const char* path) {
    struct stat status {};
    return path != nullptr && stat(path, &status) == 0 && S_ISDIR(status.st_mode);
}

bool DirectoryAcceptsNewFiles(const char* path) {
    return path != nullptr && faccessat(AT_FDCWD, path, W_OK | X_OK, AT_EACCESS) == 0;
}

FileRead ReadWholeFile(const char* path, std::string* content) {
    if (path == nullptr || content == nullptr) return FileRead::kCannotOpen;
    int descriptor;
    do {
        descriptor = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    } while (descriptor < 0 && errno == EINTR);
    if (descriptor < 0) return FileRead::kCannotOpen;
    struct stat status {};
    FileRead result = FileRead::kCannotOpen;
    if (fstat(descriptor, &status) != 0) {
        result = FileRead::kCannotOpen;
    } else if (!S_ISREG(status.st_mode)) {
        result = FileRead::kNotRegularFile;
    } else if (static_cast<std::uint64_t>(status.st_size) > kLargestFileRead) {
        result = FileRead::kTooLarge;
    } else {
        content->clear();
        char chunk[16384];
        for (;;) {
            const ssize_t got = read(descriptor, chunk, sizeof chunk);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) {
                result = got == 0 ? FileRead::kRead : FileRead::kCannotOpen;
                break;
            }
            // The file may grow while it is read.
            if (content->size() + static_cast<size_t>(got) > kLargestFileRead) {
                result = FileRead::kTooLarge;
                break;
            }
            content->append(chunk, static_cast<size_t>(got));
        }
    }
    close(descriptor);
    return result;
}

bool ConvertToLocalTime(std::time_t time, std::tm* local) {
    return localtime_r(&time, local) != nullptr;
}

namespace {

// Set once the library loaded or a log file was opened under a finite
// file-size limit, or a write came up short: from then on writes keep
// SIGXFSZ from ending the process.
std::atomic<bool> c_fileSizeMayBeLimited{false};

// A write that starts at the file-size limit fails and raises SIGXFSZ in the
// writing thread, which ends the process unless it is handled. For as long
// as this lives, the signal is blocked in this thread; one that the
// library's own writes raised is taken out of the pending set afterwards, so
// the application never sees it. A signal that was pending before is left.
class FileSizeSignalGuard {
public:
    FileSizeSignalGuard() {
        sigemptyset(&m_signal);
        sigaddset(&m_signal, SIGXFSZ);
        pthread_sigmask(SIG_BLOCK, &m_signal, &m_previousMask);
        m_wasPending = IsPending();
    }
    ~FileSizeSignalGuard() {
        if (!m_wasPending && IsPending()) {
            const timespec noWait{0, 0};
            sigtimedwait(&m_signal, nullptr, &noWait);
        }
        pthread_sigmask(SIG_SETMASK, &m_previousMask, nullptr);
    }
    FileSizeSignalGuard(const FileSizeSignalGuard&) = delete;
    FileSizeSignalGuard& operator=(const FileSizeSignalGuard&) = delete;

private:
    static bool IsPending() {
        sigset_t pending;
        return sigpending(&pending) == 0 && sigismember(&pending, SIGXFSZ) == 1;
    }

    sigset_t m_signal{};
    sigset_t m_previousMask{};
    bool m_wasPending = false;
};

// The most texts handed to one writev call: more than a batch of messages
// holds, and within Linux's IOV_MAX (1024).
constexpr int kLargestGather = 128;

// How often a file that was deleted between its creation and its lock is
// made again.
constexpr int kOpenAttempts = 3;
// How long a shared lock is waited for, in milliseconds: a tool deleting old
// files holds its exclusive lock only for a moment, and a lock held for
// longer by anyone else must not stop the log.
constexpr int kLockWaitMilliseconds = 200;

void TakeSharedLock(int descriptor) {
    for (int waited = 0; waited < kLockWaitMilliseconds; ++waited) {
        if (flock(descriptor, LOCK_SH | LOCK_NB) == 0 || (errno != EWOULDBLOCK && errno != EINTR)) return;
        const timespec millisecond{0, 1000000};
        nanosleep(&millisecond, nullptr);
    }
}

int OpenWithRetry(const char* path, int flags) {
    int descriptor;
    do {
        descriptor = open(path, flags, 0666);
    } while (descriptor < 0 && errno == EINTR);
    return descriptor;
}

// Whether the open file still has a name, so that writes reach a file
// others can read.
bool IsLinked(int descriptor) {
    struct stat status {};
    return fstat(descriptor, &status) == 0 && status.st_nlink > 0;
}

}  // namespace

OpenedFile OpenFileForWriting(const char* path, FileCreation creation) {
    int flags = O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC;
    if (creation == FileCreation::kCreateNew) flags |= O_EXCL;
    if (creation == FileCreation::kReplace) flags |= O_TRUNC;
    OpenedFile opened;
    NoteFileSizeLimit();
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        const int descriptor = OpenWithRetry(path, flags);
        if (descriptor < 0) {
            opened.nameTaken = errno == EEXIST;
            return opened;
        }
        // A shared advisory lock for as long as the file is open tells tools
        // that delete old log files (kivlog prune) that a live process still
        // writes here; they delete only files they can lock exclusively.
        // Such a tool may have locked and deleted the new file before this
        // lock: then the file is made again. Without locks the log works
        // just the same.
        TakeSharedLock(descriptor);
        if (IsLinked(descriptor)) {
            opened.handle = descriptor;
            return opened;
        }
        close(descriptor);
    }
    return opened;
}

size_t WriteToFile(FileHandle file, const std::string_view* texts, size_t count) {
    std::optional<FileSizeSignalGuard> guard;
    if (c_fileSizeMayBeLimited.load(std::memory_order_relaxed)) guard.emplace();
    // The texts go as one request; a short write goes on from where it
    // stopped, which is byte skip of texts[next].
    iovec pieces[kLargestGather];
    size_t stored = 0;
    size_t next = 0;
    size_t skip = 0;
    for (;;) {
        while (next < count && skip == texts[next].size()) {
            ++next;
            skip = 0;
        }
        if (next == count) break;
        int used = 0;
        size_t requested = 0;
        for (size_t text = next, from = skip; text < count && used < kLargestGather; ++text, from = 0) {
            pieces[used].iov_base = const_cast<char*>(texts[text].data() + from);
            pieces[used].iov_len = texts[text].size() - from;
            requested += pieces[used].iov_len;
            ++used;
        }
        // One piece goes by write(2), which costs a little less.
        const ssize_t written = used == 1 ? write(static_cast<int>(file), pieces[0].iov_base, pieces[0].iov_len)
                                          : writev(static_cast<int>(file), pieces, used);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) break;
        stored += static_cast<size_t>(written);
        for (size_t left = static_cast<size_t>(written); left > 0;) {
            const size_t rest = texts[next].size() - skip;
            if (left < rest) {
                skip += left;
                left = 0;
            } else {
                left -= rest;
                skip = 0;
                ++next;
            }
        }
        // A short write may have stopped at the limit: the next one would
        // start there.
        if (static_cast<size_t>(written) < requested && !guard) {
            c_fileSizeMayBeLimited.store(true, std::memory_order_relaxed);
            guard.emplace();
        }
    }
    return stored;
}

size_t StoredSize(const char*, size_t size) {
    return size;
}

void NoteFileSizeLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
        c_fileSizeMayBeLimited.store(true, std::memory_order_relaxed);
    }
}

std::optional<std::uint64_t> FileSizeLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return std::nullopt;
    return static_cast<std::uint64_t>(limit.rlim_cur);
}

void CallWithoutFileSizeSignal(void (*write)(void* context), void* context) {
    if (!c_fileSizeMayBeLimited.load(std::memory_order_relaxed)) {
        write(context);
        return;
    }
    const FileSizeSignalGuard guard;
    write(context);
}

bool CloseFile(FileHandle file) {
    return close(static_cast<int>(file)) == 0;
}

namespace {

// The futex is the word itself: the kernel compares it with value and
// sleeps in one step, so a change made before a wake cannot be missed.
long Futex(const std::atomic<std::uint32_t>& word, int operation, std::uint32_t value) {
    static_assert(sizeof(std::atomic<std::uint32_t>) == sizeof(std::uint32_t));
    return syscall(SYS_futex, reinterpret_cast<const std::uint32_t*>(&word), operation, value, nullptr, nullptr, 0);
}

}  // namespace

void SleepWhileWordIs(const std::atomic<std::uint32_t>& word, std::uint32_t value) {
    Futex(word, FUTEX_WAIT_PRIVATE, value);
}

void WakeSleepersOn(const std::atomic<std::uint32_t>& word) {
    Futex(word, FUTEX_WAKE_PRIVATE, INT32_MAX);
}

void CallAroundFork(void (*prepare)(), void (*inParent)(), void (*inChild)()) {
    pthread_atfork(prepare, inParent, inChild);
}

}  // namespace ORVA::KIV::System::Utility::Logging::Platform
