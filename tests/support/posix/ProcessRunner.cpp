#include "support/ProcessRunner.h"

#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

extern char** environ;

namespace kivtest {
namespace {

std::vector<std::string> ChildEnvironment(const EnvironmentChanges& changes) {
    std::vector<std::string> result;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string variable(*entry);
        const std::string name = variable.substr(0, variable.find('='));
        if (changes.count(name) == 0) result.push_back(variable);
    }
    for (const auto& [name, value] : changes) {
        if (value) result.push_back(name + "=" + *value);
    }
    return result;
}

std::vector<char*> PointersTo(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const EnvironmentChanges& environment, Captured captured) {
    ProcessResult result;
    int output[2];
    int errors[2];
    if (pipe(output) != 0) return result;
    if (pipe(errors) != 0) {
        close(output[0]);
        close(output[1]);
        return result;
    }

    std::vector<std::string> argumentTexts{program};
    argumentTexts.insert(argumentTexts.end(), arguments.begin(), arguments.end());
    std::vector<std::string> environmentTexts = ChildEnvironment(environment);
    std::vector<char*> argv = PointersTo(argumentTexts);
    std::vector<char*> envp = PointersTo(environmentTexts);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output[1], 1);
    posix_spawn_file_actions_adddup2(&actions, captured == Captured::kOutputAndErrors ? output[1] : errors[1], 2);
    for (int end : {output[0], output[1], errors[0], errors[1]}) {
        posix_spawn_file_actions_addclose(&actions, end);
    }
    pid_t child = -1;
    const int spawned =
        posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(output[1]);
    close(errors[1]);

    // Both pipes at once, so that a child filling one never waits on the
    // other.
    pollfd ends[] = {{output[0], POLLIN, 0}, {errors[0], POLLIN, 0}};
    std::string* const into[] = {&result.output, &result.errors};
    char buffer[4096];
    for (int open = 2; open > 0;) {
        if (poll(ends, 2, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (ends[i].fd < 0 || ends[i].revents == 0) continue;
            const ssize_t count = read(ends[i].fd, buffer, sizeof buffer);
            if (count > 0) {
                into[i]->append(buffer, static_cast<size_t>(count));
            } else if (count == 0 || errno != EINTR) {
                close(ends[i].fd);
                ends[i].fd = -1;
                --open;
            }
        }
    }
    for (const pollfd& end : ends) {
        if (end.fd >= 0) close(end.fd);
    }
    // What the child said there stays visible in the test's own log.
    std::fwrite(result.errors.data(), 1, result.errors.size(), stderr);
    if (spawned != 0) return result;

    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

}  // namespace kivtest
