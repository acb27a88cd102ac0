// The bytes that a log writes for one call, composed in full before they are
// written so that each call reaches its destination in one piece.
#ifndef KIVLOGGING_LOGS_MESSAGETEXT_H
#define KIVLOGGING_LOGS_MESSAGETEXT_H

#include <cstddef>
#include <string>
#include <string_view>

#include "core/MessageBuffer.h"
#include "core/TextHelpers.h"

namespace ORVA::KIV::System::Utility::Logging {

// Where, in a composed text, the bytes that the caller gave stand: a
// method, a marking, a message.
struct CallerBytes {
    size_t begin = 0;
    size_t end = 0;
    // The caller's bytes begin a record of their own (raw text): their first
    // line must read as the start of a raw record, never as the rest of the
    // record before it.
    bool beginRecord = false;
};

// Appends the message line: a line end, "(U) ", the level name, the time
// stamp, the method (or "unknown method") and ":", a line end, the marking
// (null counts as empty), the message and two line ends.
CallerBytes AppendMessageLine(MessageBuffer& out, const char* method, const char* message,
                              int levelCode, const char* marking);

// Appends a line end, the marking (null counts as empty), the message and
// trailingLineEnds line ends.
CallerBytes AppendRawText(MessageBuffer& out, const char* message, const char* marking,
                          int trailingLineEnds);

// Hands the composed text to write(std::string_view) in one piece. A line
// of the caller's bytes that a reader would take for the start of another
// record (a head line or the banner's title) gets one blank before it, so a
// text can never forge a record; readers take a line of that shape behind
// one blank as part of the record it stands in. The first line with text of
// raw text, which begins a record, is made to stand behind two blanks
// instead, so that it stays a raw record of its own. Every other text is
// written unchanged.
template <typename Write>
void WriteComposed(Write write, const MessageBuffer& text, CallerBytes caller);

// Composes the message line and writes it with WriteComposed. Running out
// of memory while composing drops the message.
template <typename Write>
void WriteMessageLine(Write write, const char* method, const char* message, int levelCode,
                      const char* marking) noexcept {
    try {
        MessageBuffer text;
        const CallerBytes caller = AppendMessageLine(text, method, message, levelCode, marking);
        WriteComposed(write, text, caller);
    } catch (...) {
    }
}

// The same for a raw text.
template <typename Write>
void WriteRawText(Write write, const char* message, const char* marking,
                  int trailingLineEnds) noexcept {
    try {
        MessageBuffer text;
        const CallerBytes caller = AppendRawText(text, message, marking, trailingLineEnds);
        WriteComposed(write, text, caller);
    } catch (...) {
    }
}

// Whether some line of the caller's bytes needs a blank before it.
bool HasRecordLookalike(std::string_view text, CallerBytes caller);

// Appends text with a blank before each line of the caller's bytes that
// needs one.
void AppendDisarmed(MessageBuffer& out, std::string_view text, CallerBytes caller);

template <typename Write>
void WriteComposed(Write write, const MessageBuffer& text, CallerBytes caller) {
    const std::string_view composed = text.View();
    if (!HasRecordLookalike(composed, caller)) {
        write(composed);
        return;
    }
    MessageBuffer disarmed;
    AppendDisarmed(disarmed, composed, caller);
    write(disarmed.View());
}

}  // namespace ORVA::KIV::System::Utility::Logging

#endif  // KIVLOGGING_LOGS_MESSAGETEXT_H
