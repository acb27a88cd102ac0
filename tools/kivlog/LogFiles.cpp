#include "LogFiles.h"

#include <algorithm>
#include <filesystem>

#include "retention/LogRetention.h"

namespace kivlog {
namespace {

constexpr std::string_view kPrefix = "kiv.log_";
constexpr std::string_view kSuffix = ".log";
constexpr std::string_view kStampShape = "dddd-dd-dd_dd_dd_dd";

int VariantOf(std::string_view name) {
    return ORVA::KIV::System::Utility::Logging::DefaultLogFileVariant(name);
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
