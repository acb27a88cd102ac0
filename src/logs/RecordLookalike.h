// Lines of a caller's text that a reader of the log would take for the
// start of a record of its own.
#ifndef KIVLOGGING_LOGS_RECORDLOOKALIKE_H
#define KIVLOGGING_LOGS_RECORDLOOKALIKE_H

#include <string_view>

namespace ORVA::KIV::System::Utility::Logging {

// The first line of the banner at the head of every log file.
inline constexpr std::string_view kBannerTitle =
    "*************************************************** PLAIN-TEXT LOGGER "
    "***************************************************";

// Whether the line that starts text (up to a line feed, a carriage return
// before it ignored, or the end) has the shape of a message's head line,
// "(U) LEVEL [YYYY/MM/DD hh:mm:ss] method:", or is the banner's title.
bool IsRecordLookalike(std::string_view text);

}  // namespace ORVA::KIV::System::Utility::Logging

#endif  // KIVLOGGING_LOGS_RECORDLOOKALIKE_H
