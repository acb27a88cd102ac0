// Starts the probe program (linked to the shared library) in a child process
// and reads what it reports.
#ifndef KIVLOGGING_TESTS_SUPPORT_PROBERUNNER_H
#define KIVLOGGING_TESTS_SUPPORT_PROBERUNNER_H

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/ProcessRunner.h"

namespace kivtest {

struct ProbeRun {
    int exitCode = -1;
    std::string output;

    // The value of the last "@ key=value" line for the key; "(missing)"
    // when there is none.
    std::string operator[](const std::string& key) const;
    // The output without the probe's own report lines: what the library
    // wrote to standard output.
    std::string Console() const;
};

// The path of the probe as built.
std::string ProbePath();

// Copies the probe, with what it needs to start, into the directory and
// returns the copy's path.
std::string CopyProbeTo(const std::filesystem::path& directory);

// Runs the probe with the steps. The variables a configuration depends on
// (KIV_SYS_CONFIG_DIR, HOME, TZ and the XDG folders) are removed from the
// inherited environment before the changes apply, so that each run sees
// only what its test sets.
ProbeRun RunProbe(const std::vector<std::string>& steps, EnvironmentChanges environment,
                  const std::string& probe = ProbePath());

}  // namespace kivtest

#endif  // KIVLOGGING_TESTS_SUPPORT_PROBERUNNER_H
