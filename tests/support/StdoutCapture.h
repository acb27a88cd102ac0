// Captures everything written to standard output (file descriptor 1, which
// std::cout reaches through stdio) while the object lives.
#ifndef KIVLOGGING_TESTS_SUPPORT_STDOUTCAPTURE_H
#define KIVLOGGING_TESTS_SUPPORT_STDOUTCAPTURE_H

#include <string>

#include "support/TempDirectory.h"

namespace kivtest {

class StdoutCapture {
public:
    StdoutCapture();
    ~StdoutCapture();
    StdoutCapture(const StdoutCapture&) = delete;
    StdoutCapture& operator=(const StdoutCapture&) = delete;

    // Ends the capture (once) and returns what was written.
    std::string Finish();

private:
    TempDirectory m_directory;
    int m_savedDescriptor = -1;
    std::string m_captured;
};

}  // namespace kivtest

#endif  // KIVLOGGING_TESTS_SUPPORT_STDOUTCAPTURE_H
