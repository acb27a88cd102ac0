// The bytes that a log writes for one call, composed in full before they are
// written so that each call reaches its destination in one piece.
#ifndef KIVLOGGING_LOGS_MESSAGETEXT_H
#define KIVLOGGING_LOGS_MESSAGETEXT_H

#include <string>

namespace ORVA::KIV::System::Utility::Logging {

// Whether a message text is written by the message line forms: not null
// and not empty.
bool IsLoggableMessage(const char* message);

// A per-thread buffer for composing, emptied and keeping its capacity, so
// that composing allocates nothing once it has grown.
std::string& ClearedMessageBuffer();

// Appends the message line: a line end, "(U) ", the level name, the time
// stamp, the method (or "unknown method") and ":", a line end, the marking
// (null counts as empty), the message and two line ends.
void AppendMessageLine(std::string& out, const char* method, const char* message,
                       int levelCode, const char* marking);

// Appends a line end, the marking (null counts as empty), the message and
// trailingLineEnds line ends.
void AppendRawText(std::string& out, const char* message, const char* marking,
                   int trailingLineEnds);

// Composes the message line in the thread's buffer and hands it to
// write(const std::string&) in one piece. Running out of memory while
// composing drops the message.
template <typename Write>
void WriteMessageLine(Write write, const char* method, const char* message, int levelCode,
                      const char* marking) noexcept {
    try {
        std::string& text = ClearedMessageBuffer();
        AppendMessageLine(text, method, message, levelCode, marking);
        write(text);
    } catch (...) {
    }
}

// The same for a raw text.
template <typename Write>
void WriteRawText(Write write, const char* message, const char* marking,
                  int trailingLineEnds) noexcept {
    try {
        std::string& text = ClearedMessageBuffer();
        AppendRawText(text, message, marking, trailingLineEnds);
        write(text);
    } catch (...) {
    }
}

}  // namespace ORVA::KIV::System::Utility::Logging

#endif  // KIVLOGGING_LOGS_MESSAGETEXT_H
