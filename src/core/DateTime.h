// Local date and time texts of message lines and log file names.
#ifndef KIVLOGGING_CORE_DATETIME_H
#define KIVLOGGING_CORE_DATETIME_H

#include <ctime>
#include <string>

namespace ORVA::KIV::System::Utility::Logging {

// Appends " [YYYY/MM/DD hh:mm:ss] " for a calendar time in local time. The
// text is converted once per second and thread and reused while the second
// lasts, so appending allocates nothing beyond the output's own growth.
void AppendDateTime(std::string& out, std::time_t time);

// AppendDateTime for the current time.
void AppendCurrentDateTime(std::string& out);

// "YYYY-MM-DD_hh_mm_ss" for the current local time.
std::string CurrentFileNameStamp();

}  // namespace ORVA::KIV::System::Utility::Logging

#endif  // KIVLOGGING_CORE_DATETIME_H
