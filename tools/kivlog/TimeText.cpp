#include "TimeText.h"

#include <cstdio>

namespace kivlog {
namespace {

// Reads exactly `digits` decimal digits at text[at]; false otherwise.
bool ReadNumber(std::string_view text, size_t at, size_t digits, int* value) {
    if (at + digits > text.size()) return false;
    *value = 0;
    for (size_t i = at; i < at + digits; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        *value = *value * 10 + (text[i] - '0');
    }
    return true;
}

// Days since 1970-01-01 of a proleptic Gregorian date.
std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// Reads "N" and a unit (s, m, h, d) as that long before now. Bounded, so
// that the arithmetic cannot overflow: at most 9 digits.
bool ParseRelativeTime(std::string_view text, TimeKey now, TimeKey* time) {
    if (text.size() < 2 || text.size() > 10) return false;
    std::int64_t unit = 0;
    switch (text.back()) {
        case 's': unit = 1; break;
        case 'm': unit = 60; break;
        case 'h': unit = 3600; break;
        case 'd': unit = 86400; break;
        default: return false;
    }
    std::int64_t count = 0;
    for (const char c : text.substr(0, text.size() - 1)) {
        if (c < '0' || c > '9') return false;
        count = count * 10 + (c - '0');
    }
    *time = TimeOfSeconds(SecondsOf(now) - count * unit);
    return true;
}

}  // namespace

bool ParseTimeArgument(std::string_view text, bool endOfPeriod, TimeKey now, TimeKey* time) {
    constexpr TimeKey kDay = 1000000;
    const TimeKey lastSecond = endOfPeriod ? 235959 : 0;
    if (text == "now") {
        *time = now;
        return true;
    }
    if (text == "today" || text == "yesterday") {
        const std::int64_t midnight = SecondsOf(now / kDay * kDay) - (text == "yesterday" ? 86400 : 0);
        *time = TimeOfSeconds(midnight) + lastSecond;
        return true;
    }
    if (!text.empty() && text[0] == '-') return ParseRelativeTime(text.substr(1), now, time);

    int year, month, day;
    if (!ReadNumber(text, 0, 4, &year) || text.size() < 10 || (text[4] != '-' && text[4] != '/') ||
        text[7] != text[4] || !ReadNumber(text, 5, 2, &month) || !ReadNumber(text, 8, 2, &day) ||
        month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) {
        return false;
    }
    int hour = endOfPeriod ? 23 : 0;
    int minute = endOfPeriod ? 59 : 0;
    int second = endOfPeriod ? 59 : 0;
    if (text.size() > 10) {
        if ((text[10] != 'T' && text[10] != ' ') || !ReadNumber(text, 11, 2, &hour) ||
            text.size() < 16 || text[13] != ':' || !ReadNumber(text, 14, 2, &minute)) {
            return false;
        }
        if (text.size() > 16 && (text.size() != 19 || text[16] != ':' || !ReadNumber(text, 17, 2, &second))) {
            return false;
        }
        if (text.size() == 16) second = endOfPeriod ? 59 : 0;
    }
    if (hour > 23 || minute > 59 || second > 59) return false;
    *time = ((((static_cast<TimeKey>(year) * 100 + month) * 100 + day) * 100 + hour) * 100 + minute) * 100 +
            second;
    return true;
}

void AppendIsoTime(std::string& out, TimeKey time) {
    constexpr TimeKey kYear = 10000000000;
    if (time < 0 || time >= 10000 * kYear) {
        // Only a histogram interval reaches past the years a stamp holds:
        // the year with its sign, as ISO 8601 extends it.
        const TimeKey year = time / kYear - (time % kYear < 0 ? 1 : 0);
        const TimeKey rest = time - year * kYear;
        char text[48];
        std::snprintf(text, sizeof text, "%+05lld-%02d-%02dT%02d:%02d:%02d", static_cast<long long>(year),
                      static_cast<int>(rest / 100000000), static_cast<int>(rest / 1000000 % 100),
                      static_cast<int>(rest / 10000 % 100), static_cast<int>(rest / 100 % 100),
                      static_cast<int>(rest % 100));
        out += text;
        return;
    }
    // Field by field, so that the divisions do not wait for each other:
    // this runs once per record of --json.
    const auto date = static_cast<std::uint64_t>(time) / 1000000;
    const auto clock = static_cast<unsigned>(static_cast<std::uint64_t>(time) % 1000000);
    const auto year = static_cast<unsigned>(date / 10000);
    const auto monthDay = static_cast<unsigned>(date % 10000);
    char text[] = "0000-00-00T00:00:00";
    const auto two = [&text](size_t at, unsigned value) {
        text[at] = static_cast<char>('0' + value / 10);
        text[at + 1] = static_cast<char>('0' + value % 10);
    };
    two(0, year / 100);
    two(2, year % 100);
    two(5, monthDay / 100);
    two(8, monthDay % 100);
    two(11, clock / 10000);
    two(14, clock / 100 % 100);
    two(17, clock % 100);
    out.append(text, sizeof text - 1);
}

std::string IsoTime(TimeKey time) {
    std::string text;
    AppendIsoTime(text, time);
    return text;
}

TimeKey TimeOfCalendar(const std::tm& calendar) {
    return ((((calendar.tm_year + TimeKey{1900}) * 100 + calendar.tm_mon + 1) * 100 + calendar.tm_mday) * 100 +
            calendar.tm_hour) * 10000 +
           calendar.tm_min * 100 + calendar.tm_sec;
}

std::int64_t SecondsOf(TimeKey time) {
    const std::int64_t days = DaysFromCivil(time / 10000000000, static_cast<unsigned>(time / 100000000 % 100),
                                            static_cast<unsigned>(time / 1000000 % 100));
    return days * 86400 + time / 10000 % 100 * 3600 + time / 100 % 100 * 60 + time % 100;
}

TimeKey TimeOfSeconds(std::int64_t seconds) {
    // The inverse of DaysFromCivil.
    std::int64_t days = seconds / 86400;
    std::int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned shifted = (5 * dayOfYear + 2) / 153;
    const unsigned day = dayOfYear - (153 * shifted + 2) / 5 + 1;
    const unsigned month = shifted < 10 ? shifted + 3 : shifted - 9;
    const std::int64_t year = static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2);
    return ((((year * 100 + month) * 100 + day) * 100 + rest / 3600) * 100 + rest / 60 % 60) * 100 + rest % 60;
}

}  // namespace kivlog
