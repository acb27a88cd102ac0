// Another running process, seen as the library inside it saw its start.
#ifndef KIVLOGGING_TOOLS_DOCTOR_TARGETPROCESS_H
#define KIVLOGGING_TOOLS_DOCTOR_TARGETPROCESS_H

#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace kivdoctor {

struct TargetProcess {
    // The executable's path as the process sees it.
    std::string executable;
    // When the process started.
    std::time_t started = 0;
    // The default-named log files (kiv.log_*.log) the process has open.
    std::vector<std::string> openLogFiles;
};

// Takes over, from the running process pid, what decides its logging
// configuration: this process then sees the files the process sees (its
// mount namespace and root, entered as root), runs as its real user with its
// groups, in its working directory, with its KIV_SYS_CONFIG_DIR, HOME,
// XDG_CONFIG_HOME and XDG_DOCUMENTS_DIR (set or unset as there). Refuses a
// process whose real and effective user or group differ (a setuid or setgid
// program): judging it would read files with privileges its user lacks.
// False, with a message naming what was wrong, when any of this cannot be
// done (no such process, no permission, or a platform without /proc); this
// process may then be left part-way and should only report and exit.
bool AdoptTargetProcess(const std::string& pid, TargetProcess* target, std::string* problem);

// Runs judge(target) in a child process that has adopted the process pid
// (AdoptTargetProcess), and returns its exit status. The child has no
// controlling terminal and no descriptor of this process but two pipes for
// its standard output and error; what it writes there is passed on with
// control characters escaped. So nothing that runs in the child, not even
// code of the target's file system, can reach the terminal of the operator
// who runs the doctor. A child that cannot adopt the process says why and
// exits with kUsageError; a child that dies gives kUsageError too.
int JudgeTargetProcess(const std::string& pid, const std::function<int(const TargetProcess&)>& judge);

}  // namespace kivdoctor

#endif  // KIVLOGGING_TOOLS_DOCTOR_TARGETPROCESS_H
