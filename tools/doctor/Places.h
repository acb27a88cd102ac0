// Where the paths of a configuration lead: relative paths resolved against
// the working directory, and properties files left in near places where the
// library does not look.
#ifndef KIVLOGGING_TOOLS_DOCTOR_PLACES_H
#define KIVLOGGING_TOOLS_DOCTOR_PLACES_H

#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "Report.h"

namespace kivdoctor {

// The process's working directory; empty when it cannot be had.
std::string WorkingDirectory();

// The absolute path a relative path resolves to from the working
// directory; nothing for an absolute path.
std::optional<std::string> ResolvedWhenRelative(const std::string& path,
                                                const std::string& workingDirectory);

// When KIV_SYS_CONFIG_DIR names the properties file itself rather than its
// directory: that directory.
std::optional<std::string> DirectoryOfNamedFile(const Report& report);

// Whether the file was last changed clearly after the time (more than two
// seconds, the uncertainty of a process's start time); false when unknown.
bool ChangedAfter(const std::string& path, std::time_t time);

// After a search that found no properties file: the files of that name in
// the executable's own directory (instead of CLASSIFIED beneath it), in the
// working directory and in the configuration directory's parent, each with
// the path the library reads instead.
std::vector<MisplacedFile> FindMisplacedFiles(const Report& report);

}  // namespace kivdoctor

#endif  // KIVLOGGING_TOOLS_DOCTOR_PLACES_H
