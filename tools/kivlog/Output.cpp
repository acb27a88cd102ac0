#include "Output.h"

#include <cstdio>

namespace kivlog {
namespace {

constexpr size_t kBufferSize = 1 << 20;

// Whether the byte at text[at] is shown escaped on a terminal: C0 controls
// but tab and line ends, DEL, and the C1 controls as UTF-8 encodes them.
bool IsDangerous(std::string_view text, size_t at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte == '\t' || byte == '\n') return false;
    if (byte == '\r') return at + 1 >= text.size() || text[at + 1] != '\n';
    if (byte < 0x20 || byte == 0x7F) return true;
    return byte == 0xC2 && at + 1 < text.size() && static_cast<unsigned char>(text[at + 1]) >= 0x80 &&
           static_cast<unsigned char>(text[at + 1]) <= 0x9F;
}

}  // namespace

Output::Output(bool escapeControls) : m_escapeControls(escapeControls) {
    // The buffer here is the only one: each flush is one write.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    m_buffer.reserve(kBufferSize + kBufferSize / 4);
}

Output::~Output() {
    Flush();
}

void Output::Write(std::string_view bytes) {
    if (m_escapeControls) {
        AppendEscaped(bytes);
    } else {
        m_buffer.append(bytes);
    }
    if (m_buffer.size() >= kBufferSize) Flush();
}

void Output::AppendEscaped(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789abcdef";
    size_t plainFrom = 0;
    for (size_t at = 0; at < bytes.size(); ++at) {
        if (!IsDangerous(bytes, at)) continue;
        m_buffer.append(bytes.data() + plainFrom, at - plainFrom);
        const size_t width = static_cast<unsigned char>(bytes[at]) == 0xC2 ? 2 : 1;
        for (size_t i = at; i < at + width; ++i) {
            const auto byte = static_cast<unsigned char>(bytes[i]);
            const char escaped[] = {'\\', 'x', kHex[byte >> 4], kHex[byte & 15]};
            m_buffer.append(escaped, sizeof escaped);
        }
        at += width - 1;
        plainFrom = at + 1;
    }
    m_buffer.append(bytes.data() + plainFrom, bytes.size() - plainFrom);
}

bool Output::Flush() {
    if (!m_buffer.empty() && !m_failed) {
        m_failed = std::fwrite(m_buffer.data(), 1, m_buffer.size(), stdout) != m_buffer.size() ||
                   std::fflush(stdout) != 0;
    }
    m_buffer.clear();
    return !m_failed;
}

}  // namespace kivlog
