#include "Grammar.h"

#include <cstdint>
#include <cstring>

namespace kivlog {
namespace {

// A head line longer than this is read as raw text, so that deciding where a
// record ends never needs more than this much look-ahead.
constexpr size_t kLongestHeadLine = 65536;
constexpr std::string_view kDefaultMarking = "(U) ";
constexpr std::string_view kStars =
    "*************************************************** PLAIN-TEXT LOGGER "
    "***************************************************";
constexpr std::string_view kDateLabel = "DATE: [";
constexpr size_t kStampLength = 19;  // "YYYY/MM/DD hh:mm:ss"
// The longest marking read from the start of a body, parentheses included.
constexpr size_t kLongestMarking = 32;

constexpr std::string_view kLevelNames[kLevelCount] = {"DEBUG", "INFO", "WARN", "ERROR", "FATAL"};

struct Head {
    Level level = Level::kDebug;
    TimeKey time = 0;
    std::string_view method;
};

// The level whose name starts text, by its first letter; false for none.
bool ReadLevel(std::string_view text, Level* level) {
    if (text.empty()) return false;
    switch (text[0]) {
        case 'D': *level = Level::kDebug; break;
        case 'I': *level = Level::kInfo; break;
        case 'W': *level = Level::kWarn; break;
        case 'E': *level = Level::kError; break;
        case 'F': *level = Level::kFatal; break;
        default: return false;
    }
    const std::string_view name = kLevelNames[static_cast<size_t>(*level)];
    if (text.size() < name.size()) return false;
    // Byte by byte: a call to memcmp costs more for five bytes.
    for (size_t i = 1; i < name.size(); ++i) {
        if (text[i] != name[i]) return false;
    }
    return true;
}

// Reads the start of a head line, "(U) ", a level name and " [", and leaves
// text at what follows (the stamp). Byte by byte: this runs once per record.
bool ReadHeadStart(std::string_view& text, Level* level) {
    if (text.size() < kDefaultMarking.size() || text[0] != '(' || text[1] != 'U' || text[2] != ')' ||
        text[3] != ' ') {
        return false;
    }
    text.remove_prefix(kDefaultMarking.size());
    if (!ReadLevel(text, level)) return false;
    const size_t nameLength = kLevelNames[static_cast<size_t>(*level)].size();
    if (text.size() < nameLength + 2 || text[nameLength] != ' ' || text[nameLength + 1] != '[') return false;
    text.remove_prefix(nameLength + 2);
    return true;
}

// Parses a head line without its line end.
bool ParseHead(std::string_view line, Head* head) {
    if (!ReadHeadStart(line, &head->level) || line.size() < kStampLength + 3) return false;
    if (!ParseStamp(line, &head->time) || std::memcmp(line.data() + kStampLength, "] ", 2) != 0 ||
        line.back() != ':') {
        return false;
    }
    head->method = line.substr(kStampLength + 2, line.size() - kStampLength - 3);
    return true;
}

enum class HeadCheck { kHead, kNoHead, kNeedMore };

// Whether a whole head line, or the banner's first line, starts at text.
HeadCheck CheckHeadLine(std::string_view text, bool atEnd) {
    const size_t window = text.size() < kLongestHeadLine ? text.size() : kLongestHeadLine;
    const void* found = std::memchr(text.data(), '\n', window);
    if (found == nullptr) {
        return !atEnd && text.size() < kLongestHeadLine ? HeadCheck::kNeedMore : HeadCheck::kNoHead;
    }
    size_t length = static_cast<size_t>(static_cast<const char*>(found) - text.data());
    if (length > 0 && text[length - 1] == '\r') --length;
    Head head;
    const std::string_view line = text.substr(0, length);
    return line == kStars || ParseHead(line, &head) ? HeadCheck::kHead : HeadCheck::kNoHead;
}

// The length of the line end that ends text: 0, 1 or 2. style: the
// record's own line end ("\n" or "\r\n"), which its closing line ends
// share, so that a text that ends in CR keeps it; empty for either.
size_t TrailingLineEndLength(std::string_view text, std::string_view style) {
    if (text.empty() || text.back() != '\n') return 0;
    const bool crlf = text.size() >= 2 && text[text.size() - 2] == '\r';
    if (style.empty()) return crlf ? 2 : 1;
    return style.size() == 1 || crlf ? style.size() : 0;
}

// The marking at the start of a body: "(", up to kLongestMarking characters
// other than parentheses, blanks and line ends, ") ".
std::string_view MarkingOf(std::string_view body) {
    if (body.empty() || body[0] != '(') return {};
    const size_t limit = body.size() < kLongestMarking ? body.size() : kLongestMarking;
    for (size_t i = 1; i + 1 < limit; ++i) {
        const char c = body[i];
        if (c == ')') return i > 1 && body[i + 1] == ' ' ? body.substr(0, i + 2) : std::string_view();
        if (c == '(' || c == ' ' || c == '\t' || c == '\r' || c == '\n') return {};
    }
    return {};
}

}  // namespace

const char* LevelName(Level level) {
    const auto index = static_cast<size_t>(level);
    return index < kLevelCount ? kLevelNames[index].data() : nullptr;
}

size_t LineEndLength(std::string_view text) {
    if (!text.empty() && text[0] == '\n') return 1;
    return text.size() >= 2 && text[0] == '\r' && text[1] == '\n' ? 2 : 0;
}

bool ParseStamp(std::string_view text, TimeKey* time) {
    // Unrolled: this runs once per message.
    if (text.size() < kStampLength || text[4] != '/' || text[7] != '/' || text[10] != ' ' || text[13] != ':' ||
        text[16] != ':') {
        return false;
    }
    // Each field on its own, so that the digits do not wait for each other.
    // Unsigned, so that a non-digit only wraps until it is refused below.
    unsigned notDigit = 0;
    const auto digits = [&](size_t at, size_t count) {
        std::uint64_t value = 0;
        for (size_t i = at; i < at + count; ++i) {
            const unsigned digit = static_cast<unsigned char>(text[i]) - unsigned{'0'};
            notDigit |= digit > 9 ? 1u : 0u;
            value = value * 10 + digit;
        }
        return value;
    };
    const std::uint64_t date = digits(0, 4) * 10000 + digits(5, 2) * 100 + digits(8, 2);
    const std::uint64_t clock = digits(11, 2) * 10000 + digits(14, 2) * 100 + digits(17, 2);
    if (notDigit != 0) return false;
    *time = static_cast<TimeKey>(date * 1000000 + clock);
    return true;
}

ScanResult FindRecordEnd(std::string_view data, size_t recordStart, bool atEnd,
                         ScanCursor& cursor, size_t* boundary) {
    const char* bytes = data.data();
    const size_t size = data.size();
    size_t position = cursor.position;
    // A record's own leading line feed followed by text decides nothing:
    // stepping over it saves a search per record.
    if (position == recordStart && position + 1 < size && bytes[position] == '\n' && bytes[position + 1] != '\n' &&
        bytes[position + 1] != '\r') {
        cursor.position = ++position;
        ++cursor.lineFeeds;
    }
    for (;;) {
        const void* found = std::memchr(bytes + position, '\n', size - position);
        if (found == nullptr) {
            // A CR at the very end may yet become a line end.
            cursor.position = !atEnd && size > position && bytes[size - 1] == '\r' ? size - 1 : size;
            return atEnd ? ScanResult::kEnd : ScanResult::kNeedMore;
        }
        const size_t feed = static_cast<size_t>(static_cast<const char*>(found) - bytes);
        const size_t runStart = feed > recordStart && bytes[feed - 1] == '\r' ? feed - 1 : feed;
        // The run of line ends: how many, where the last one starts, where
        // the run ends.
        size_t count = 1;
        size_t last = runStart;
        size_t end = feed + 1;
        for (;;) {
            if (end < size && bytes[end] == '\n') {
                last = end++;
            } else if (end + 1 < size && bytes[end] == '\r' && bytes[end + 1] == '\n') {
                last = end;
                end += 2;
            } else {
                break;
            }
            ++count;
        }
        const bool runMayGoOn = end == size || (bytes[end] == '\r' && end + 1 == size);
        if (runMayGoOn && !atEnd) {
            cursor.position = runStart;
            return ScanResult::kNeedMore;
        }
        if (end == size) {
            cursor.position = size;
            cursor.lineFeeds += count;
            return ScanResult::kEnd;
        }
        // After two line ends only a head line starts a record. After more,
        // any text does, but for a head line or banner title behind one
        // blank: the library writes a text's record-shaped line so, and it
        // stays in its record.
        const bool blankLed = count >= 3 && bytes[end] == ' ';
        bool startsRecord = count >= 3 && !blankLed;
        if (count == 2 || blankLed) {
            const HeadCheck head = CheckHeadLine(data.substr(end + (blankLed ? 1 : 0)), atEnd);
            if (head == HeadCheck::kNeedMore) {
                cursor.position = runStart;
                return ScanResult::kNeedMore;
            }
            startsRecord = (head == HeadCheck::kHead) != blankLed;
        }
        if (startsRecord) {
            cursor.position = last;
            cursor.lineFeeds += count - 1;
            *boundary = last;
            return ScanResult::kBoundary;
        }
        cursor.lineFeeds += count;
        position = end;
    }
}

bool StartsBelowLevel(std::string_view record, Level minimum, std::optional<TimeKey>* time) {
    record.remove_prefix(LineEndLength(record));
    Level level = Level::kDebug;
    std::string_view afterStart = record;
    if (!ReadHeadStart(afterStart, &level) || level >= minimum) return false;
    if (time != nullptr) {
        // Only a whole head line, followed by a line end, gives the record
        // a time: anything else is raw text, which has none of its own.
        *time = std::nullopt;
        const size_t lineEnd = record.find('\n');
        std::string_view firstLine = record.substr(0, lineEnd);
        if (!firstLine.empty() && firstLine.back() == '\r') firstLine.remove_suffix(1);
        Head head;
        if (lineEnd != std::string_view::npos && ParseHead(firstLine, &head)) *time = head.time;
    }
    return true;
}

void DescribeRecord(Record& record, bool inFileLog) {
    std::string_view rest = record.bytes;
    const std::string_view style = rest.substr(0, LineEndLength(rest));
    rest.remove_prefix(style.size());
    // The closing line ends: two for a whole record.
    std::string_view content = rest;
    int closing = 0;
    for (size_t length; closing < 2 && (length = TrailingLineEndLength(content, style)) > 0; ++closing) {
        content.remove_suffix(length);
    }

    const void* feed = std::memchr(rest.data(), '\n', rest.size());
    const size_t firstLineEnd =
        feed == nullptr ? rest.size() : static_cast<size_t>(static_cast<const char*>(feed) - rest.data());
    std::string_view firstLine = rest.substr(0, firstLineEnd);
    if (!firstLine.empty() && firstLine.back() == '\r') firstLine.remove_suffix(1);

    Head head;
    record.method = record.marking = record.text = record.body = {};
    if (firstLine == kStars) {
        record.kind = RecordKind::kBanner;
        const size_t date = rest.find(kDateLabel);
        if (date != std::string_view::npos) ParseStamp(rest.substr(date + kDateLabel.size()), &record.time);
        record.torn = closing < 2;
        return;
    }
    if (feed != nullptr && ParseHead(firstLine, &head)) {
        record.kind = RecordKind::kMessage;
        record.time = head.time;
        record.level = head.level;
        record.method = head.method;
        const size_t bodyStart = firstLineEnd + 1;
        record.body = bodyStart <= content.size() ? content.substr(bodyStart) : std::string_view();
        record.torn = closing < 2 || bodyStart > content.size();
    } else {
        record.kind = RecordKind::kRaw;
        record.body = content;
        record.torn = closing == 0 || (closing == 1 && inFileLog);
    }
    record.marking = MarkingOf(record.body);
    record.text = record.body.substr(record.marking.size());
}

}  // namespace kivlog
