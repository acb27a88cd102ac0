// Another running process, seen as the library inside it saw its start.
#ifndef KIVLOGGING_TOOLS_DOCTOR_TARGETPROCESS_H
#define KIVLOGGING_TOOLS_DOCTOR_TARGETPROCESS_H

#include <string>

namespace kivdoctor {

// Takes over, from the running process pid, what decides its logging
// configuration: returns its executable's path and gives this process the
// same user and groups, the same working directory and the same
// KIV_SYS_CONFIG_DIR, HOME, XDG_CONFIG_HOME and XDG_DOCUMENTS_DIR (set or
// unset as there). False, with a message naming what was wrong, when that
// cannot be done (no such process, no permission, or a platform without
// /proc).
bool AdoptTargetProcess(const std::string& pid, std::string* executable, std::string* problem);

}  // namespace kivdoctor

#endif  // KIVLOGGING_TOOLS_DOCTOR_TARGETPROCESS_H
