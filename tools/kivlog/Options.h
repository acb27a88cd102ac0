// The command line of kivlog's reading commands (the default one and
// "stats").
#ifndef KIVLOGGING_TOOLS_KIVLOG_OPTIONS_H
#define KIVLOGGING_TOOLS_KIVLOG_OPTIONS_H

#include <optional>
#include <string>
#include <vector>

#include "Filter.h"
#include "RecordWriter.h"

namespace kivlog {

struct ReadOptions {
    // Files, directories and "-" for standard input; none means "-".
    std::vector<std::string> paths;
    Filter filter;
    Form form = Form::kLayout;
    bool follow = false;
    bool rawBytes = false;
    // --utc: times in UTC rather than as written.
    bool utc = false;
    // -n: only the last this many records that pass the filter.
    std::optional<size_t> lastRecords;
    // --help was given as an option.
    bool help = false;
};

// Parses arguments[first..]; false with the problem in *error for a usage
// error. withOutput: the output options (--line, --json, -f, --raw-bytes)
// are accepted.
bool ParseReadOptions(const std::vector<std::string>& arguments, size_t first, bool withOutput,
                      ReadOptions* options, std::string* error);

}  // namespace kivlog

#endif  // KIVLOGGING_TOOLS_KIVLOG_OPTIONS_H
