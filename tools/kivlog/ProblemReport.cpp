#include "ProblemReport.h"

#include <cstdio>
#include <string>

namespace kivlog {

void ReportProblem(std::string_view subject, std::string_view problem) {
    const std::string line = "kivlog: " + TerminalSafeName(subject) + ": " + std::string(problem) + "\n";
    std::fputs(line.c_str(), stderr);
}

}  // namespace kivlog
