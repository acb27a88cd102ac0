#include "Places.h"

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
        if (!IsFile(place) || SamePlace(place, expected)) continue;
        bool seen = false;
        for (const MisplacedFile& earlier : found) seen = seen || SamePlace(earlier.path, place);
        if (!seen) found.push_back({place.lexically_normal().string(), expected.string()});
    }
    return found;
}

}  // namespace kivdoctor
