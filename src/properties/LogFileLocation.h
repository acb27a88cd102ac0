// The directory of log files and the names of new log files.
#ifndef KIVLOGGING_PROPERTIES_LOGFILELOCATION_H
#define KIVLOGGING_PROPERTIES_LOGFILELOCATION_H

#include <optional>
#include <string>
#include <string_view>

namespace ORVA::KIV::System::Utility::Logging {

// The current user's Documents folder as a directory text in the path
// encoding, or the empty string when there is none. Existence is not tested.
std::string CurrentUserHomeFolder();

// The directory text for a configured log directory value (trimmed by the
// trimming rule, separators normalised, one trailing separator), or nullopt
// when it names no existing directory.
std::optional<std::string> AcceptLogDirectory(std::string_view value);

// The log directory used when none is configured, as the text stored for
// it: the user's Documents folder when it exists.
std::optional<std::string> DefaultLogDirectory();

// The path of the log directory whose stored text is given: the Documents
// folder as the system named it when the text is the one stored for it
// (which may have lost characters the code page lacks), otherwise the text
// itself.
std::string LogDirectoryPath(const std::string& storedText);

// "kiv.log_YYYY-MM-DD_hh_mm_ss" for the current local time.
std::string UniqueLogFileName();

// How many names a new log file in the log directory tries: the unique
// name, then the same name with "_2" up to "_999" before the extension.
inline constexpr int kLogFileNameVariants = 999;

// The path of a new log file: the directory text, the unique name, "_" and
// the variant for variants above 1, and ".log".
std::string NewLogFilePath(std::string_view directory, std::string_view uniqueName, int variant);

// Whether a file log could create a new file in the log directory now.
enum class NewLogFileCheck {
    kCanCreate,
    // The process may not create files there (write and search permission).
    kDirectoryRefusesFiles,
    // The unique name of this second and all its variants are taken.
    kEveryNameTaken,
};

// Checks, without creating anything, what a file log made now in the
// directory (a path) would find.
NewLogFileCheck CheckNewLogFile(const std::string& directory);

}  // namespace ORVA::KIV::System::Utility::Logging

#endif  // KIVLOGGING_PROPERTIES_LOGFILELOCATION_H
