#include "platform/DirectoryEntries.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

namespace ORVA::KIV::System::Utility::Logging::Platform {

const char kPathSeparator = '/';

bool ListDirectory(const std::string& directory, bool (*keep)(const std::string& name),
                   std::vector<DirectoryEntry>* entries, std::string* reason) {
    const int directoryDescriptor = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* listing = directoryDescriptor < 0 ? nullptr : fdopendir(directoryDescriptor);
    if (listing == nullptr) {
        *reason = std::strerror(errno);
        if (directoryDescriptor >= 0) close(directoryDescriptor);
        return false;
    }
    bool listed = true;
    try {
        for (;;) {
            errno = 0;
            const dirent* found = readdir(listing);
            if (found == nullptr) {
                if (errno != 0) {
                    *reason = std::strerror(errno);
                    listed = false;
                }
                break;
            }
            std::string name = found->d_name;
            if (!keep(name)) continue;
            struct stat status {};
            if (fstatat(directoryDescriptor, found->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0) continue;
            DirectoryEntry entry;
            entry.name = std::move(name);
            entry.regular = S_ISREG(status.st_mode);
            entry.size = static_cast<std::uint64_t>(status.st_size);
            entry.writtenAt = static_cast<std::int64_t>(status.st_mtime);
            entries->push_back(std::move(entry));
        }
    } catch (...) {
        *reason = "out of memory";
        listed = false;
    }
    closedir(listing);
    return listed;
}

std::int64_t SecondsNow() {
    return static_cast<std::int64_t>(std::time(nullptr));
}

Removal RemoveUnlessInUse(const std::string& path, bool onlyCheck, std::string* reason) {
    // Not waiting for a FIFO's writer, not following a link put in place
    // of the file.
    const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
    if (descriptor < 0) {
        *reason = std::strerror(errno);
        return Removal::kFailed;
    }
    struct stat opened {};
    if (fstat(descriptor, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        *reason = "not a regular file";
        close(descriptor);
        return Removal::kFailed;
    }
    // Every file log holds a shared lock on its open file: an exclusive
    // lock is had only when no live process writes the file. It is held
    // while the name is removed, so no log opens the file in between.
    Removal result = Removal::kRemoved;
    struct stat named {};
    if (flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        result = errno == EWOULDBLOCK ? Removal::kInUse : Removal::kFailed;
        *reason = result == Removal::kInUse ? "a running process writes it" : std::strerror(errno);
    } else if (lstat(path.c_str(), &named) != 0 || named.st_dev != opened.st_dev ||
               named.st_ino != opened.st_ino) {
        // Another file took the name after it was opened here.
        *reason = "the file changed while it was checked";
        result = Removal::kFailed;
    } else if (!onlyCheck && unlink(path.c_str()) != 0) {
        *reason = std::strerror(errno);
        result = Removal::kFailed;
    }
    close(descriptor);
    return result;
}

}  // namespace ORVA::KIV::System::Utility::Logging::Platform
