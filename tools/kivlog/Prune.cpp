#include "Prune.h"

#include <cstdio>

#include "ArgumentCursor.h"
#include "ProblemReport.h"
#include "platform/PathText.h"
#include "retention/LogRetention.h"
#include "TerminalText.h"

namespace kivlog {
namespace {

using ORVA::KIV::System::Utility::Logging::ApplyRetention;
using ORVA::KIV::System::Utility::Logging::kMostRetentionDays;
using ORVA::KIV::System::Utility::Logging::ParseAmount;
using ORVA::KIV::System::Utility::Logging::RetentionLimits;
using ORVA::KIV::System::Utility::Logging::RetentionOutcome;
namespace Platform = ORVA::KIV::System::Utility::Logging::Platform;

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
            const std::optional<std::uint64_t> amount = ParseAmount(value, isSize);
            const bool isAge = option == "--older-than";
            if (!amount || (isAge && *amount > kMostRetentionDays)) {
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
    RetentionLimits limits;
    limits.maxFiles = options.keep;
    limits.maxAgeDays = options.olderThanDays;
    limits.maxTotalBytes = options.maxTotalBytes;
    std::vector<RetentionOutcome> outcomes;
    std::string reason;
    // The command line is text in the code page; retention lists and
    // deletes in the library's path encoding.
    if (!ApplyRetention(Platform::PathFromText(options.directory), limits, std::string_view(), options.dryRun,
                        &outcomes, &reason)) {
        ReportProblem(options.directory, "cannot list the directory: " + reason);
        return 1;
    }
    int status = 0;
    for (const RetentionOutcome& outcome : outcomes) {
        const std::string path = Platform::TextFromPath(outcome.path);
        const std::string shown = TerminalSafeName(path);
        switch (outcome.removal) {
            case Platform::Removal::kRemoved:
                std::printf("%s %s\n", options.dryRun ? "would delete" : "deleted", shown.c_str());
                break;
            case Platform::Removal::kInUse:
                std::printf("%s %s: %s\n", options.dryRun ? "would skip" : "skipped", shown.c_str(),
                            outcome.reason.c_str());
                break;
            case Platform::Removal::kFailed:
                ReportProblem(path, (options.dryRun ? "cannot check: " : "cannot delete: ") + outcome.reason);
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
