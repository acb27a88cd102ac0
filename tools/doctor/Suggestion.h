// "Did you mean": the known text a mistyped one most likely stands for.
#ifndef KIVLOGGING_TOOLS_DOCTOR_SUGGESTION_H
#define KIVLOGGING_TOOLS_DOCTOR_SUGGESTION_H

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace kivdoctor {

// The one known text close to the given one, compared in any ASCII case:
// within one edit (two for texts longer than four characters; an edit is
// an insertion, a deletion, a change or a swap of neighbours), or a prefix
// of at least three characters of it, or it a prefix of the given text; a
// text more than eight characters longer or shorter is never close.
// Nothing when no known text is close, when two are equally close, or when
// the text equals a known one.
std::optional<std::string> ClosestKnown(std::string_view text,
                                        std::initializer_list<std::string_view> known);

// "on" or "off" for a rejected switch value that means it in other words
// ("yes", "false", "disabled") or misspells it ("onn", "ofs").
std::optional<std::string> SwitchMeant(std::string_view value);

// "; did you mean "X"?" for a suggestion, nothing without one.
std::string DidYouMean(const std::optional<std::string>& suggestion);

}  // namespace kivdoctor

#endif  // KIVLOGGING_TOOLS_DOCTOR_SUGGESTION_H
