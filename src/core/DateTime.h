// Local date and time texts of message lines and log file names.
#ifndef KIVLOGGING_CORE_DATETIME_H
#define KIVLOGGING_CORE_DATETIME_H

#include <ctime>
#include <mutex>
#include <string>
#include <string_view>

namespace ORVA::KIV::System::Utility::Logging {

// " [YYYY/MM/DD hh:mm:ss] " for a calendar time in local time. The text is
// converted once per second and thread and kept in a trivially destructible
// per-thread buffer, so the view is valid at any point of the thread's life
// (static destruction included) until the next call on the same thread.
std::string_view DateTimeStamp(std::time_t time);

// DateTimeStamp for the current time.
std::string_view CurrentDateTimeStamp();

// "YYYY-MM-DD_hh_mm_ss" for the current local time.
std::string CurrentFileNameStamp();

// Held while the C library converts a time to local time. The conversion
// takes a lock of the C library that a forked child would find held for
// good, so a fork waits on this mutex instead.
std::mutex& LocalTimeMutex();

}  // namespace ORVA::KIV::System::Utility::Logging

#endif  // KIVLOGGING_CORE_DATETIME_H
