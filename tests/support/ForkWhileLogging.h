// Forks children while another thread of the parent keeps logging, the way a
// prefork server or a daemon meets the library.
#ifndef KIVLOGGING_TESTS_SUPPORT_FORKWHILELOGGING_H
#define KIVLOGGING_TESTS_SUPPORT_FORKWHILELOGGING_H

#include <functional>

namespace kivtest {

// Runs parentLogs() over and over on writers threads of their own, standard
// output silenced, while children are forked one after another; child i runs
// childLogs(i) with the original standard output and exits with status 0.
// Each child gets a bounded time and is killed when it overruns. Returns how
// many children finished in time with status 0; -1 where processes cannot
// fork.
int ForkWhileLogging(int children, int writers, const std::function<void()>& parentLogs,
                     const std::function<void(int)>& childLogs);

}  // namespace kivtest

#endif  // KIVLOGGING_TESTS_SUPPORT_FORKWHILELOGGING_H
