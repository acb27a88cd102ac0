// Local date and time texts of message lines and log file names.
#ifndef KIVLOGGING_CORE_DATETIME_H
#define KIVLOGGING_CORE_DATETIME_H

#include <string>

namespace ORVA::KIV::System::Utility::Logging {

// Appends " [YYYY/MM/DD hh:mm:ss] " for the current local time. The text is
// converted once per second and thread, then reused while the second lasts.
void AppendCurrentDateTime(std::string& out);

// "YYYY-MM-DD_hh_mm_ss" for the current local time.
std::string CurrentFileNameStamp();

}  // namespace ORVA::KIV::System::Utility::Logging

#endif  // KIVLOGGING_CORE_DATETIME_H
