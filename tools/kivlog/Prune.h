// kivlog prune: deletes old log files of the file log.
#ifndef KIVLOGGING_TOOLS_KIVLOG_PRUNE_H
#define KIVLOGGING_TOOLS_KIVLOG_PRUNE_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kivlog {

struct PruneOptions {
    std::string directory;
    // A file goes when any rule given picks it: beyond the newest keep
    // files, last written more than olderThanDays days ago, or older than
    // the newest files that together hold maxTotalBytes.
    std::optional<std::uint64_t> keep;
    std::optional<std::uint64_t> olderThanDays;
    std::optional<std::uint64_t> maxTotalBytes;
    bool dryRun = false;
    bool help = false;
};

// Parses "prune DIR [--keep N] [--older-than DAYS] [--max-total-size SIZE]
// [--dry-run]" from arguments[first..]; false with the problem in *error
// for a usage error.
bool ParsePruneOptions(const std::vector<std::string>& arguments, size_t first, PruneOptions* options,
                       std::string* error);

// Deletes what the options pick; returns the exit status.
int RunPrune(const PruneOptions& options);

}  // namespace kivlog

#endif  // KIVLOGGING_TOOLS_KIVLOG_PRUNE_H
