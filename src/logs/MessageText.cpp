#include "logs/MessageText.h"

#include <logging/MsgLog.h>

#include <cstring>

#include "core/DateTime.h"
#include "core/MsgLevel.h"
#include "core/TextHelpers.h"
#include "logs/RecordLookalike.h"

namespace ORVA::KIV::System::Utility::Logging {

CallerBytes AppendMessageLine(MessageBuffer& out, const char* method, const char* message,
                              int levelCode, const char* marking) {
    out.Append('\n');
    out.Append(IMsgLog::STR_SC_DEFAULT);
    out.Append(MsgLevelName(levelCode));
    out.Append(CurrentDateTimeStamp());
    CallerBytes caller;
    caller.begin = out.View().size();
    out.Append(IsNonEmpty(method) ? method : "unknown method");
    out.Append(":\n");
    out.Append(ViewOf(marking));
    out.Append(ViewOf(message));
    caller.end = out.View().size();
    out.Append("\n\n");
    return caller;
}

CallerBytes AppendRawText(MessageBuffer& out, const char* message, const char* marking,
                          int trailingLineEnds) {
    out.Append('\n');
    CallerBytes caller;
    caller.begin = out.View().size();
    caller.beginRecord = true;
    out.Append(ViewOf(marking));
    out.Append(ViewOf(message));
    caller.end = out.View().size();
    for (int i = 0; i < trailingLineEnds; ++i) out.Append('\n');
    return caller;
}

namespace {

// The next line start within the caller's bytes at or after from, or end.
// A line starts after a line feed, even one of the library's own that
// stands just before the caller's bytes.
size_t NextLineStart(std::string_view text, size_t from, CallerBytes caller) {
    for (size_t at = from; at < caller.end; ++at) {
        if (at > 0 && text[at - 1] == '\n') return at;
        const void* feed = std::memchr(text.data() + at, '\n', caller.end - at);
        if (feed == nullptr) return caller.end;
        at = static_cast<size_t>(static_cast<const char*>(feed) - text.data());
    }
    return caller.end;
}

// Where the line that decides how raw text reads stands: its first line
// with text, after any line ends it begins with; npos for other bytes.
size_t RecordStartLine(std::string_view text, CallerBytes caller) {
    if (!caller.beginRecord) return std::string_view::npos;
    size_t at = caller.begin;
    for (;;) {
        if (at < caller.end && text[at] == '\n') {
            ++at;
        } else if (at + 1 < caller.end && text[at] == '\r' && text[at + 1] == '\n') {
            at += 2;
        } else {
            return at;
        }
    }
}

// How many blanks go before the line at text[at].
size_t BlanksNeeded(std::string_view text, size_t at, size_t recordStart) {
    const std::string_view line = text.substr(at);
    if (at != recordStart) return IsRecordLookalike(line) ? 1 : 0;
    if (IsRecordLookalike(line)) return 2;
    return !line.empty() && line[0] == ' ' && IsRecordLookalike(line.substr(1)) ? 1 : 0;
}

}  // namespace

bool HasRecordLookalike(std::string_view text, CallerBytes caller) {
    const size_t recordStart = RecordStartLine(text, caller);
    for (size_t at = NextLineStart(text, caller.begin, caller); at < caller.end;
         at = NextLineStart(text, at + 1, caller)) {
        if (BlanksNeeded(text, at, recordStart) > 0) return true;
    }
    return false;
}

void AppendDisarmed(MessageBuffer& out, std::string_view text, CallerBytes caller) {
    const size_t recordStart = RecordStartLine(text, caller);
    size_t copied = 0;
    for (size_t at = NextLineStart(text, caller.begin, caller); at < caller.end;
         at = NextLineStart(text, at + 1, caller)) {
        const size_t blanks = BlanksNeeded(text, at, recordStart);
        if (blanks == 0) continue;
        out.Append(text.substr(copied, at - copied));
        out.Append(std::string_view("  ", blanks));
        copied = at;
    }
    out.Append(text.substr(copied));
}

}  // namespace ORVA::KIV::System::Utility::Logging
