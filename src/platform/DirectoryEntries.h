// Listing a directory and deleting old log files from it, for retention in
// the library and for kivlog prune; one definition per platform (posix/,
// win32/).
#ifndef KIVLOGGING_PLATFORM_DIRECTORYENTRIES_H
#define KIVLOGGING_PLATFORM_DIRECTORYENTRIES_H

#include <cstdint>
#include <string>
#include <vector>

namespace ORVA::KIV::System::Utility::Logging::Platform {

// The separator put between a directory and a name.
extern const char kPathSeparator;

// One entry of a directory as it is, links not followed.
struct DirectoryEntry {
    std::string name;
    // A plain file: not a link, directory, FIFO, device or socket.
    bool regular = false;
    std::uint64_t size = 0;
    // When it was last written, in seconds since 1970 (UTC).
    std::int64_t writtenAt = 0;
};

// The entries of the directory whose names pass keep(name); false when the
// directory cannot be listed, with the reason in *reason.
bool ListDirectory(const std::string& directory, bool (*keep)(const std::string& name),
                   std::vector<DirectoryEntry>* entries, std::string* reason);

// Seconds since 1970 (UTC) now.
std::int64_t SecondsNow();

enum class Removal {
    // Deleted, or with onlyCheck, free to be deleted.
    kRemoved,
    // A live process has the file open as a log file.
    kInUse,
    // Not a plain file (any more), or the system refused.
    kFailed,
};

// Deletes the regular file unless a live process writes it as a log file
// (POSIX: it holds the file log's shared lock; Windows: it has the file open
// without delete sharing). Never waits for another process. With onlyCheck
// nothing is deleted. On failure *reason says why.
Removal RemoveUnlessInUse(const std::string& path, bool onlyCheck, std::string* reason);

}  // namespace ORVA::KIV::System::Utility::Logging::Platform

#endif  // KIVLOGGING_PLATFORM_DIRECTORYENTRIES_H
