// Where the properties file is looked for: the directory named by
// KIV_SYS_CONFIG_DIR, else the subdirectory "CLASSIFIED" beside the
// executable of the process.
#ifndef KIVLOGGING_PROPERTIES_CONFIGDIRECTORY_H
#define KIVLOGGING_PROPERTIES_CONFIGDIRECTORY_H

#include <string>

namespace ORVA::KIV::System::Utility::Logging {

// The name of the properties file.
inline constexpr char kPropertiesFileName[] = "kiv.system.properties";
// The subdirectory beside the executable that holds the properties file.
inline constexpr char kConfigSubdirectory[] = "CLASSIFIED";
// The environment variable that names the configuration directory.
inline constexpr char kConfigDirVariable[] = "KIV_SYS_CONFIG_DIR";

class LoadObserver;

// The configuration directory as a directory text, or the empty string when
// there is none. A set, non-blank KIV_SYS_CONFIG_DIR decides alone; the
// "CLASSIFIED" subdirectory counts only when it holds the properties file.
std::string GetSystemConfigDirectory();

// The same search, reporting its decisions to the observer (which may be
// null). A non-null executablePath stands for the running executable.
std::string FindConfigDirectory(LoadObserver* observer, const char* executablePath);

// Reads an environment variable; the name is trimmed when it begins or ends
// with a blank. *pValue is set to a new[] copy of the value, or to null when
// the variable is unset or empty; the caller releases it with delete[].
// False when pValue is null or memory runs out.
bool GetEnvironmentValue(const char* name, char** pValue);

// Sets *pDirectory to a new[] copy of the executable's directory, ending in
// the separator; false (and null) when it cannot be had.
bool GetExecutableDirectory(char** pDirectory);

// The directory part of a path up to and including its last separator, or
// "." when it has none, in a new[] buffer; null for a null or blank path.
char* GetParentDirectory(const char* path);

}  // namespace ORVA::KIV::System::Utility::Logging

#endif  // KIVLOGGING_PROPERTIES_CONFIGDIRECTORY_H
