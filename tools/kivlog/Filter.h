// Which records pass the filters of the command line (all combined with
// AND). Banners pass only when no filter is set.
#ifndef KIVLOGGING_TOOLS_KIVLOG_FILTER_H
#define KIVLOGGING_TOOLS_KIVLOG_FILTER_H

#include <limits>
#include <memory>
#include <optional>
#include <string>

#include "LinePattern.h"

#include "Record.h"

namespace kivlog {

enum class RawChoice { kBoth, kOnlyRaw, kNoRaw };

struct Filter {
    // Messages at this level and above; raw text has no level and fails.
    std::optional<Level> minimumLevel;
    // Inclusive bounds; raw text is judged by the time it sorts with.
    TimeKey since = 0;
    TimeKey until = std::numeric_limits<TimeKey>::max();
    // Searched within each line of the method (messages only) or the body.
    std::shared_ptr<const LinePattern> method;
    std::shared_ptr<const LinePattern> grep;
    // The marking without parentheses and blanks ("U" for "(U) ").
    std::optional<std::string> marking;
    RawChoice raw = RawChoice::kBoth;
    bool isEmpty = true;

    bool Passes(const Record& record) const;
};

// The marking's name without parentheses and blanks: "(U) " and "U" give "U".
std::string_view MarkingName(std::string_view marking);

}  // namespace kivlog

#endif  // KIVLOGGING_TOOLS_KIVLOG_FILTER_H
