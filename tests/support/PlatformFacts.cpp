#include "support/PlatformFacts.h"

#include <string_view>

namespace kivtest {
namespace {

std::string ReplaceAll(const std::string& text, std::string_view from, std::string_view to) {
    if (from == to) return text;
    std::string result;
    size_t start = 0;
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, start)) {
        result.append(text, start, at - start).append(to);
        start = at + from.size();
    }
    return result.append(text, start);
}

}  // namespace

std::string AsFileText(const std::string& text) {
    return ReplaceAll(text, "\n", kLineEnd);
}

std::string FromFileText(const std::string& text) {
    return ReplaceAll(text, kLineEnd, "\n");
}

std::string NativeSeparators(std::string path) {
    for (char& c : path) {
        if (c == '/') c = kSeparator;
    }
    return path;
}

}  // namespace kivtest
