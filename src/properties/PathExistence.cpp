#include "properties/PathExistence.h"

#include "core/TextHelpers.h"
#include "platform/Platform.h"
#include "properties/DirectoryText.h"

namespace ORVA::KIV::System::Utility::Logging {

bool PathExistsAfterTrimming(const char* path) {
    const std::string trimmed = ApplyTrimmingRule(ViewOf(path));
    return !trimmed.empty() && Platform::FileExists(trimmed.c_str());
}

bool DirectoryExistsAfterTrimming(const char* path) {
    const std::string directory = WithoutTrailingSeparator(ApplyTrimmingRule(ViewOf(path)));
    return !directory.empty() && Platform::DirectoryExists(directory.c_str());
}

}  // namespace ORVA::KIV::System::Utility::Logging
