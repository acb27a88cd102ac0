#include "support/ForkWhileLogging.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace kivtest {
namespace {

// Far more than a child needs to write a few messages, even under a
// sanitizer; a child that deadlocked never finishes.
constexpr std::chrono::seconds kChildTimeLimit{20};

// Waits for the child up to the limit; kills it when it overruns.
bool FinishedWell(pid_t child) {
    const auto deadline = std::chrono::steady_clock::now() + kChildTimeLimit;
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

int ForkWhileLogging(int children, int writers, const std::function<void()>& parentLogs,
                     const std::function<void(int)>& childLogs) {
    std::fflush(stdout);
    const int original = dup(STDOUT_FILENO);
    const int silent = open("/dev/null", O_WRONLY | O_CLOEXEC);
    dup2(silent, STDOUT_FILENO);

    std::atomic<bool> stop{false};
    std::vector<std::thread> threads;
    for (int writer = 0; writer < writers; ++writer) {
        threads.emplace_back([&] {
            while (!stop.load()) parentLogs();
        });
    }
    int finished = 0;
    for (int i = 0; i < children; ++i) {
        // Let the writers get going between forks.
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const pid_t child = fork();
        if (child == 0) {
            dup2(original, STDOUT_FILENO);
            childLogs(i);
            std::fflush(stdout);
            _exit(0);
        }
        if (child > 0 && FinishedWell(child)) ++finished;
    }
    stop.store(true);
    for (std::thread& thread : threads) thread.join();

    std::fflush(stdout);
    dup2(original, STDOUT_FILENO);
    close(original);
    close(silent);
    return finished;
}

}  // namespace kivtest
