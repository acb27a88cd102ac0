// The grammar of what the file log and the console log write, read back.
//
// A log is a sequence of line ends ("\n" or "\r\n") and text. Records start
// at a line end and run up to the start of the next record:
//   - after a run of three or more line ends followed by text, the next
//     record starts at the run's last line end (a record ends in two line
//     ends and the next starts with one), unless the text is a head line or
//     the banner's first line behind one blank: the library disarms a
//     text's record-shaped line so, and it belongs to its record;
//   - after a run of exactly two line ends followed by a head line or the
//     banner's first line, the next record starts at the second one (a
//     fragment of a failed write, closed by the library with one extra line
//     end, or console raw text);
//   - the last record runs to the end of the input.
// A record whose first line (after its line end) is a head line
// "(U) LEVEL [YYYY/MM/DD hh:mm:ss] method:" is a message; one whose first
// line is the banner's row of stars is a banner; anything else is raw text.
// A line that starts with a blank is never a head line: the library writes
// a message line shaped like one, after empty lines, with a leading blank.
// A record's closing line ends are of its leading line end's kind, so that
// a text ending in CR keeps it.
#ifndef KIVLOGGING_TOOLS_KIVLOG_GRAMMAR_H
#define KIVLOGGING_TOOLS_KIVLOG_GRAMMAR_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "Record.h"

namespace kivlog {

// Where the search for the end of a record stands: the next byte to look at
// and how many line feeds come before it in the whole input.
struct ScanCursor {
    size_t position = 0;
    std::uint64_t lineFeeds = 0;
};

enum class ScanResult {
    // The next record starts at *boundary.
    kBoundary,
    // The record runs to the end of the data (only when atEnd).
    kEnd,
    // More data is needed to decide; the cursor keeps what is decided.
    kNeedMore,
};

// Looks in data, from cursor.position on, for the start of the record after
// the one that starts at recordStart. atEnd: no more data will follow.
ScanResult FindRecordEnd(std::string_view data, size_t recordStart, bool atEnd,
                         ScanCursor& cursor, size_t* boundary);

// Whether the record (from its leading line end) starts like a head line of
// a level below minimum: "(U) ", the level's name and " [". Such a record
// fails a filter of minimum level whether it is a message or raw text, so it
// can be passed over without being described. With time not null, *time is
// the time of its head line, when it is a message (raw text has none).
bool StartsBelowLevel(std::string_view record, Level minimum, std::optional<TimeKey>* time);

// Fills kind, the fields and torn from record.bytes. inFileLog: the input
// began with a banner, so raw text ends in two line ends, not one.
void DescribeRecord(Record& record, bool inFileLog);

// The length of the line end at the start of text: 0, 1 ("\n") or 2.
size_t LineEndLength(std::string_view text);

// Parses "YYYY/MM/DD hh:mm:ss" at the start of text; false when it is not.
bool ParseStamp(std::string_view text, TimeKey* time);

}  // namespace kivlog

#endif  // KIVLOGGING_TOOLS_KIVLOG_GRAMMAR_H
