// One reading of the properties file into a property store.
#ifndef KIVLOGGING_PROPERTIES_PROPERTIESREADER_H
#define KIVLOGGING_PROPERTIES_PROPERTIESREADER_H

#include <map>
#include <string>

#include "properties/LoadObserver.h"

namespace ORVA::KIV::System::Utility::Logging {

using PropertyMap = std::map<std::string, std::string>;

// The texts that switch values are stored and answered with; their
// addresses never change.
inline constexpr char kOnText[] = "on";
inline constexpr char kOffText[] = "off";

struct ReadingState {
    // Not the process's first reading: the log directory and the logger
    // list are never taken again.
    bool laterReading = false;
    // Dynamic logging before the reading, and as the reading leaves it.
    bool dynamicLogging = false;
    // The status stored when the file gives none.
    const char* defaultStatus = kOffText;
};

// Reads the properties file at path into the store (an empty path: no
// configuration directory). A missing file records "kiv.logging" as "false";
// a file that cannot be opened leaves the store as it is; a file that is
// read stores its accepted lines, the first acceptable line of each key
// winning, then the defaults for keys it left unset. Reading stops once
// every key it can take is taken. Never throws.
FileOutcome ReadPropertiesFile(const std::string& path, PropertyMap& store, ReadingState& state,
                               LoadObserver* observer);

}  // namespace ORVA::KIV::System::Utility::Logging

#endif  // KIVLOGGING_PROPERTIES_PROPERTIESREADER_H
