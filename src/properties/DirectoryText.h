// Paths as the configuration handles them: directory texts use only the
// platform's separator and end with exactly one.
#ifndef KIVLOGGING_PROPERTIES_DIRECTORYTEXT_H
#define KIVLOGGING_PROPERTIES_DIRECTORYTEXT_H

#include <string>
#include <string_view>

namespace ORVA::KIV::System::Utility::Logging {

// Whether the character separates directories on this platform.
bool IsDirectorySeparator(char c);

// The path with every alternate separator (a forward slash on Windows)
// replaced by the platform's separator.
std::string UseDirectorySeparators(std::string_view path);

// The path followed by the separator when it does not already end in one.
std::string WithTrailingSeparator(std::string path);

// The path without one trailing separator; a lone separator stays where it
// names the root directory and becomes empty elsewhere.
std::string WithoutTrailingSeparator(std::string path);

}  // namespace ORVA::KIV::System::Utility::Logging

#endif  // KIVLOGGING_PROPERTIES_DIRECTORYTEXT_H
