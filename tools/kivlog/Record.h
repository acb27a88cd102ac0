// One record of a log: the banner of a log file, a message, or raw text.
// A record is a view into its reader's buffer: valid until the reader moves
// on to the next record.
#ifndef KIVLOGGING_TOOLS_KIVLOG_RECORD_H
#define KIVLOGGING_TOOLS_KIVLOG_RECORD_H

#include <cstdint>
#include <string_view>

namespace kivlog {

enum class RecordKind { kBanner, kMessage, kRaw };

// In rising severity, the order of --level.
enum class Level { kDebug, kInfo, kWarn, kError, kFatal };
inline constexpr int kLevelCount = 5;

// The names the library writes; nullptr for an invalid value.
const char* LevelName(Level level);

// A time stamp "YYYY/MM/DD hh:mm:ss" as the number YYYYMMDDhhmmss, which
// orders like the time; 0 for "no time yet".
using TimeKey = std::int64_t;

struct Record {
    RecordKind kind = RecordKind::kRaw;
    // Every byte of the record as read, line ends included.
    std::string_view bytes;
    // A message's own time, the banner's DATE, or for raw text the time of
    // the record before it in the same input (0 when there is none).
    TimeKey time = 0;
    Level level = Level::kDebug;
    std::string_view method;
    // The marking at the start of the body, such as "(U) "; empty when the
    // body starts with none. body == marking + text.
    std::string_view marking;
    std::string_view text;
    std::string_view body;
    // Which input the record came from, and the line where it starts (its
    // head line, or the first line of raw text).
    int input = 0;
    std::uint64_t line = 1;
    // Not whole: a message without its closing empty line, a fragment of a
    // failed write, or a piece of an over-long record.
    bool torn = false;
    // A piece of an over-long record whose rest follows in the next piece.
    bool continues = false;
    // A piece after the first of an over-long record.
    bool isLaterPiece = false;
};

}  // namespace kivlog

#endif  // KIVLOGGING_TOOLS_KIVLOG_RECORD_H
