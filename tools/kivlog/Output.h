// Standard output through one large buffer. On a terminal, control
// characters other than line ends and tabs are shown escaped ("\x1b"), so
// that a crafted log text cannot drive the terminal.
#ifndef KIVLOGGING_TOOLS_KIVLOG_OUTPUT_H
#define KIVLOGGING_TOOLS_KIVLOG_OUTPUT_H

#include <string>
#include <string_view>

namespace kivlog {

class Output {
public:
    explicit Output(bool escapeControls);
    ~Output();
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    void Write(std::string_view bytes);
    // Hands everything buffered to the system; false once a write failed.
    bool Flush();

private:
    std::string m_buffer;
    bool m_escapeControls;
    bool m_failed = false;
};

}  // namespace kivlog

#endif  // KIVLOGGING_TOOLS_KIVLOG_OUTPUT_H
