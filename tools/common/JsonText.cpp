#include "JsonText.h"

#include <cstdint>
#include <cstring>

namespace kivtools {
namespace {

// Whether the byte needs no escaping in any mode.
bool IsPlain(unsigned char byte) {
    return byte >= 0x20 && byte < 0x7F && byte != '"' && byte != '\\';
}

// The end of the run of plain bytes from at: eight bytes at a time while
// none of them needs a look (log texts are mostly plain ASCII).
size_t PlainRunEnd(std::string_view text, size_t at) {
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kHighs = 0x8080808080808080u;
    const auto hasZeroByte = [](std::uint64_t word) { return (word - kOnes) & ~word & kHighs; };
    while (at + 8 <= text.size()) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + at, 8);
        const std::uint64_t special = (word & kHighs) | ((word - kOnes * 0x20) & ~word & kHighs) |
                                      hasZeroByte(word ^ (kOnes * '"')) | hasZeroByte(word ^ (kOnes * '\\')) |
                                      hasZeroByte(word ^ (kOnes * 0x7F));
        if (special != 0) break;
        at += 8;
    }
    while (at < text.size() && IsPlain(static_cast<unsigned char>(text[at]))) ++at;
    return at;
}

}  // namespace

size_t Utf8SequenceLength(std::string_view text, size_t at) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    size_t length;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (at + length > text.size()) return 0;
    if (byte(1) < low || byte(1) > high) return 0;
    for (size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
    }
    return length;
}

bool IsC1Control(std::string_view text, size_t at) {
    return Utf8SequenceLength(text, at) == 2 && static_cast<unsigned char>(text[at]) == 0xC2 &&
           static_cast<unsigned char>(text[at + 1]) <= 0x9F;
}

namespace {

void AppendEscapedByte(std::string& out, unsigned char byte) {
    static constexpr char kHex[] = "0123456789abcdef";
    const char escaped[] = {'\\', 'u', '0', '0', kHex[byte >> 4], kHex[byte & 15]};
    out.append(escaped, sizeof escaped);
}

}  // namespace

void AppendJsonString(std::string& out, std::string_view text, JsonBytes bytes) {
    out += '"';
    AppendJsonStringContent(out, text, bytes);
    out += '"';
}

void AppendJsonStringContent(std::string& out, std::string_view text, JsonBytes bytes) {
    size_t at = 0;
    while (at < text.size()) {
        const size_t plain = PlainRunEnd(text, at);
        out.append(text.data() + at, plain - at);
        at = plain;
        if (at == text.size()) break;
        const auto byte = static_cast<unsigned char>(text[at]);
        if (byte == '"' || byte == '\\') {
            out += '\\';
            out += static_cast<char>(byte);
            ++at;
        } else if (byte == '\n') {
            out += "\\n";
            ++at;
        } else if (byte >= 0x80 && bytes == JsonBytes::kUtf8) {
            const size_t length = Utf8SequenceLength(text, at);
            if (length == 0) {
                AppendEscapedByte(out, byte);
                ++at;
            } else if (IsC1Control(text, at)) {
                // U+0080 to U+009F: terminal controls, written escaped.
                AppendEscapedByte(out, static_cast<unsigned char>(text[at + 1]));
                at += 2;
            } else {
                out.append(text.data() + at, length);
                at += length;
            }
        } else {
            AppendEscapedByte(out, byte);
            ++at;
        }
    }
}

std::string JsonString(std::string_view text, JsonBytes bytes) {
    std::string out;
    AppendJsonString(out, text, bytes);
    return out;
}

}  // namespace kivtools
