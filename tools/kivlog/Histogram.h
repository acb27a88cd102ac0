// Messages per time interval and level, kept at a resolution that coarsens
// as the time span grows, so that memory stays bounded for any log.
#ifndef KIVLOGGING_TOOLS_KIVLOG_HISTOGRAM_H
#define KIVLOGGING_TOOLS_KIVLOG_HISTOGRAM_H

#include <array>
#include <cstdint>
#include <map>
#include <string>

#include "Record.h"

namespace kivlog {

class Histogram {
public:
    void Add(TimeKey time, Level level);
    // Rows of the interval that fits the span in about 30 rows: the start
    // of each interval, the count per level and a bar, the longest bar
    // `width` characters.
    std::string Draw(int width) const;

private:
    using Counts = std::array<std::uint64_t, kLevelCount>;
    // Sums the bins, counted in intervals of ladder step `from`, into
    // intervals of step `to`.
    std::map<std::int64_t, Counts> Rebinned(size_t from, size_t to) const;

    size_t m_step = 0;
    // Interval number (seconds / interval) to counts.
    std::map<std::int64_t, Counts> m_bins;
};

}  // namespace kivlog

#endif  // KIVLOGGING_TOOLS_KIVLOG_HISTOGRAM_H
