#include "ToolPlatform.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>

namespace kivlog {
namespace {

// Descriptors left for standard streams, directory listings and the
// change watch.
constexpr rlim_t kReserved = 16;

bool FactsOf(const struct stat& status, FileFacts* facts) {
    facts->device = static_cast<std::uint64_t>(status.st_dev);
    facts->file = static_cast<std::uint64_t>(status.st_ino);
    facts->size = static_cast<std::uint64_t>(status.st_size);
    facts->regular = S_ISREG(status.st_mode);
    facts->deleted = status.st_nlink == 0;
    return true;
}

}  // namespace

bool StandardOutputIsTerminal() {
    return isatty(STDOUT_FILENO) == 1;
}

void PrepareStandardStreams() {
    // POSIX streams never convert line ends. A closed stream gets
    // /dev/null opened the other way round: reading or writing it still
    // fails.
    for (int stream = STDIN_FILENO; stream <= STDERR_FILENO; ++stream) {
        if (fcntl(stream, F_GETFD) == -1 && errno == EBADF) {
            open("/dev/null", stream == STDIN_FILENO ? O_WRONLY : O_RDONLY);
        }
    }
    signal(SIGXFSZ, SIG_IGN);
}

std::tm LocalTimeNow() {
    const time_t now = time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

size_t AllowManyOpenFiles() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return 64;
    if (limit.rlim_cur < limit.rlim_max) {
        const rlim_t wanted = limit.rlim_max;
        limit.rlim_cur = wanted;
        if (setrlimit(RLIMIT_NOFILE, &limit) != 0) getrlimit(RLIMIT_NOFILE, &limit);
    }
    // Under a small limit the reserve shrinks with it: half the descriptors,
    // less the three standard ones and one for the change watch.
    const rlim_t small = limit.rlim_cur / 2 > 4 ? limit.rlim_cur / 2 - 4 : 1;
    const rlim_t usable = limit.rlim_cur > 2 * kReserved ? limit.rlim_cur - kReserved : small;
    return static_cast<size_t>(usable < 65536 ? usable : 65536);
}

int OpenForReading(const std::string& path, std::string* reason) {
    const int file = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0) *reason = std::strerror(errno);
    return file;
}

void CloseFile(int file) {
    if (file > kStandardInput) close(file);
}

long long ReadSome(int file, char* buffer, size_t size, std::string* reason) {
    for (;;) {
        const ssize_t got = read(file, buffer, size);
        if (got >= 0) return got;
        if (errno == EINTR) continue;
        *reason = std::strerror(errno);
        return -1;
    }
}

bool SeekTo(int file, std::uint64_t offset) {
    return lseek(file, static_cast<off_t>(offset), SEEK_SET) >= 0;
}

bool WaitForInput(int file, int milliseconds) {
    pollfd ready{file, POLLIN, 0};
    int result;
    while ((result = poll(&ready, 1, milliseconds)) < 0 && errno == EINTR) {
    }
    return result != 0;
}

bool FactsOfOpenFile(int file, FileFacts* facts) {
    struct stat status {};
    return fstat(file, &status) == 0 && FactsOf(status, facts);
}

bool FactsOfPath(const std::string& path, FileFacts* facts) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && FactsOf(status, facts);
}

}  // namespace kivlog
