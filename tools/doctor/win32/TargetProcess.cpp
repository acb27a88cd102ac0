#include "TargetProcess.h"

#include <cstdio>

#include "Report.h"

namespace kivdoctor {

bool AdoptTargetProcess(const std::string&, TargetProcess*, std::string* problem) {
    *problem = "--pid is available on Linux only; use --exe with the program's path";
    return false;
}

int JudgeTargetProcess(const std::string& pid, const std::function<int(const TargetProcess&)>&) {
    TargetProcess target;
    std::string problem;
    AdoptTargetProcess(pid, &target, &problem);
    std::fprintf(stderr, "kivlog-doctor: %s\n", problem.c_str());
    return kUsageError;
}

}  // namespace kivdoctor
