// The variables behind IMsgLog's class-wide references. They hold their
// start values (off, no level, LOGGING_CODE_UNKNOWN) until the start-up
// fills them while the library loads; afterwards only the switch changes.
#ifndef KIVLOGGING_CORE_PROCESSSETTINGS_H
#define KIVLOGGING_CORE_PROCESSSETTINGS_H

#include <atomic>

namespace ORVA::KIV::System::Utility::Logging {

// Read and written through std::atomic_ref once callers can run.
extern bool g_loggingTurnedOn;
extern const char* g_pLoggingLevel;
extern int g_loggingLevelCode;
// The severity number of the lowest level the front ends pass
// (KIVLOGGING_LEVEL_*); set from the properties while the library loads.
extern std::atomic<int> g_severityThreshold;

}  // namespace ORVA::KIV::System::Utility::Logging

#endif  // KIVLOGGING_CORE_PROCESSSETTINGS_H
