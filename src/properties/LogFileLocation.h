// The directory of log files and the names of new log files.
#ifndef KIVLOGGING_PROPERTIES_LOGFILELOCATION_H
#define KIVLOGGING_PROPERTIES_LOGFILELOCATION_H

#include <optional>
#include <string>
#include <string_view>

namespace ORVA::KIV::System::Utility::Logging {

// The current user's Documents folder as a directory text, or the empty
// string when there is none. Existence is not tested.
std::string CurrentUserHomeFolder();

// The directory text for a configured log directory value (trimmed by the
// trimming rule, separators normalised, one trailing separator), or nullopt
// when it names no existing directory.
std::optional<std::string> AcceptLogDirectory(std::string_view value);

// The log directory used when none is configured: the user's Documents
// folder when it exists.
std::optional<std::string> DefaultLogDirectory();

}  // namespace ORVA::KIV::System::Utility::Logging

#endif  // KIVLOGGING_PROPERTIES_LOGFILELOCATION_H
