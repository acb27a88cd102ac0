// JSON string literals for the tools' reports, valid whatever bytes the
// text holds.
#ifndef KIVLOGGING_TOOLS_COMMON_JSONTEXT_H
#define KIVLOGGING_TOOLS_COMMON_JSONTEXT_H

#include <string>
#include <string_view>

namespace kivtools {

enum class JsonBytes {
    // Every byte above 126 is read as Latin-1 and written as \u00XX.
    kLatin1,
    // Valid UTF-8 sequences are kept but the C1 controls (U+0080 to
    // U+009F), which are written \u0080 to \u009f; each byte of an invalid
    // sequence, and DEL, is written as \u00XX.
    kUtf8,
};

// The length of the valid UTF-8 sequence at text[at] (a byte above 127), or
// 0 when there is none.
size_t Utf8SequenceLength(std::string_view text, size_t at);

// Whether a C1 control (U+0080 to U+009F), UTF-8 encoded, starts at text[at].
bool IsC1Control(std::string_view text, size_t at);

// Appends the text as a quoted JSON string: '"' and '\' escaped, control
// characters as \u00XX, bytes above 126 as the mode says.
void AppendJsonString(std::string& out, std::string_view text, JsonBytes bytes);

// The same without the quotes: a text may be appended in parts, cut
// neither inside a UTF-8 sequence nor between the bytes of one.
void AppendJsonStringContent(std::string& out, std::string_view text, JsonBytes bytes);

// The same, returned.
std::string JsonString(std::string_view text, JsonBytes bytes);

}  // namespace kivtools

#endif  // KIVLOGGING_TOOLS_COMMON_JSONTEXT_H
