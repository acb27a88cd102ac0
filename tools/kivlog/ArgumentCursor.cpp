#include "ArgumentCursor.h"

namespace kivlog {

ArgumentCursor::ArgumentCursor(const std::vector<std::string>& arguments, size_t first)
    : m_arguments(arguments), m_next(first) {}

bool ArgumentCursor::Next() {
    for (;;) {
        if (m_next >= m_arguments.size()) return false;
        const std::string& argument = m_arguments[m_next++];
        m_inlineValue.reset();
        if (!m_optionsEnded && argument == "--") {
            m_optionsEnded = true;
            continue;
        }
        m_isOption = !m_optionsEnded && argument.size() > 1 && argument[0] == '-';
        const size_t equals = argument.find('=');
        if (m_isOption && argument.compare(0, 2, "--") == 0 && equals != std::string::npos) {
            m_name = argument.substr(0, equals);
            m_inlineValue = argument.substr(equals + 1);
        } else {
            m_name = argument;
        }
        return true;
    }
}

bool ArgumentCursor::TakeValue(std::string* value) {
    if (m_inlineValue) {
        *value = std::move(*m_inlineValue);
        m_inlineValue.reset();
        return true;
    }
    if (m_next >= m_arguments.size()) return false;
    *value = m_arguments[m_next++];
    return true;
}

}  // namespace kivlog
