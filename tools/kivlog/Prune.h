// kivlog prune: deletes old log files of the file log.
#ifndef KIVLOGGING_TOOLS_KIVLOG_PRUNE_H
#define KIVLOGGING_TOOLS_KIVLOG_PRUNE_H

#include <string>
#include <vector>

namespace kivlog {

// Runs "prune DIR (--keep N | --older-than DAYS) [--dry-run]" from
// arguments[first..]; returns the exit status (2 with *usageError set for a
// usage error).
int RunPrune(const std::vector<std::string>& arguments, size_t first, std::string* usageError);

}  // namespace kivlog

#endif  // KIVLOGGING_TOOLS_KIVLOG_PRUNE_H
