// The process-wide logging settings, computed once while the library loads.
#ifndef KIVLOGGING_PROPERTIES_LOGGINGSETTINGS_H
#define KIVLOGGING_PROPERTIES_LOGGINGSETTINGS_H

#include "properties/PropertiesReader.h"

namespace ORVA::KIV::System::Utility::Logging {

// The logging switch a store gives: off when no properties file was found
// or the store is empty, otherwise whether "kiv.logging.status" is "on".
bool LoggingStatusOf(const PropertyMap& store);

// The configured level a store gives (a MsgLevel name constant): FATAL when
// no properties file was found, otherwise "kiv.log.level", default DEBUG.
const char* LoggingLevelOf(const PropertyMap& store);

// The severity threshold a store gives (a KIVLOGGING_LEVEL_* number):
// "kiv.log.threshold", or DEBUG, which drops nothing, without it.
int ThresholdOf(const PropertyMap& store);

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
