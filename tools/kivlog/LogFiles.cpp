#include "LogFiles.h"

#include <algorithm>
#include <filesystem>

namespace kivlog {
namespace {

constexpr std::string_view kPrefix = "kiv.log_";
constexpr std::string_view kSuffix = ".log";
constexpr std::string_view kStampShape = "dddd-dd-dd_dd_dd_dd";

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The N of a library name ("_N" before ".log"), 1 without one; 0 when the
// name is not the library's.
int VariantOf(std::string_view name) {
    if (name.size() < kPrefix.size() + kStampShape.size() + kSuffix.size() ||
        name.substr(0, kPrefix.size()) != kPrefix || name.substr(name.size() - kSuffix.size()) != kSuffix) {
        return 0;
    }
    const std::string_view stamp = name.substr(kPrefix.size(), kStampShape.size());
    for (size_t i = 0; i < kStampShape.size(); ++i) {
        if (kStampShape[i] == 'd' ? !IsDigit(stamp[i]) : stamp[i] != kStampShape[i]) return 0;
    }
    std::string_view variant = name.substr(kPrefix.size() + kStampShape.size());
    variant.remove_suffix(kSuffix.size());
    if (variant.empty()) return 1;
    if (variant.size() < 2 || variant.size() > 4 || variant[0] != '_' || variant[1] == '0' ||
        !std::all_of(variant.begin() + 1, variant.end(), IsDigit)) {
        return 0;
    }
    const int number = std::stoi(std::string(variant.substr(1)));
    return number >= 2 ? number : 0;
}

}  // namespace

bool IsLogFileName(std::string_view name) {
    return name.size() >= kPrefix.size() + kSuffix.size() && name.substr(0, kPrefix.size()) == kPrefix &&
           name.substr(name.size() - kSuffix.size()) == kSuffix;
}

bool IsLibraryLogFileName(std::string_view name) {
    return VariantOf(name) > 0;
}

std::vector<std::string> ListLogFiles(const std::string& directory, std::error_code& error) {
    struct Entry {
        std::string name;
        std::string path;
        int variant;
    };
    std::vector<Entry> entries;
    for (std::filesystem::directory_iterator it(directory, error), end; !error && it != end;
         it.increment(error)) {
        std::string name = it->path().filename().string();
        if (!IsLogFileName(name)) continue;
        // An entry that cannot be looked at (a link in a loop, or into a
        // directory not readable) is listed, so that reading it names the
        // problem; other kinds of files are not.
        std::error_code status;
        if (!it->is_regular_file(status) && !status) continue;
        const int variant = VariantOf(name);
        entries.push_back({name.substr(0, variant > 0 ? kPrefix.size() + kStampShape.size() : name.size()),
                           it->path().string(), variant});
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        // Library names first, in time order; other names after them.
        if ((a.variant > 0) != (b.variant > 0)) return a.variant > 0;
        if (a.name != b.name) return a.name < b.name;
        return a.variant != b.variant ? a.variant < b.variant : a.path < b.path;
    });
    std::vector<std::string> paths;
    for (Entry& entry : entries) paths.push_back(std::move(entry.path));
    return paths;
}

}  // namespace kivlog
