#include "properties/ConfigDirectory.h"

#include <cstring>
#include <memory>
#include <string_view>

#include "core/TextHelpers.h"
#include "platform/Platform.h"
#include "properties/DirectoryText.h"
#include "properties/PathExistence.h"
#include "properties/LoadObserver.h"

namespace ORVA::KIV::System::Utility::Logging {
namespace {

// A NUL-terminated new[] copy.
char* CopyText(std::string_view text) {
    char* copy = new char[text.size() + 1];
    std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    return copy;
}

// Frees a new[] text when it goes out of scope.
using OwnedText = std::unique_ptr<char[]>;

}  // namespace

bool GetEnvironmentValue(const char* name, char** pValue) {
    if (pValue == nullptr) return false;
    *pValue = nullptr;
    try {
        const std::string trimmed = ApplyTrimmingRule(ViewOf(name));
        if (trimmed.empty()) return true;
        const std::optional<std::string> value = Platform::GetEnvironmentValue(trimmed.c_str());
        if (value && !value->empty()) *pValue = CopyText(*value);
        return true;
    } catch (...) {
        return false;
    }
}

char* GetParentDirectory(const char* path) {
    try {
        const std::string normalized = UseDirectorySeparators(ApplyTrimmingRule(ViewOf(path)));
        if (normalized.empty()) return nullptr;
        size_t last = normalized.size();
        while (last > 0 && !IsDirectorySeparator(normalized[last - 1])) --last;
        if (last == 0) return CopyText(".");
        return CopyText(std::string_view(normalized).substr(0, last));
    } catch (...) {
        return nullptr;
    }
}

bool GetExecutableDirectory(char** pDirectory) {
    if (pDirectory == nullptr) return false;
    *pDirectory = nullptr;
    try {
        const std::optional<std::string> executable = Platform::GetExecutablePath();
        if (!executable) return false;
        *pDirectory = GetParentDirectory(executable->c_str());
        return *pDirectory != nullptr;
    } catch (...) {
        return false;
    }
}

std::string GetSystemConfigDirectory() {
    return FindConfigDirectory(nullptr, nullptr);
}

std::string FindConfigDirectory(LoadObserver* observer, const char* executablePath) {
    std::string candidate;
    try {
        char* variable = nullptr;
        GetEnvironmentValue(kConfigDirVariable, &variable);
        const OwnedText configured(variable);
        if (configured) candidate = ApplyTrimmingRule(configured.get());
        if (observer != nullptr) {
            observer->ConfigVariable(!configured        ? VariableState::kUnset
                                     : candidate.empty() ? VariableState::kBlank
                                                         : VariableState::kSet,
                                     candidate);
        }
        if (candidate.empty()) {
            char* directory = nullptr;
            if (executablePath != nullptr) {
                directory = GetParentDirectory(executablePath);
            } else {
                GetExecutableDirectory(&directory);
            }
            const OwnedText executableDirectory(directory);
            std::string classified;
            bool hasFile = false;
            if (executableDirectory && executableDirectory[0] != '\0') {
                classified = WithTrailingSeparator(executableDirectory.get()) + kConfigSubdirectory +
                             Platform::kDirectorySeparator;
                hasFile = PathExistsAfterTrimming((classified + kPropertiesFileName).c_str());
            }
            if (observer != nullptr) observer->ClassifiedDirectory(classified, hasFile);
            if (hasFile) candidate = classified;
        }
        if (!candidate.empty()) {
            candidate = WithTrailingSeparator(UseDirectorySeparators(candidate));
        }
    } catch (...) {
        // The candidate keeps what it had reached.
    }
    const bool exists = !candidate.empty() && DirectoryExistsAfterTrimming(candidate.c_str());
    if (observer != nullptr && !candidate.empty()) observer->ConfigDirectory(candidate, exists);
    return exists ? candidate : std::string();
}

}  // namespace ORVA::KIV::System::Utility::Logging
