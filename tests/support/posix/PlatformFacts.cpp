#include "support/PlatformFacts.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

namespace kivtest {

std::string ExpectedDocumentsFolder(const std::string& home) {
    return home + "/Documents/";
}

std::optional<std::string> CodePageText(const std::filesystem::path& path) {
    return path.string();
}

bool MakeFifo(const std::string& path) {
    return mkfifo(path.c_str(), 0600) == 0;
}

bool IsOnNoSuidMount(const std::string& path) {
    struct statvfs system {};
    return statvfs(path.c_str(), &system) != 0 || (system.f_flag & ST_NOSUID) != 0;
}

std::optional<size_t> LargestChildMemory() {
    rusage usage{};
    if (getrusage(RUSAGE_CHILDREN, &usage) != 0) return std::nullopt;
    return static_cast<size_t>(usage.ru_maxrss) * 1024;
}

}  // namespace kivtest
