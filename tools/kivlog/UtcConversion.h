// Local times as the log holds them, turned into UTC by the time zone rules
// of the machine that reads the log (for --utc).
#ifndef KIVLOGGING_TOOLS_KIVLOG_UTCCONVERSION_H
#define KIVLOGGING_TOOLS_KIVLOG_UTCCONVERSION_H

#include <cstdint>

#include "Record.h"

namespace kivlog {

class UtcConversion {
public:
    // The UTC time of a local time. In the hour that a change of summer time
    // repeats, the C library's choice is taken; a time it cannot convert is
    // kept as it is.
    TimeKey ToUtc(TimeKey local);

private:
    // The offset from UTC of the hour converted last: the rules change
    // only on whole hours, and logs go on in order.
    TimeKey m_hour = -1;
    std::int64_t m_offsetSeconds = 0;
};

}  // namespace kivlog

#endif  // KIVLOGGING_TOOLS_KIVLOG_UTCCONVERSION_H
