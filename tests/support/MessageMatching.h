// Helpers for comparing log output byte for byte with the time taken out.
#ifndef KIVLOGGING_TESTS_SUPPORT_MESSAGEMATCHING_H
#define KIVLOGGING_TESTS_SUPPORT_MESSAGEMATCHING_H

#include <string>

namespace kivtest {

// The header a new log file starts with, its time stamp masked as " [T] ".
extern const std::string kHeader;

// The text with every " [YYYY/MM/DD hh:mm:ss] " time stamp replaced by
// " [T] ".
std::string MaskTimeStamps(const std::string& text);

// How many times the pattern occurs in the text.
size_t CountOccurrences(const std::string& text, const std::string& pattern);

}  // namespace kivtest

#endif  // KIVLOGGING_TESTS_SUPPORT_MESSAGEMATCHING_H
