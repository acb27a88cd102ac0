#include "Filter.h"

namespace kivlog {
namespace {

// std::regex matches by recursion, one level per character on some
// patterns, so it sees no text longer than this at once: a longer line is
// searched in overlapping windows of this size, and a match must fit in
// one (overlapping by a quarter).
constexpr size_t kRegexWindow = 2048;

bool SearchLine(const std::regex& pattern, std::string_view line) {
    for (size_t at = 0;; at += kRegexWindow - kRegexWindow / 4) {
        const std::string_view window = line.substr(at, kRegexWindow);
        if (std::regex_search(window.begin(), window.end(), pattern)) return true;
        if (at + kRegexWindow >= line.size()) return false;
    }
}

// Whether the pattern matches within some line of the text.
bool Search(const std::regex& pattern, std::string_view text) {
    for (;;) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (SearchLine(pattern, line)) return true;
        if (end == std::string_view::npos) return false;
        text.remove_prefix(end + 1);
    }
}

}  // namespace

std::string_view MarkingName(std::string_view marking) {
    while (!marking.empty() && (marking.back() == ' ' || marking.back() == ')')) marking.remove_suffix(1);
    if (!marking.empty() && marking.front() == '(') marking.remove_prefix(1);
    return marking;
}

bool Filter::Passes(const Record& record) const {
    if (record.kind == RecordKind::kBanner) return isEmpty;
    const bool isRaw = record.kind == RecordKind::kRaw;
    if ((raw == RawChoice::kOnlyRaw && !isRaw) || (raw == RawChoice::kNoRaw && isRaw)) return false;
    if (minimumLevel && (isRaw || record.level < *minimumLevel)) return false;
    if (record.time < since || record.time > until) return false;
    if (marking && MarkingName(record.marking) != *marking) return false;
    if (method && (isRaw || !Search(*method, record.method))) return false;
    return !grep || Search(*grep, record.body);
}

}  // namespace kivlog
