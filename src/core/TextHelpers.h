// Byte-oriented text helpers shared by the whole library. White space is
// what the C locale's isspace accepts; bytes above 127 are never white space.
// Every const char* parameter may be null and then counts as empty text.
#ifndef KIVLOGGING_CORE_TEXTHELPERS_H
#define KIVLOGGING_CORE_TEXTHELPERS_H

#include <string>
#include <string_view>

namespace ORVA::KIV::System::Utility::Logging {

// A view of a C string; empty for null.
std::string_view ViewOf(const char* text);

// Whether a text is neither null nor empty: the test for message texts and
// method names alike.
bool IsNonEmpty(const char* text);

// Blank, tab, line feed, vertical tab, form feed or carriage return.
bool IsWhiteSpace(char c);

// A copy of the text without trailing white space when trimTrailing is set
// and without leading white space when trimLeading is set.
std::string TrimString(std::string_view text, bool trimTrailing, bool trimLeading);
std::string TrimString(const char* text, bool trimTrailing, bool trimLeading);

// The text trimmed at both ends when its first or last character is a blank
// (code 32), otherwise unchanged: a tab at one end stays when the other end
// is not a blank.
std::string ApplyTrimmingRule(std::string_view text);
// The same as a view into the text.
std::string_view TrimmedByRule(std::string_view text);

// Copies with A-Z mapped to a-z (or a-z to A-Z); every other byte stays.
std::string ToLowerAscii(std::string_view text);
std::string ToUpperAscii(std::string_view text);

// A copy of the text with every occurrence of the pattern, found from left
// to right without overlap, replaced. An empty pattern changes nothing.
std::string ReplaceAll(std::string_view text, std::string_view replacement,
                       std::string_view pattern);

// False when either text is empty or the suffix is longer than the text;
// otherwise whether the text ends with the suffix, byte for byte.
bool EndsWith(std::string_view suffix, std::string_view text);

}  // namespace ORVA::KIV::System::Utility::Logging

#endif  // KIVLOGGING_CORE_TEXTHELPERS_H
