#include "support/MessageMatching.h"

#include <regex>

namespace kivtest {

const std::string kHeader =
    "\n"
    "*************************************************** PLAIN-TEXT LOGGER "
    "***************************************************\n"
    "\n"
    "0123456789 123456789 123456789 123456789 123456789 123456789 123456789 123456789 "
    "123456789 123456789 123456789 1234567880\n"
    "0         0         0         0         0         0         0         0         0         "
    "0         0         0         0\n"
    "\n"
    "DATE: [T] \n"
    "\n";

std::string MaskTimeStamps(const std::string& text) {
    static const std::regex stamp(R"( \[\d{4}/\d{2}/\d{2} \d{2}:\d{2}:\d{2}\] )");
    return std::regex_replace(text, stamp, " [T] ");
}

size_t CountOccurrences(const std::string& text, const std::string& pattern) {
    size_t count = 0;
    for (size_t at = text.find(pattern); at != std::string::npos;
         at = text.find(pattern, at + pattern.size())) {
        ++count;
    }
    return count;
}

}  // namespace kivtest
