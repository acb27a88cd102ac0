// The files the file log makes, and the log files of a directory.
#ifndef KIVLOGGING_TOOLS_KIVLOG_LOGFILES_H
#define KIVLOGGING_TOOLS_KIVLOG_LOGFILES_H

#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace kivlog {

// Whether kivlog reads the file when given its directory: "kiv.log_*.log".
bool IsLogFileName(std::string_view name);

// Whether the name is one the file log makes itself:
// "kiv.log_YYYY-MM-DD_hh_mm_ss.log" or "..._N.log" with N from 2 to 999.
bool IsLibraryLogFileName(std::string_view name);

// The paths of the files of the directory with IsLogFileName names, oldest
// first: by the time in the name, then by N. error is set when the
// directory cannot be listed.
std::vector<std::string> ListLogFiles(const std::string& directory, std::error_code& error);

}  // namespace kivlog

#endif  // KIVLOGGING_TOOLS_KIVLOG_LOGFILES_H
