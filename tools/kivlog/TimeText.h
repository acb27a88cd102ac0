// Time stamps as the tool reads and writes them. Times are local times as
// written in the log; no time zone is applied anywhere.
#ifndef KIVLOGGING_TOOLS_KIVLOG_TIMETEXT_H
#define KIVLOGGING_TOOLS_KIVLOG_TIMETEXT_H

#include <cstdint>
#include <string>
#include <string_view>

#include "Record.h"

namespace kivlog {

// Reads "YYYY-MM-DD" (or with '/'), optionally followed by 'T' or a blank
// and "hh:mm" or "hh:mm:ss". What is left out counts as the start of the
// period, or its end when endOfPeriod (for --until). False when malformed.
bool ParseTimeArgument(std::string_view text, bool endOfPeriod, TimeKey* time);

// "YYYY-MM-DDThh:mm:ss" (ISO 8601 without a zone).
std::string IsoTime(TimeKey time);
void AppendIsoTime(std::string& out, TimeKey time);

// Seconds since 1970-01-01 00:00:00 of the same calendar, and back.
std::int64_t SecondsOf(TimeKey time);
TimeKey TimeOfSeconds(std::int64_t seconds);

}  // namespace kivlog

#endif  // KIVLOGGING_TOOLS_KIVLOG_TIMETEXT_H
