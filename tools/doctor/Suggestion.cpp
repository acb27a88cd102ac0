#include "Suggestion.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "core/TextHelpers.h"

namespace kivdoctor {
namespace {

// How many characters longer than a known text a mistyped one may be:
// enough for "kiv.log.directory" against "kiv.log.dir", and it keeps a
// line of any length from costing more than a few known-sized rows.
constexpr size_t kLongestExtra = 8;

// Edits between the texts (optimal string alignment distance), in three
// rows of the shorter text's length.
size_t EditDistance(std::string_view a, std::string_view b) {
    std::vector<size_t> beforePrevious(b.size() + 1);
    std::vector<size_t> previous(b.size() + 1);
    std::vector<size_t> current(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) previous[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        current[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t change = a[i - 1] == b[j - 1] ? 0 : 1;
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + change});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                current[j] = std::min(current[j], beforePrevious[j - 2] + 1);
            }
        }
        std::swap(beforePrevious, previous);
        std::swap(previous, current);
    }
    return previous[b.size()];
}

// How far apart the texts are, when they are close at all.
std::optional<size_t> Closeness(std::string_view text, std::string_view known) {
    constexpr size_t kShortestPrefix = 3;
    const size_t longer = std::max(text.size(), known.size());
    const size_t shorter = std::min(text.size(), known.size());
    if (longer - shorter > kLongestExtra) return std::nullopt;
    const size_t distance = EditDistance(text, known);
    if (distance <= (known.size() > 4 ? 2u : 1u)) return distance;
    const bool prefix = text.size() < known.size() ? known.substr(0, text.size()) == text
                                                   : text.substr(0, known.size()) == known;
    if (shorter >= kShortestPrefix && prefix) return distance;
    return std::nullopt;
}

}  // namespace

std::optional<std::string> ClosestKnown(std::string_view text,
                                        std::initializer_list<std::string_view> known) {
    namespace Logging = ORVA::KIV::System::Utility::Logging;
    const std::string lowered = Logging::ToLowerAscii(text);
    if (lowered.empty()) return std::nullopt;
    std::optional<std::string_view> best;
    size_t bestDistance = std::numeric_limits<size_t>::max();
    bool tied = false;
    for (const std::string_view candidate : known) {
        if (candidate == text) return std::nullopt;
        const std::optional<size_t> distance = Closeness(lowered, Logging::ToLowerAscii(candidate));
        if (!distance || *distance > bestDistance) continue;
        tied = *distance == bestDistance;
        best = candidate;
        bestDistance = *distance;
    }
    if (!best || tied) return std::nullopt;
    return std::string(*best);
}

std::optional<std::string> SwitchMeant(std::string_view value) {
    static constexpr std::string_view kOn[] = {"yes", "true", "1", "enable", "enabled", "y"};
    static constexpr std::string_view kOff[] = {"no", "false", "0", "disable", "disabled", "n"};
    namespace Logging = ORVA::KIV::System::Utility::Logging;
    const std::string lowered = Logging::ToLowerAscii(value);
    for (const std::string_view word : kOn) {
        if (lowered == word) return std::string("on");
    }
    for (const std::string_view word : kOff) {
        if (lowered == word) return std::string("off");
    }
    // "of" is as close to "on" as to "off": only longer slips are guessed.
    if (lowered.size() < 3) return std::nullopt;
    return ClosestKnown(value, {"on", "off"});
}

std::string DidYouMean(const std::optional<std::string>& suggestion) {
    return suggestion ? "; did you mean \"" + *suggestion + "\"?" : std::string();
}

}  // namespace kivdoctor
