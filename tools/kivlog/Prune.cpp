#include "Prune.h"

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "ArgumentCursor.h"
#include "LogFiles.h"
#include "ProblemReport.h"
#include "ToolPlatform.h"

namespace kivlog {
namespace {

namespace fs = std::filesystem;

// Bounds that keep the arithmetic on them far from overflow: about 270
// years, and an exabyte.
constexpr std::uint64_t kMostDays = 100000;
constexpr std::uint64_t kMostBytes = std::uint64_t{1} << 60;

// A decimal number of at most 18 digits (no overflow), then an optional
// suffix K, M or G (powers of 1024) when withSuffix.
std::optional<std::uint64_t> ReadAmount(const std::string& text, bool withSuffix) {
    std::string digits = text;
    int shift = 0;
    if (withSuffix && !digits.empty()) {
        const std::string suffixes = "KMG";
        const size_t suffix = suffixes.find(static_cast<char>(std::toupper(static_cast<unsigned char>(digits.back()))));
        if (suffix != std::string::npos) {
            shift = 10 * static_cast<int>(suffix + 1);
            digits.pop_back();
        }
    }
    if (digits.empty() || digits.size() > 18 || digits.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    const std::uint64_t number = std::stoull(digits);
    if (number > (kMostBytes >> shift)) return std::nullopt;
    return number << shift;
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

// Whole seconds since the file was last written; nullopt when unknown.
std::optional<std::int64_t> AgeInSeconds(const std::string& path) {
    using std::chrono::duration_cast;
    using std::chrono::seconds;
    std::error_code error;
    const fs::file_time_type written = fs::last_write_time(path, error);
    if (error) return std::nullopt;
    // Each time as seconds first: their difference in the clock's own
    // ticks may overflow.
    return duration_cast<seconds>(fs::file_time_type::clock::now().time_since_epoch()).count() -
           duration_cast<seconds>(written.time_since_epoch()).count();
}

// Which candidates the rules pick, oldest first like the candidates.
std::vector<bool> Picked(const PruneOptions& options, const std::vector<std::string>& candidates) {
    std::vector<bool> picked(candidates.size(), false);
    std::uint64_t newerBytes = 0;
    for (size_t i = candidates.size(); i-- > 0;) {
        const size_t newer = candidates.size() - 1 - i;
        if (options.keep && newer >= *options.keep) picked[i] = true;
        if (options.olderThanDays) {
            const std::optional<std::int64_t> age = AgeInSeconds(candidates[i]);
            if (age && *age >= static_cast<std::int64_t>(*options.olderThanDays * 86400)) picked[i] = true;
        }
        if (options.maxTotalBytes) {
            std::error_code error;
            const std::uintmax_t size = fs::file_size(candidates[i], error);
            newerBytes += error ? 0 : std::min<std::uintmax_t>(size, kMostBytes);
            if (newerBytes > *options.maxTotalBytes) picked[i] = true;
        }
    }
    return picked;
}

}  // namespace

bool ParsePruneOptions(const std::vector<std::string>& arguments, size_t first, PruneOptions* options,
                       std::string* error) {
    ArgumentCursor cursor(arguments, first);
    bool hasDirectory = false;
    std::string value;
    while (cursor.Next()) {
        const std::string& option = cursor.Name();
        if (!cursor.IsOption()) {
            if (hasDirectory) {
                *error = "prune takes one directory, not also \"" + option + "\"";
                return false;
            }
            options->directory = option;
            hasDirectory = true;
            continue;
        }
        if (option == "--help" || option == "-h") {
            options->help = true;
        } else if (option == "--dry-run") {
            options->dryRun = true;
        } else if (option == "--keep" || option == "--older-than" || option == "--max-total-size") {
            if (!cursor.TakeValue(&value)) {
                *error = option + " needs a value";
                return false;
            }
            const bool isSize = option == "--max-total-size";
            const std::optional<std::uint64_t> amount = ReadAmount(value, isSize);
            const bool isAge = option == "--older-than";
            if (!amount || (isAge && *amount > kMostDays)) {
                *error = option + (isSize  ? " takes a size in bytes with an optional K, M or G, not \""
                                   : isAge ? " takes a whole number of days up to 100000, not \""
                                           : " takes a whole number, not \"") +
                         value + "\"";
                return false;
            }
            (option == "--keep" ? options->keep : isAge ? options->olderThanDays : options->maxTotalBytes) = amount;
        } else {
            *error = "unknown option of prune: " + option;
            return false;
        }
        if (cursor.HasUntakenValue()) {
            *error = option + " takes no value";
            return false;
        }
    }
    if (options->help) return true;
    if (!hasDirectory || !(options->keep || options->olderThanDays || options->maxTotalBytes)) {
        *error = "prune takes one directory and --keep N, --older-than DAYS or --max-total-size SIZE";
        return false;
    }
    return true;
}

int RunPrune(const PruneOptions& options) {
    std::error_code error;
    const std::vector<std::string> candidates = Candidates(options.directory, error);
    if (error) {
        ReportProblem(options.directory, "cannot list the directory: " + error.message());
        return 1;
    }
    const std::vector<bool> picked = Picked(options, candidates);
    int status = 0;
    for (size_t i = 0; i < candidates.size(); ++i) {
        if (!picked[i]) continue;
        const std::string& path = candidates[i];
        const std::string shown = TerminalSafeName(path);
        std::string reason;
        switch (RemoveUnlessInUse(path, options.dryRun, &reason)) {
            case Removal::kRemoved:
                std::printf("%s %s\n", options.dryRun ? "would delete" : "deleted", shown.c_str());
                break;
            case Removal::kInUse:
                std::printf("%s %s: %s\n", options.dryRun ? "would skip" : "skipped", shown.c_str(),
                            reason.c_str());
                break;
            case Removal::kFailed:
                ReportProblem(path, (options.dryRun ? "cannot check: " : "cannot delete: ") + reason);
                status = 1;
                break;
        }
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fputs("kivlog: cannot write to standard output\n", stderr);
        status = 1;
    }
    return status;
}

}  // namespace kivlog
