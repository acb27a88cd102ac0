// Existence tests for paths as the configuration gives them: trimmed by the
// trimming rule first, unlike the plain tests of the platform layer.
#ifndef KIVLOGGING_PROPERTIES_PATHEXISTENCE_H
#define KIVLOGGING_PROPERTIES_PATHEXISTENCE_H

namespace ORVA::KIV::System::Utility::Logging {

// False for a null or blank path; otherwise whether an entry of any kind
// exists at the path after the trimming rule.
bool PathExistsAfterTrimming(const char* path);

// False for a null or blank path; otherwise, after the trimming rule and
// with one trailing separator dropped (a lone "/" stays the POSIX root; a
// lone "\" on Windows becomes empty), whether the path names an existing
// directory.
bool DirectoryExistsAfterTrimming(const char* path);

}  // namespace ORVA::KIV::System::Utility::Logging

#endif  // KIVLOGGING_PROPERTIES_PATHEXISTENCE_H
