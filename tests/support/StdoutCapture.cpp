#include "support/StdoutCapture.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "support/PlatformFacts.h"

namespace kivtest {

StdoutCapture::StdoutCapture() {
    std::cout.flush();
    std::fflush(stdout);
    m_savedDescriptor = dup(1);
    const int capture = open(m_directory.File("stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(capture, 1);
    close(capture);
}

StdoutCapture::~StdoutCapture() {
    Finish();
}

std::string StdoutCapture::Finish() {
    if (m_savedDescriptor >= 0) {
        std::cout.flush();
        std::fflush(stdout);
        dup2(m_savedDescriptor, 1);
        close(m_savedDescriptor);
        m_savedDescriptor = -1;
        // Standard output is a text-mode stream: on Windows the C runtime
        // writes CR LF for each line feed.
        m_captured = FromFileText(ReadFile(m_directory.File("stdout")));
    }
    return m_captured;
}

}  // namespace kivtest
