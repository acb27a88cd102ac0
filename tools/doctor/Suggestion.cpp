#include "Suggestion.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "core/TextHelpers.h"

namespace kivdoctor {
namespace {

// Edits between the texts (optimal string alignment distance).
size_t EditDistance(std::string_view a, std::string_view b) {
    std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
    for (size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
    for (size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t change = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + change});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
            }
        }
    }
    return d[a.size()][b.size()];
}

// How far apart the texts are, when they are close at all.
std::optional<size_t> Closeness(std::string_view text, std::string_view known) {
    constexpr size_t kShortestPrefix = 3;
    const size_t distance = EditDistance(text, known);
    if (distance <= (known.size() > 4 ? 2u : 1u)) return distance;
    const std::string_view shorter = text.size() < known.size() ? text : known;
    const std::string_view longer = text.size() < known.size() ? known : text;
    if (shorter.size() >= kShortestPrefix && longer.substr(0, shorter.size()) == shorter) {
        return distance;
    }
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

std::string DidYouMean(const std::optional<std::string>& suggestion) {
    return suggestion ? "; did you mean \"" + *suggestion + "\"?" : std::string();
}

}  // namespace kivdoctor
