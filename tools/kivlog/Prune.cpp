#include "Prune.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "LogFiles.h"
#include "ToolPlatform.h"

namespace kivlog {
namespace {

namespace fs = std::filesystem;

std::optional<long> Count(const std::string& text) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    return std::stol(text);
}

// The library's own log files of the directory, oldest first; symbolic
// links and other names are never touched.
std::vector<std::string> Candidates(const std::string& directory, std::error_code& error) {
    std::vector<std::string> candidates;
    for (std::string& path : ListLogFiles(directory, error)) {
        std::error_code ignored;
        if (IsLibraryLogFileName(fs::path(path).filename().string()) && !fs::is_symlink(path, ignored)) {
            candidates.push_back(std::move(path));
        }
    }
    return candidates;
}

}  // namespace

int RunPrune(const std::vector<std::string>& arguments, size_t first, std::string* usageError) {
    std::optional<std::string> directory;
    std::optional<long> keep;
    std::optional<long> olderThanDays;
    bool dryRun = false;
    for (size_t i = first; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (option == "--dry-run") {
            dryRun = true;
        } else if ((option == "--keep" || option == "--older-than") && i + 1 < arguments.size()) {
            (option == "--keep" ? keep : olderThanDays) = Count(arguments[++i]);
            if (!(option == "--keep" ? keep : olderThanDays)) {
                *usageError = option + " takes a whole number, not \"" + arguments[i] + "\"";
                return 2;
            }
        } else if (option.empty() || option[0] == '-' || directory) {
            *usageError = "unknown or incomplete argument of prune: " + option;
            return 2;
        } else {
            directory = option;
        }
    }
    if (!directory || keep.has_value() == olderThanDays.has_value()) {
        *usageError = "prune takes one directory and either --keep N or --older-than DAYS";
        return 2;
    }

    std::error_code error;
    const std::vector<std::string> candidates = Candidates(*directory, error);
    if (error) {
        std::fprintf(stderr, "kivlog: %s: cannot list the directory: %s\n", directory->c_str(),
                     error.message().c_str());
        return 1;
    }
    const auto limit = fs::file_time_type::clock::now() - std::chrono::hours(24) * olderThanDays.value_or(0);
    int status = 0;
    for (size_t i = 0; i < candidates.size(); ++i) {
        const std::string& path = candidates[i];
        const bool old = keep ? i + static_cast<size_t>(*keep) < candidates.size()
                              : fs::last_write_time(path, error) < limit && !error;
        if (!old) continue;
        if (dryRun) {
            std::printf("would delete %s\n", path.c_str());
            continue;
        }
        std::string reason;
        switch (RemoveUnlessInUse(path, &reason)) {
            case Removal::kRemoved: std::printf("deleted %s\n", path.c_str()); break;
            case Removal::kInUse: std::printf("skipped %s: %s\n", path.c_str(), reason.c_str()); break;
            case Removal::kFailed:
                std::fprintf(stderr, "kivlog: %s: cannot delete: %s\n", path.c_str(), reason.c_str());
                status = 1;
                break;
        }
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "kivlog: cannot write to standard output\n");
        status = 1;
    }
    return status;
}

}  // namespace kivlog
