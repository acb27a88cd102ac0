#include "Places.h"

#include <chrono>
#include <filesystem>
#include <system_error>

#include "properties/ConfigDirectory.h"

namespace kivdoctor {
namespace {
namespace fs = std::filesystem;

bool SamePlace(const fs::path& a, const fs::path& b) {
    std::error_code error;
    return fs::weakly_canonical(a, error) == fs::weakly_canonical(b, error);
}

bool IsFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

}  // namespace

std::string WorkingDirectory() {
    std::error_code error;
    const fs::path directory = fs::current_path(error);
    return error ? std::string() : directory.string();
}

std::optional<std::string> ResolvedWhenRelative(const std::string& path,
                                                const std::string& workingDirectory) {
    if (path.empty() || fs::path(path).is_absolute() || workingDirectory.empty()) return std::nullopt;
    return (fs::path(workingDirectory) / path).lexically_normal().string();
}

std::optional<std::string> DirectoryOfNamedFile(const Report& report) {
    using ORVA::KIV::System::Utility::Logging::kPropertiesFileName;
    if (!report.searched || report.variable != VariableState::kSet) return std::nullopt;
    // The candidate is the variable's value as a directory text.
    const fs::path named = fs::path(report.candidate).parent_path();
    if (named.filename() != kPropertiesFileName || !IsFile(named)) return std::nullopt;
    return named.parent_path().string();
}

bool ChangedAfter(const std::string& path, std::time_t time) {
    std::error_code error;
    const fs::file_time_type changed = fs::last_write_time(path, error);
    if (error || time == 0) return false;
    // The start is known to the second, and the boot time it counts from
    // only roughly: a change counts when it is clearly later.
    constexpr std::chrono::seconds kUncertainty(2);
    const auto changedAt = std::chrono::file_clock::to_sys(changed);
    return changedAt > std::chrono::system_clock::from_time_t(time) + kUncertainty;
}

std::vector<MisplacedFile> FindMisplacedFiles(const Report& report) {
    using ORVA::KIV::System::Utility::Logging::kPropertiesFileName;
    const bool variableDecides = report.variable == VariableState::kSet;
    // Where the library looks: the variable's directory, or CLASSIFIED
    // beside the executable.
    const std::string lookedIn =
        variableDecides ? report.candidate : report.classifiedDirectory.value_or(std::string());
    const bool noFile =
        report.outcome == FileOutcome::kMissing || report.outcome == FileOutcome::kNoDirectory;
    if (!report.searched || !noFile || lookedIn.empty()) {
        return {};
    }
    const fs::path expected = fs::path(lookedIn) / kPropertiesFileName;
    // The directory text ends in a separator: its parent_path() is the
    // directory itself, and the parent of that is the executable's directory
    // or the configuration directory's parent.
    const fs::path parent = fs::path(lookedIn).parent_path().parent_path();
    const fs::path places[] = {parent / kPropertiesFileName,
                               fs::path(report.workingDirectory) / kPropertiesFileName};

    std::vector<MisplacedFile> found;
    for (const fs::path& place : places) {
        if (!IsFile(place) || SamePlace(place, expected) ||
            (report.variableNamesFile && SamePlace(place, fs::path(*report.variableNamesFile) /
                                                              kPropertiesFileName))) {
            continue;
        }
        bool seen = false;
        for (const MisplacedFile& earlier : found) seen = seen || SamePlace(earlier.path, place);
        if (!seen) {
            const fs::path normal = place.lexically_normal();
            found.push_back({normal.string(), expected.string(), normal.parent_path().string()});
        }
    }
    return found;
}

}  // namespace kivdoctor
