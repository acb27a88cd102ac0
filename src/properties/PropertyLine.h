// The syntax of one line of the properties file.
#ifndef KIVLOGGING_PROPERTIES_PROPERTYLINE_H
#define KIVLOGGING_PROPERTIES_PROPERTYLINE_H

#include <string_view>

namespace ORVA::KIV::System::Utility::Logging {

// What a line is, before its key is looked at.
enum class LineKind {
    kEmpty,
    // First character "#" (after leading white space, when the line begins
    // with a blank).
    kComment,
    kNoEqualsSign,
    // An "=" first, or only white space before the first "=".
    kEmptyKey,
    kKeyValue,
};

struct PropertyLine {
    LineKind kind = LineKind::kEmpty;
    // The text before the first "=" without trailing white space.
    std::string_view key;
    // Everything after the first "=", untouched.
    std::string_view value;
};

// Splits one line (without its line end). Leading white space is removed
// only when the line begins with a blank, so a line that begins with a tab
// keeps it in its key. A "#" after the first character is ordinary text.
// The views point into the line.
PropertyLine ParsePropertyLine(std::string_view line);

}  // namespace ORVA::KIV::System::Utility::Logging

#endif  // KIVLOGGING_PROPERTIES_PROPERTYLINE_H
