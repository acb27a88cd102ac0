// LinePattern with std::regex, where RE2 is not built in. std::regex
// backtracks, and recurses once per character on some patterns: patterns
// that nest repetition or refer back are refused, and a line longer than
// kLongestLine is not searched (said once on standard error).
#include <regex>
#include <vector>

#include "LinePattern.h"
#include "ProblemReport.h"

namespace kivlog {
namespace {

constexpr size_t kLongestLine = 2048;

bool IsRepetition(char c) {
    return c == '*' || c == '+' || c == '?' || c == '{';
}

// Why the pattern may take exponential time, or empty: a back reference,
// or a repeated group that holds a repetition or an alternative.
std::string Risk(const std::string& text) {
    // Per open group: whether it holds a repetition or '|'.
    std::vector<bool> groups{false};
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\') {
            if (i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') return "a back reference";
            ++i;
        } else if (c == '[') {
            // A class: up to its closing bracket, which may come first.
            i = text.find(']', i + 2);
            if (i == std::string::npos) return {};
        } else if (c == '(') {
            groups.push_back(false);
        } else if (c == ')' && groups.size() > 1) {
            const bool risky = groups.back();
            groups.pop_back();
            if (risky && i + 1 < text.size() && IsRepetition(text[i + 1])) return "a repeated group that repeats";
            groups.back() = groups.back() || risky;
        } else if (IsRepetition(c) || c == '|') {
            groups.back() = true;
        }
    }
    return {};
}

class BoundedLinePattern : public LinePattern {
public:
    explicit BoundedLinePattern(const std::string& text) : m_pattern(text, std::regex::ECMAScript) {}

    bool MatchesSomeLine(std::string_view text, bool goesOn) const override {
        return AnyLine(text, goesOn, [this](std::string_view line, bool lineGoesOn) {
            if (line.size() > kLongestLine) {
                if (!m_warned) ReportProblem("--grep/--method", "lines over 2 KiB are not searched in this build");
                m_warned = true;
                return false;
            }
            return std::regex_search(line.begin(), line.end(), m_pattern,
                                     lineGoesOn ? std::regex_constants::match_not_eol |
                                                      std::regex_constants::match_not_eow
                                                : std::regex_constants::match_default);
        });
    }

private:
    std::regex m_pattern;
    mutable bool m_warned = false;
};

}  // namespace

std::unique_ptr<const LinePattern> LinePattern::New(const std::string& text, std::string* error) {
    const std::string risk = Risk(text);
    if (!risk.empty()) {
        *error = risk + " may take exponential time; this build has no linear-time engine";
        return nullptr;
    }
    try {
        return std::make_unique<BoundedLinePattern>(text);
    } catch (const std::regex_error& problem) {
        *error = problem.what();
        return nullptr;
    }
}

}  // namespace kivlog
