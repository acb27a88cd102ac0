// What kivlog says on standard error about an input or an argument.
#ifndef KIVLOGGING_TOOLS_KIVLOG_PROBLEMREPORT_H
#define KIVLOGGING_TOOLS_KIVLOG_PROBLEMREPORT_H

#include <string_view>

#include "TerminalText.h"

namespace kivlog {

using kivtools::AppendTerminalSafe;
using kivtools::TerminalSafeName;

// Writes "kivlog: SUBJECT: PROBLEM" on standard error, the subject (a path
// or an argument) made terminal-safe.
void ReportProblem(std::string_view subject, std::string_view problem);

}  // namespace kivlog

#endif  // KIVLOGGING_TOOLS_KIVLOG_PROBLEMREPORT_H
