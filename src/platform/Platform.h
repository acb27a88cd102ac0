// The operating system as the library sees it: plain facts and plain file
// operations, one definition per platform (posix/, win32/). Trimming,
// separators in directory texts and the configuration search live above this.
#ifndef KIVLOGGING_PLATFORM_PLATFORM_H
#define KIVLOGGING_PLATFORM_PLATFORM_H

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

namespace ORVA::KIV::System::Utility::Logging::Platform {

// The separator of directory texts; every directory text ends with it.
extern const char kDirectorySeparator;
// Another character that paths may use as a separator and that directory
// texts rewrite to kDirectorySeparator; '\0' where there is none.
extern const char kAlternateSeparator;

// The value of an environment variable as narrow text; nullopt when it is
// not set or cannot be converted.
std::optional<std::string> GetEnvironmentValue(const char* name);

// The full path of the executable file that started the process (not of the
// library); nullopt when it cannot be had.
std::optional<std::string> GetExecutablePath();

// The current user's Documents folder, with or without a trailing separator;
// empty when there is none. Existence is not tested.
std::string GetDocumentsFolder();

// Whether the path names an entry of any kind.
bool FileExists(const char* path);

// Whether the path names an existing directory.
bool DirectoryExists(const char* path);

// The local time (time zone and daylight saving of the process) of a
// calendar time; false when it cannot be converted.
bool ConvertToLocalTime(std::time_t time, std::tm* local);

// A file that log text is written to.
using FileHandle = std::intptr_t;
inline constexpr FileHandle kNoFile = -1;

enum class FileCreation {
    // Create the file, or empty an existing one.
    kReplace,
    // Create the file only when no entry of that name exists; never follows
    // a symbolic link.
    kCreateNew,
};

struct OpenedFile {
    FileHandle handle = kNoFile;
    // Set when kCreateNew failed because the name is taken.
    bool nameTaken = false;
};

// Opens a file for writing in text mode (line feeds become the platform's
// line end), appending at its end, shared with other readers and writers.
OpenedFile OpenFileForWriting(const char* path, FileCreation creation);

// Writes all bytes, retrying short writes; false when the system refused
// some of them.
bool WriteToFile(FileHandle file, const char* bytes, size_t size);

// Closes the file; false when closing reported an error.
bool CloseFile(FileHandle file);

}  // namespace ORVA::KIV::System::Utility::Logging::Platform

#endif  // KIVLOGGING_PLATFORM_PLATFORM_H
