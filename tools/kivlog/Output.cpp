#include "Output.h"

#include <cstdio>

#include "JsonText.h"

namespace kivlog {
namespace {

constexpr size_t kBufferSize = 1 << 20;

// How many bytes at text[at] are shown escaped on a terminal (0 for none):
// C0 controls but tab and line ends, DEL, the C1 controls as UTF-8 encodes
// them, and lone bytes 0x80 to 0x9F, which terminals may take for 8-bit C1
// controls.
size_t DangerousLength(std::string_view text, size_t at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte == '\t' || byte == '\n') return 0;
    if (byte == '\r') return at + 1 >= text.size() || text[at + 1] != '\n' ? 1 : 0;
    if (byte < 0x20 || byte == 0x7F) return 1;
    if (byte < 0x80) return 0;
    if (kivtools::IsC1Control(text, at)) return 2;
    return kivtools::Utf8SequenceLength(text, at) == 0 && byte <= 0x9F ? 1 : 0;
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
    for (size_t at = 0; at < bytes.size();) {
        const size_t width = DangerousLength(bytes, at);
        if (width == 0) {
            // A valid UTF-8 sequence is passed over whole, so that its
            // continuation bytes are not taken for lone ones.
            const size_t sequence = static_cast<unsigned char>(bytes[at]) >= 0x80
                                        ? kivtools::Utf8SequenceLength(bytes, at)
                                        : 0;
            at += sequence > 0 ? sequence : 1;
            continue;
        }
        m_buffer.append(bytes.data() + plainFrom, at - plainFrom);
        for (size_t i = at; i < at + width; ++i) {
            const auto byte = static_cast<unsigned char>(bytes[i]);
            const char escaped[] = {'\\', 'x', kHex[byte >> 4], kHex[byte & 15]};
            m_buffer.append(escaped, sizeof escaped);
        }
        at += width;
        plainFrom = at;
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
