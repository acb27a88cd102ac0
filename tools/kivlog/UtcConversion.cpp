#include "UtcConversion.h"

#include <ctime>

#include "TimeText.h"

namespace kivlog {
namespace {

std::tm CalendarOf(TimeKey time) {
    std::tm calendar{};
    calendar.tm_year = static_cast<int>(time / 10000000000 - 1900);
    calendar.tm_mon = static_cast<int>(time / 100000000 % 100) - 1;
    calendar.tm_mday = static_cast<int>(time / 1000000 % 100);
    calendar.tm_hour = static_cast<int>(time / 10000 % 100);
    calendar.tm_min = static_cast<int>(time / 100 % 100);
    calendar.tm_sec = static_cast<int>(time % 100);
    calendar.tm_isdst = -1;
    return calendar;
}

// mktime moves a time in a gap out of it: the fields it gives back differ
// from those asked.
bool Shown(const std::tm& asked, std::time_t* utc) {
    std::tm calendar = asked;
    *utc = std::mktime(&calendar);
    return calendar.tm_year == asked.tm_year && calendar.tm_mon == asked.tm_mon &&
           calendar.tm_mday == asked.tm_mday && calendar.tm_hour == asked.tm_hour &&
           calendar.tm_min == asked.tm_min && calendar.tm_sec == asked.tm_sec;
}

constexpr std::time_t kFailed = static_cast<std::time_t>(-1);

}  // namespace

void UtcConversion::LearnHour(TimeKey hour) {
    if (hour == m_hour) return;
    m_hour = hour;
    std::time_t utc = kFailed;
    const bool shown = Shown(CalendarOf(hour * 10000), &utc);
    m_offsetSeconds = utc == kFailed ? 0 : SecondsOf(hour * 10000) - utc;
    m_startSkipped = utc != kFailed && !shown;
}

bool UtcConversion::Exists(TimeKey local) {
    LearnHour(local / 10000);
    if (!m_startSkipped) return true;
    std::time_t utc = kFailed;
    return Shown(CalendarOf(local), &utc) || utc == kFailed;
}

TimeKey UtcConversion::ToUtc(TimeKey local) {
    LearnHour(local / 10000);
    if (m_startSkipped) {
        std::time_t utc = kFailed;
        Shown(CalendarOf(local), &utc);
        if (utc != kFailed) return TimeOfSeconds(utc);
    }
    return TimeOfSeconds(SecondsOf(local) - m_offsetSeconds);
}

}  // namespace kivlog
