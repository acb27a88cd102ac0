#include "properties/DirectoryText.h"

#include "core/TextHelpers.h"
#include "platform/Platform.h"

namespace ORVA::KIV::System::Utility::Logging {

bool IsDirectorySeparator(char c) {
    return c == Platform::kDirectorySeparator ||
           (Platform::kAlternateSeparator != '\0' && c == Platform::kAlternateSeparator);
}

namespace {

// The separators as one-character texts, made at each call because the
// library's start-up code needs them before other files' initialisers may
// have run. The alternate one is empty where there is none, and replacing an
// empty pattern changes nothing.
std::string_view SeparatorText() {
    return std::string_view(&Platform::kDirectorySeparator, 1);
}

std::string_view AlternateSeparatorText() {
    return std::string_view(&Platform::kAlternateSeparator,
                            Platform::kAlternateSeparator == '\0' ? 0 : 1);
}

}  // namespace

std::string UseDirectorySeparators(std::string_view path) {
    return ReplaceAll(path, SeparatorText(), AlternateSeparatorText());
}

std::string WithTrailingSeparator(std::string path) {
    if (!EndsWith(SeparatorText(), path)) path += Platform::kDirectorySeparator;
    return path;
}

std::string WithoutTrailingSeparator(std::string path) {
    const bool keepsRoot = Platform::kLoneSeparatorIsRoot && path.size() == 1;
    if (!path.empty() && IsDirectorySeparator(path.back()) && !keepsRoot) path.pop_back();
    return path;
}

}  // namespace ORVA::KIV::System::Utility::Logging
