// Text from logs, file names and arguments made safe to reach a terminal.
#ifndef KIVLOGGING_TOOLS_KIVLOG_TERMINALTEXT_H
#define KIVLOGGING_TOOLS_KIVLOG_TERMINALTEXT_H

#include <string>
#include <string_view>

namespace kivlog {

// Appends the bytes with control characters other than line ends and tabs
// written as "\x1b": C0 controls, DEL, the C1 controls as UTF-8 encodes
// them, and lone bytes 0x80 to 0x9F, which terminals may take for 8-bit C1
// controls. Valid UTF-8 passes unchanged.
void AppendTerminalSafe(std::string& out, std::string_view bytes);

// The same, returned; line ends escaped too, for a name inside a message.
std::string TerminalSafeName(std::string_view name);

// Writes "kivlog: SUBJECT: PROBLEM" on standard error, the subject (a path
// or an argument) made terminal-safe.
void ReportProblem(std::string_view subject, std::string_view problem);

}  // namespace kivlog

#endif  // KIVLOGGING_TOOLS_KIVLOG_TERMINALTEXT_H
