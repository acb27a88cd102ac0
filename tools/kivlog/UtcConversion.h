// Local times as the log holds them, turned into UTC by the time zone rules
// of the machine that reads the log (for --utc).
#ifndef KIVLOGGING_TOOLS_KIVLOG_UTCCONVERSION_H
#define KIVLOGGING_TOOLS_KIVLOG_UTCCONVERSION_H

#include <cstdint>

#include "Record.h"

namespace kivlog {

class UtcConversion {
public:
    // Whether a clock of this zone ever showed a local time: not one in the
    // gap that a change to summer time skips (2024/03/31 02:30:00 in
    // Berlin). Such a stamp names no moment, like one the calendar lacks.
    bool Exists(TimeKey local);

    // The UTC time of a local time. In the hour that a change of summer time
    // repeats, the C library's choice is taken; a time it cannot convert is
    // kept as it is. A time that does not exist has no UTC time: ask
    // Exists first.
    TimeKey ToUtc(TimeKey local);

private:
    void LearnHour(TimeKey hour);

    // The offset from UTC of the hour converted last: the rules change
    // only on whole hours, and logs go on in order.
    TimeKey m_hour = -1;
    std::int64_t m_offsetSeconds = 0;
    // The hour starts in a gap. The gap may end inside the hour (the half
    // hour of Lord Howe Island), so its times are converted one by one.
    bool m_startSkipped = false;
};

}  // namespace kivlog

#endif  // KIVLOGGING_TOOLS_KIVLOG_UTCCONVERSION_H
