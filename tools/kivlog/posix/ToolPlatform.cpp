#include "ToolPlatform.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

namespace kivlog {

bool StandardOutputIsTerminal() {
    return isatty(STDOUT_FILENO) == 1;
}

void UseBinaryStandardStreams() {
    // POSIX streams never convert line ends.
}

std::tm LocalTimeNow() {
    const time_t now = time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

void AllowManyOpenFiles() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

Removal RemoveUnlessInUse(const std::string& path, bool onlyCheck, std::string* reason) {
    const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (descriptor < 0) {
        *reason = std::strerror(errno);
        return Removal::kFailed;
    }
    // Every file log holds a shared lock on its open file: an exclusive
    // lock is had only when no live process writes the file. It is held
    // while the name is removed, so no log opens the file in between.
    Removal result = Removal::kRemoved;
    if (flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        result = errno == EWOULDBLOCK ? Removal::kInUse : Removal::kFailed;
        *reason = result == Removal::kInUse ? "a running process writes it" : std::strerror(errno);
    } else if (!onlyCheck && unlink(path.c_str()) != 0) {
        *reason = std::strerror(errno);
        result = Removal::kFailed;
    }
    close(descriptor);
    return result;
}

}  // namespace kivlog
