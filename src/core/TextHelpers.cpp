#include "core/TextHelpers.h"

namespace ORVA::KIV::System::Utility::Logging {

bool IsNonEmpty(const char* text) {
    return text != nullptr && text[0] != '\0';
}

std::string_view ViewOf(const char* text) {
    return text == nullptr ? std::string_view() : std::string_view(text);
}

bool IsWhiteSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

namespace {

std::string_view Trimmed(std::string_view text, bool trimTrailing, bool trimLeading) {
    if (trimLeading) {
        while (!text.empty() && IsWhiteSpace(text.front())) text.remove_prefix(1);
    }
    if (trimTrailing) {
        while (!text.empty() && IsWhiteSpace(text.back())) text.remove_suffix(1);
    }
    return text;
}

}  // namespace

std::string TrimString(std::string_view text, bool trimTrailing, bool trimLeading) {
    return std::string(Trimmed(text, trimTrailing, trimLeading));
}

std::string TrimString(const char* text, bool trimTrailing, bool trimLeading) {
    return TrimString(ViewOf(text), trimTrailing, trimLeading);
}

std::string_view TrimmedByRule(std::string_view text) {
    if (text.empty() || (text.front() != ' ' && text.back() != ' ')) return text;
    return Trimmed(text, true, true);
}

std::string ApplyTrimmingRule(std::string_view text) {
    return std::string(TrimmedByRule(text));
}

std::string ToLowerAscii(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return result;
}

std::string ToUpperAscii(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return result;
}

std::string ReplaceAll(std::string_view text, std::string_view replacement,
                       std::string_view pattern) {
    if (pattern.empty()) return std::string(text);
    std::string result;
    result.reserve(text.size());
    size_t start = 0;
    for (size_t found = text.find(pattern); found != std::string_view::npos;
         found = text.find(pattern, start)) {
        result.append(text.substr(start, found - start)).append(replacement);
        start = found + pattern.size();
    }
    result.append(text.substr(start));
    return result;
}

bool EndsWith(std::string_view suffix, std::string_view text) {
    if (suffix.empty() || text.empty() || suffix.size() > text.size()) return false;
    return text.substr(text.size() - suffix.size()) == suffix;
}

}  // namespace ORVA::KIV::System::Utility::Logging
