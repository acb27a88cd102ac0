// The doctor judges another process from a child of its own, so that what
// runs while it takes on that process's view of the system stays away from
// the operator's terminal.
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Report.h"
#include "TargetProcess.h"
#include "TerminalText.h"

namespace kivdoctor {
namespace {

// In the child: standard output and error to the pipes, standard input from
// /dev/null, every other descriptor closed, no controlling terminal, and no
// environment of the operator's (the process's own variables are taken on
// later).
void Isolate(int output, int errors) {
    clearenv();
    const int nothing = open("/dev/null", O_RDONLY);
    if (nothing >= 0) dup2(nothing, 0);
    dup2(output, 1);
    dup2(errors, 2);
    if (close_range(3, ~0U, 0) != 0) {
        // A kernel without close_range: every descriptor a process may hold.
        for (long descriptor = sysconf(_SC_OPEN_MAX) - 1; descriptor >= 3; --descriptor) {
            close(static_cast<int>(descriptor));
        }
    }
    setsid();
}

// Reads both pipes to their ends.
void ReadBoth(int output, int errors, std::string* printed, std::string* said) {
    pollfd ends[] = {{output, POLLIN, 0}, {errors, POLLIN, 0}};
    std::string* const into[] = {printed, said};
    char buffer[65536];
    for (int open = 2; open > 0;) {
        if (poll(ends, 2, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (ends[i].fd < 0 || ends[i].revents == 0) continue;
            const ssize_t got = read(ends[i].fd, buffer, sizeof buffer);
            if (got > 0) {
                into[i]->append(buffer, static_cast<size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                ends[i].fd = -1;
                --open;
            }
        }
    }
}

}  // namespace

int JudgeTargetProcess(const std::string& pid, const std::function<int(const TargetProcess&)>& judge) {
    int output[2];
    int errors[2];
    if (pipe2(output, O_CLOEXEC) != 0 || pipe2(errors, O_CLOEXEC) != 0) {
        std::perror("kivlog-doctor: cannot make a pipe");
        return kUsageError;
    }
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child < 0) {
        std::perror("kivlog-doctor: cannot start a process");
        return kUsageError;
    }
    if (child == 0) {
        Isolate(output[1], errors[1]);
        TargetProcess target;
        std::string problem;
        int status = kUsageError;
        if (AdoptTargetProcess(pid, &target, &problem)) {
            status = judge(target);
        } else {
            std::fprintf(stderr, "kivlog-doctor: %s\n", problem.c_str());
        }
        std::fflush(nullptr);
        _exit(status);
    }
    close(output[1]);
    close(errors[1]);
    std::string printed;
    std::string said;
    ReadBoth(output[0], errors[0], &printed, &said);
    close(output[0]);
    close(errors[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    // Escaping is idempotent on the child's own escaped text; it keeps
    // anything else from driving the terminal.
    const std::string safeOutput = kivtools::TerminalSafe(printed);
    const std::string safeErrors = kivtools::TerminalSafe(said);
    std::fwrite(safeErrors.data(), 1, safeErrors.size(), stderr);
    if (!WIFEXITED(status)) {
        std::fprintf(stderr, "kivlog-doctor: judging process %s failed (signal %d)\n", pid.c_str(),
                     WIFSIGNALED(status) ? WTERMSIG(status) : 0);
        return kUsageError;
    }
    const bool written = std::fwrite(safeOutput.data(), 1, safeOutput.size(), stdout) == safeOutput.size() &&
                         std::fflush(stdout) == 0;
    if (!written) {
        std::perror("kivlog-doctor: cannot write the report");
        return kUsageError;
    }
    return WEXITSTATUS(status);
}

}  // namespace kivdoctor
