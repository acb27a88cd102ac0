// Runs a program as a child process with an environment of the test's
// choosing and collects its standard output. On Windows the program's
// path, the arguments and the environment are taken as UTF-8.
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
    // Standard error when it is not captured with the output, where the
    // platform captures it (POSIX); elsewhere it goes to the test's own.
    std::string errors;
};

// Environment changes for the child: a value sets the variable, nullopt
// removes it. Everything else is inherited.
using EnvironmentChanges = std::map<std::string, std::optional<std::string>>;

// What of the child's output the result holds: its standard output, or
// both it and its standard error, interleaved.
enum class Captured { kOutput, kOutputAndErrors };

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const EnvironmentChanges& environment, Captured captured = Captured::kOutput);

}  // namespace kivtest

#endif  // KIVLOGGING_TESTS_SUPPORT_PROCESSRUNNER_H
