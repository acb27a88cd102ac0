#include "TerminalText.h"

#include "JsonText.h"

namespace kivtools {
namespace {

// How many bytes at text[at] are shown escaped (0 for none).
size_t DangerousLength(std::string_view text, size_t at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte == '\t' || byte == '\n') return 0;
    if (byte == '\r') return at + 1 >= text.size() || text[at + 1] != '\n' ? 1 : 0;
    if (byte < 0x20 || byte == 0x7F) return 1;
    if (byte < 0x80) return 0;
    if (IsC1Control(text, at)) return 2;
    return Utf8SequenceLength(text, at) == 0 && byte <= 0x9F ? 1 : 0;
}

void AppendHex(std::string& out, unsigned char byte) {
    static constexpr char kHex[] = "0123456789abcdef";
    const char escaped[] = {'\\', 'x', kHex[byte >> 4], kHex[byte & 15]};
    out.append(escaped, sizeof escaped);
}

}  // namespace

void AppendTerminalSafe(std::string& out, std::string_view bytes) {
    size_t plainFrom = 0;
    for (size_t at = 0; at < bytes.size();) {
        const size_t width = DangerousLength(bytes, at);
        if (width == 0) {
            // A valid UTF-8 sequence is passed over whole, so that its
            // continuation bytes are not taken for lone ones.
            const size_t sequence =
                static_cast<unsigned char>(bytes[at]) >= 0x80 ? Utf8SequenceLength(bytes, at) : 0;
            at += sequence > 0 ? sequence : 1;
            continue;
        }
        out.append(bytes.data() + plainFrom, at - plainFrom);
        for (size_t i = at; i < at + width; ++i) AppendHex(out, static_cast<unsigned char>(bytes[i]));
        at += width;
        plainFrom = at;
    }
    out.append(bytes.data() + plainFrom, bytes.size() - plainFrom);
}

std::string TerminalSafe(std::string_view bytes) {
    std::string safe;
    safe.reserve(bytes.size());
    AppendTerminalSafe(safe, bytes);
    return safe;
}

std::string TerminalSafeName(std::string_view name) {
    std::string safe;
    size_t from = 0;
    for (size_t at = 0; at <= name.size(); ++at) {
        if (at < name.size() && name[at] != '\n' && name[at] != '\t' && name[at] != '\r') continue;
        AppendTerminalSafe(safe, name.substr(from, at - from));
        if (at < name.size()) AppendHex(safe, static_cast<unsigned char>(name[at]));
        from = at + 1;
    }
    return safe;
}

}  // namespace kivtools
