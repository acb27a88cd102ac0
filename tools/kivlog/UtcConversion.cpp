#include "UtcConversion.h"

#include <ctime>

#include "TimeText.h"

namespace kivlog {

TimeKey UtcConversion::ToUtc(TimeKey local) {
    const TimeKey hour = local / 10000;
    if (hour != m_hour) {
        m_hour = hour;
        std::tm calendar{};
        calendar.tm_year = static_cast<int>(hour / 1000000 - 1900);
        calendar.tm_mon = static_cast<int>(hour / 10000 % 100) - 1;
        calendar.tm_mday = static_cast<int>(hour / 100 % 100);
        calendar.tm_hour = static_cast<int>(hour % 100);
        calendar.tm_isdst = -1;
        const std::time_t utc = std::mktime(&calendar);
        m_offsetSeconds = utc == static_cast<std::time_t>(-1) ? 0 : SecondsOf(hour * 10000) - utc;
    }
    return TimeOfSeconds(SecondsOf(local) - m_offsetSeconds);
}

}  // namespace kivlog
