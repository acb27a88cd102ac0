// A text composed in full before it is handed on, without a heap allocation
// for the usual short text.
#ifndef KIVLOGGING_CORE_MESSAGEBUFFER_H
#define KIVLOGGING_CORE_MESSAGEBUFFER_H

#include <cstddef>
#include <string>
#include <string_view>

namespace ORVA::KIV::System::Utility::Logging {

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

}  // namespace ORVA::KIV::System::Utility::Logging

#endif  // KIVLOGGING_CORE_MESSAGEBUFFER_H
