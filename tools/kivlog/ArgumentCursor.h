// Walks a command line the way scripts expect: "--name=value" or
// "--name value", "--" ends the options, and "-" is an operand.
#ifndef KIVLOGGING_TOOLS_KIVLOG_ARGUMENTCURSOR_H
#define KIVLOGGING_TOOLS_KIVLOG_ARGUMENTCURSOR_H

#include <optional>
#include <string>
#include <vector>

namespace kivlog {

class ArgumentCursor {
public:
    ArgumentCursor(const std::vector<std::string>& arguments, size_t first);

    // Moves to the next argument; false when none is left.
    bool Next();
    // Whether the current argument is an option rather than an operand.
    bool IsOption() const { return m_isOption; }
    // The option's name ("--level" of "--level=ERROR"), or the operand.
    const std::string& Name() const { return m_name; }
    // Takes the option's value: what follows '=', or else the next
    // argument. False when there is none.
    bool TakeValue(std::string* value);
    // Whether the option was given "=value" that nothing took: an error for
    // a switch.
    bool HasUntakenValue() const { return m_inlineValue.has_value(); }

private:
    const std::vector<std::string>& m_arguments;
    size_t m_next;
    bool m_optionsEnded = false;
    bool m_isOption = false;
    std::string m_name;
    std::optional<std::string> m_inlineValue;
};

}  // namespace kivlog

#endif  // KIVLOGGING_TOOLS_KIVLOG_ARGUMENTCURSOR_H
