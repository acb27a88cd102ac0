// A regular expression searched for within each line of a text. With RE2
// the search takes time linear in the text; where RE2 is not built in (the
// Windows build), std::regex is used within bounds: patterns that could
// take exponential time are refused, and lines too long for its recursion
// are not searched.
#ifndef KIVLOGGING_TOOLS_KIVLOG_LINEPATTERN_H
#define KIVLOGGING_TOOLS_KIVLOG_LINEPATTERN_H

#include <memory>
#include <string>
#include <string_view>

namespace kivlog {

class LinePattern {
public:
    virtual ~LinePattern() = default;

    // The pattern of the text (RE2 syntax, or ECMAScript without RE2);
    // nullptr with *error when it is not one this build matches safely.
    static std::unique_ptr<const LinePattern> New(const std::string& text, std::string* error);

    // Whether the pattern matches within some line of text. Lines end at
    // LF; a CR before it is not part of the line; ^ and $ match at the
    // start and end of each line. goesOn: the text stops inside its last
    // line (the first piece of a record too long to hold), so $ does not
    // match at its end.
    virtual bool MatchesSomeLine(std::string_view text, bool goesOn = false) const = 0;

protected:
    // Calls match(line, goesOn) on each line of text until it returns true.
    template <typename Match>
    static bool AnyLine(std::string_view text, bool goesOn, const Match& match) {
        for (;;) {
            const size_t end = text.find('\n');
            std::string_view line = text.substr(0, end);
            const bool last = end == std::string_view::npos;
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            if (match(line, last && goesOn)) return true;
            if (last) return false;
            text.remove_prefix(end + 1);
        }
    }
};

}  // namespace kivlog

#endif  // KIVLOGGING_TOOLS_KIVLOG_LINEPATTERN_H
