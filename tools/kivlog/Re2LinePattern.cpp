// LinePattern with RE2: linear time whatever the pattern and the text.
#include <re2/re2.h>

#include "LinePattern.h"

namespace kivlog {
namespace {

class Re2LinePattern : public LinePattern {
public:
    explicit Re2LinePattern(const std::string& text) : m_pattern(text, Options()) {}

    bool Valid(std::string* error) const {
        if (!m_pattern.ok()) *error = m_pattern.error();
        return m_pattern.ok();
    }

    bool MatchesSomeLine(std::string_view text, bool goesOn) const override {
        return AnyLine(text, goesOn, [this](std::string_view line, bool lineGoesOn) {
            if (!lineGoesOn) return RE2::PartialMatch(re2::StringPiece(line.data(), line.size()), m_pattern);
            // Searched with a byte after it, so that $ does not match at the
            // cut; a match must hold whether a word goes on there or not, so
            // that neither \b nor \B is taken as found at the cut.
            std::string followed = std::string(line) + 'a';
            if (!m_pattern.Match(followed, 0, line.size(), RE2::UNANCHORED, nullptr, 0)) return false;
            followed.back() = ' ';
            return m_pattern.Match(followed, 0, line.size(), RE2::UNANCHORED, nullptr, 0);
        });
    }

private:
    static RE2::Options Options() {
        RE2::Options options;
        options.set_log_errors(false);
        return options;
    }

    RE2 m_pattern;
};

}  // namespace

std::unique_ptr<const LinePattern> LinePattern::New(const std::string& text, std::string* error) {
    auto pattern = std::make_unique<Re2LinePattern>(text);
    if (!pattern->Valid(error)) return nullptr;
    return pattern;
}

}  // namespace kivlog
