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

// False for a null or blank path; otherwise whether an entry of any kind
// exists at the path (after the trimming rule).
bool FileExists(const char* path);

// False for a null or blank path; otherwise, after the trimming rule and
// with one trailing separator dropped (the root keeps its own), whether the
// path names an existing directory.
bool DirectoryExists(const char* path);

}  // namespace ORVA::KIV::System::Utility::Logging

#endif  // KIVLOGGING_PROPERTIES_DIRECTORYTEXT_H
