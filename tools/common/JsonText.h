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
    // Valid UTF-8 sequences are kept; each byte of an invalid one, and
    // DEL, is written as \u00XX.
    kUtf8,
};

// Appends the text as a quoted JSON string: '"' and '\' escaped, control
// characters as \u00XX, bytes above 126 as the mode says.
void AppendJsonString(std::string& out, std::string_view text, JsonBytes bytes);

// The same, returned.
std::string JsonString(std::string_view text, JsonBytes bytes);

}  // namespace kivtools

#endif  // KIVLOGGING_TOOLS_COMMON_JSONTEXT_H
