// The bytes that a log writes for one call, composed in full before they are
// written so that each call reaches its destination in one piece.
#ifndef KIVLOGGING_LOGS_MESSAGETEXT_H
#define KIVLOGGING_LOGS_MESSAGETEXT_H

#include <cstddef>
#include <string>
#include <string_view>

namespace ORVA::KIV::System::Utility::Logging {

// Whether a text is neither null nor empty: the test for message texts and
// method names alike.
bool IsNonEmpty(const char* text);

// A message under composition. It lives on the caller's stack, so composing
// needs no per-thread state and works at every point of a thread's life
// (static initialisation and destruction, thread exit); only a message
// longer than kInlineCapacity allocates, and frees that memory when done.
class MessageBuffer {
public:
    static constexpr size_t kInlineCapacity = 2048;

    MessageBuffer() = default;
    MessageBuffer(const MessageBuffer&) = delete;
    MessageBuffer& operator=(const MessageBuffer&) = delete;

    // Throws std::bad_alloc only when a long message cannot get memory.
    void Append(std::string_view piece);
    void Append(char c);
    std::string_view View() const noexcept;

private:
    char m_inline[kInlineCapacity];
    size_t m_inlineSize = 0;
    // Holds the whole message once it outgrows the inline storage.
    std::string m_spilled;
    bool m_isSpilled = false;
};

// Appends the message line: a line end, "(U) ", the level name, the time
// stamp, the method (or "unknown method") and ":", a line end, the marking
// (null counts as empty), the message and two line ends.
void AppendMessageLine(MessageBuffer& out, const char* method, const char* message,
                       int levelCode, const char* marking);

// Appends a line end, the marking (null counts as empty), the message and
// trailingLineEnds line ends.
void AppendRawText(MessageBuffer& out, const char* message, const char* marking,
                   int trailingLineEnds);

// Composes the message line and hands it to write(std::string_view) in one
// piece. Running out of memory while composing drops the message.
template <typename Write>
void WriteMessageLine(Write write, const char* method, const char* message, int levelCode,
                      const char* marking) noexcept {
    try {
        MessageBuffer text;
        AppendMessageLine(text, method, message, levelCode, marking);
        write(text.View());
    } catch (...) {
    }
}

// The same for a raw text.
template <typename Write>
void WriteRawText(Write write, const char* message, const char* marking,
                  int trailingLineEnds) noexcept {
    try {
        MessageBuffer text;
        AppendRawText(text, message, marking, trailingLineEnds);
        write(text.View());
    } catch (...) {
    }
}

}  // namespace ORVA::KIV::System::Utility::Logging

#endif  // KIVLOGGING_LOGS_MESSAGETEXT_H
