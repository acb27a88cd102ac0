// Text from files and users shown on a terminal without letting it drive
// the terminal.
#ifndef KIVLOGGING_TOOLS_COMMON_TERMINALTEXT_H
#define KIVLOGGING_TOOLS_COMMON_TERMINALTEXT_H

#include <string>
#include <string_view>

namespace kivtools {

// Appends the bytes with every byte a terminal could take for a control
// written as "\xHH": C0 controls but tab and line ends (a CR only before a
// line feed), DEL, the C1 controls as UTF-8 encodes them, and lone bytes
// 0x80 to 0x9F, which terminals may take for 8-bit C1 controls. Valid UTF-8
// is kept as it is.
void AppendTerminalSafe(std::string& out, std::string_view bytes);

// The same, returned.
std::string TerminalSafe(std::string_view bytes);

// The same, with line ends and tabs escaped too, for a name inside a
// one-line message.
std::string TerminalSafeName(std::string_view name);

}  // namespace kivtools

#endif  // KIVLOGGING_TOOLS_COMMON_TERMINALTEXT_H
