#include "properties/LogFileLocation.h"

#include <logging/MsgLog.h>

#include "core/DateTime.h"
#include "core/TextHelpers.h"
#include "platform/Platform.h"
#include "properties/DirectoryText.h"
#include "properties/PathExistence.h"

namespace ORVA::KIV::System::Utility::Logging {

std::string CurrentUserHomeFolder() {
    std::string folder;
    try {
        folder = UseDirectorySeparators(Platform::GetDocumentsFolder());
        if (!folder.empty()) folder = WithTrailingSeparator(std::move(folder));
    } catch (...) {
        // Out of memory: whatever was reached is the answer.
    }
    return folder;
}

std::string IMsgLog::GetCurrentUserHomeFolder() {
    try {
        return Platform::TextFromPath(CurrentUserHomeFolder());
    } catch (...) {
        return std::string();
    }
}

std::string UniqueLogFileName() {
    return IMsgLog::MSG_LOG_BASE_FILE_NAME + CurrentFileNameStamp();
}

std::string IMsgLog::GetUniqueLoggerFileName() {
    return UniqueLogFileName();
}

std::string NewLogFilePath(std::string_view directory, std::string_view uniqueName, int variant) {
    std::string path(directory);
    path += uniqueName;
    if (variant > 1) path.append("_").append(std::to_string(variant));
    return path += IMsgLog::FILE_EXTENSION_PLAIN_LOG;
}

NewLogFileCheck CheckNewLogFile(const std::string& directory) {
    if (!Platform::DirectoryAcceptsNewFiles(WithoutTrailingSeparator(directory).c_str())) {
        return NewLogFileCheck::kDirectoryRefusesFiles;
    }
    const std::string name = UniqueLogFileName();
    for (int variant = 1; variant <= kLogFileNameVariants; ++variant) {
        if (!Platform::FileExists(NewLogFilePath(directory, name, variant).c_str())) {
            return NewLogFileCheck::kCanCreate;
        }
    }
    return NewLogFileCheck::kEveryNameTaken;
}

std::optional<std::string> AcceptLogDirectory(std::string_view value) {
    const std::string directory = UseDirectorySeparators(ApplyTrimmingRule(value));
    if (!DirectoryExistsAfterTrimming(Platform::PathFromText(directory).c_str())) return std::nullopt;
    return WithTrailingSeparator(directory);
}

namespace {

// The Documents folder as the system named it, once it is the default log
// directory. Never destroyed: file logs may be made during static
// destruction.
std::string& DocumentsLogDirectory() {
    static std::string* const path = new std::string();
    return *path;
}

}  // namespace

std::optional<std::string> DefaultLogDirectory() {
    std::string home = CurrentUserHomeFolder();
    if (!DirectoryExistsAfterTrimming(home.c_str())) return std::nullopt;
    DocumentsLogDirectory() = home;
    return Platform::TextFromPath(home);
}

std::string LogDirectoryPath(const std::string& storedText) {
    const std::string& documents = DocumentsLogDirectory();
    if (!documents.empty() && storedText == Platform::TextFromPath(documents)) return documents;
    return Platform::PathFromText(storedText);
}

}  // namespace ORVA::KIV::System::Utility::Logging
