#include "support/MessageMatching.h"

#include <regex>

namespace kivtest {

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
