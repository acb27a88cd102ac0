// Time stamps as the tool reads and writes them. Times are local times as
// written in the log; no time zone is applied anywhere.
#ifndef KIVLOGGING_TOOLS_KIVLOG_TIMETEXT_H
#define KIVLOGGING_TOOLS_KIVLOG_TIMETEXT_H

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

#include "Record.h"

namespace kivlog {

// Reads a time of --since or --until: "YYYY-MM-DD" (or with '/'),
// optionally followed by 'T' or a blank and "hh:mm" or "hh:mm:ss"; "now",
// "today" and "yesterday"; or a time relative to now, "-N" with the unit
// s, m, h or d. What is left out counts as the start of the period, or its
// end when endOfPeriod (for --until). now is the local time. False when
// malformed or not a time of the calendar.
bool ParseTimeArgument(std::string_view text, bool endOfPeriod, TimeKey now, TimeKey* time);

// "YYYY-MM-DDThh:mm:ss" (ISO 8601 without a zone).
std::string IsoTime(TimeKey time);
void AppendIsoTime(std::string& out, TimeKey time);

// The time of a calendar time of the C library.
TimeKey TimeOfCalendar(const std::tm& calendar);

// Seconds since 1970-01-01 00:00:00 of the same calendar, and back.
std::int64_t SecondsOf(TimeKey time);
TimeKey TimeOfSeconds(std::int64_t seconds);

}  // namespace kivlog

#endif  // KIVLOGGING_TOOLS_KIVLOG_TIMETEXT_H
