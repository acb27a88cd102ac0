// The property store: the process-wide table of values read from the
// properties file, and the loader that fills it.
#ifndef KIVLOGGING_PROPERTIES_PROPERTYSTORE_H
#define KIVLOGGING_PROPERTIES_PROPERTYSTORE_H

#include <mutex>

#include "properties/PropertiesReader.h"

namespace ORVA::KIV::System::Utility::Logging {

// Fixes the default status text ("off") before the first load.
void FixDefaultLoggingStatus();

// The store, created empty on the first call. It is never destroyed, so the
// texts that lookups hand out stay valid for the life of the process.
PropertyMap& PropertyStore();

// Reads the properties file into the store when a load is due (the first
// call, and every call while dynamic logging is on) and returns the store.
// When pDynamic is not null, the dynamic logging flag is written to it.
// Once start-up is over, a caller that may load (dynamic logging on) must
// hold PropertyStoreMutex() across the load and its use of the store.
PropertyMap* LoadLoggingSystemProperties(bool* pDynamic);

// Serialises loads, and lookups, while dynamic logging is on.
std::mutex& PropertyStoreMutex();

// Whether the last load left dynamic logging on. While it is off the store
// no longer changes and may be read without the mutex.
bool DynamicLoggingIsOn();

}  // namespace ORVA::KIV::System::Utility::Logging

#endif  // KIVLOGGING_PROPERTIES_PROPERTYSTORE_H
