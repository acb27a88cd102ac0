#include "properties/DirectoryText.h"

#include "core/TextHelpers.h"
#include "platform/Platform.h"

namespace ORVA::KIV::System::Utility::Logging {

bool IsDirectorySeparator(char c) {
    return c == Platform::kDirectorySeparator ||
           (Platform::kAlternateSeparator != '\0' && c == Platform::kAlternateSeparator);
}

std::string UseDirectorySeparators(std::string_view path) {
    std::string result(path);
    if (Platform::kAlternateSeparator == '\0') return result;
    for (char& c : result) {
        if (c == Platform::kAlternateSeparator) c = Platform::kDirectorySeparator;
    }
    return result;
}

std::string WithTrailingSeparator(std::string path) {
    if (path.empty() || path.back() != Platform::kDirectorySeparator) {
        path += Platform::kDirectorySeparator;
    }
    return path;
}

bool FileExists(const char* path) {
    const std::string trimmed = ApplyTrimmingRule(ViewOf(path));
    return !trimmed.empty() && Platform::FileExists(trimmed.c_str());
}

bool DirectoryExists(const char* path) {
    std::string trimmed = ApplyTrimmingRule(ViewOf(path));
    // A lone separator is the root directory on POSIX and must stay.
    if (trimmed.size() > 1 && IsDirectorySeparator(trimmed.back())) trimmed.pop_back();
    return !trimmed.empty() && Platform::DirectoryExists(trimmed.c_str());
}

}  // namespace ORVA::KIV::System::Utility::Logging
