// The process-wide logging settings, computed once while the library loads.
#ifndef KIVLOGGING_PROPERTIES_LOGGINGSETTINGS_H
#define KIVLOGGING_PROPERTIES_LOGGINGSETTINGS_H

namespace ORVA::KIV::System::Utility::Logging {

// The logging switch the properties give: off without a properties file, or
// with one that cannot be read; otherwise "kiv.logging.status", default off.
// Written to *pLoggingTurnedOn when it is not null.
bool ReadLoggingStatus(bool* pLoggingTurnedOn);

// The configured level name (a MsgLevel name constant) and code: FATAL
// without a properties file, else "kiv.log.level", default DEBUG. Written
// through each pointer that is not null.
const char* ReadLoggingLevel(const char** pLoggingLevel, int* pLoggingLevelCode);

}  // namespace ORVA::KIV::System::Utility::Logging

#endif  // KIVLOGGING_PROPERTIES_LOGGINGSETTINGS_H
