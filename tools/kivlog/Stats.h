// kivlog stats: a summary of the records of the inputs.
#ifndef KIVLOGGING_TOOLS_KIVLOG_STATS_H
#define KIVLOGGING_TOOLS_KIVLOG_STATS_H

#include "Options.h"

namespace kivlog {

// Reads the inputs and prints the summary; returns the exit status.
int RunStats(const ReadOptions& options);

}  // namespace kivlog

#endif  // KIVLOGGING_TOOLS_KIVLOG_STATS_H
