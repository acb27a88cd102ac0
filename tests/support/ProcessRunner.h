// Runs a program as a child process with an environment of the test's
// choosing and collects its standard output.
#ifndef KIVLOGGING_TESTS_SUPPORT_PROCESSRUNNER_H
#define KIVLOGGING_TESTS_SUPPORT_PROCESSRUNNER_H

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kivtest {

struct ProcessResult {
    int exitCode = -1;
    std::string output;
    // Standard error, where the platform captures it (POSIX); elsewhere it
    // goes to the test's own.
    std::string errors;
};

// Environment changes for the child: a value sets the variable, nullopt
// removes it. Everything else is inherited.
using EnvironmentChanges = std::map<std::string, std::optional<std::string>>;

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const EnvironmentChanges& environment);

}  // namespace kivtest

#endif  // KIVLOGGING_TESTS_SUPPORT_PROCESSRUNNER_H
