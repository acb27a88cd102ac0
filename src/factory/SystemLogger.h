// The process-wide system logger, decided once on first use.
#ifndef KIVLOGGING_FACTORY_SYSTEMLOGGER_H
#define KIVLOGGING_FACTORY_SYSTEMLOGGER_H

#include <logging/MsgLog.h>

#include <mutex>

namespace ORVA::KIV::System::Utility::Logging {

// The system logger, or null when the process has none. The first call
// decides, exactly once even when threads race: a group when logging is on
// and a properties file was found, otherwise none. It is never deleted.
IMsgLog* SystemLogger() noexcept;

// Held while the system logger is being made. A plain mutex rather than a
// function-local static's guard, so that a fork can wait for it.
std::mutex& SystemLoggerMutex();

}  // namespace ORVA::KIV::System::Utility::Logging

#endif  // KIVLOGGING_FACTORY_SYSTEMLOGGER_H
