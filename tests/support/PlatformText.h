// The places where what the tests expect differs between platforms.
#ifndef KIVLOGGING_TESTS_SUPPORT_PLATFORMTEXT_H
#define KIVLOGGING_TESTS_SUPPORT_PLATFORMTEXT_H

#include <string>

namespace kivtest {

#if defined(_WIN32)
inline constexpr char kSeparator = '\\';
inline constexpr char kFileLineEnd[] = "\r\n";
#else
inline constexpr char kSeparator = '/';
inline constexpr char kFileLineEnd[] = "\n";
#endif

// The text as a log file holds it: each line feed becomes the platform's
// line end.
inline std::string AsFileText(const std::string& text) {
    std::string result;
    for (char c : text) {
        if (c == '\n') {
            result += kFileLineEnd;
        } else {
            result += c;
        }
    }
    return result;
}

}  // namespace kivtest

#endif  // KIVLOGGING_TESTS_SUPPORT_PLATFORMTEXT_H
