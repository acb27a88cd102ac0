#include "Output.h"

#include <cstdio>

#include "ProblemReport.h"

namespace kivlog {
namespace {

constexpr size_t kBufferSize = 1 << 20;

}  // namespace

Output::Output(bool escapeControls) : m_escapeControls(escapeControls) {
    // The buffer here is the only one: each flush is one write.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    m_buffer.reserve(kBufferSize + kBufferSize / 4);
}

Output::~Output() {
    Flush();
}

void Output::Write(std::string_view bytes) {
    if (m_escapeControls) {
        AppendTerminalSafe(m_buffer, bytes);
    } else {
        m_buffer.append(bytes);
    }
    if (m_buffer.size() >= kBufferSize) Flush();
}

bool Output::Flush() {
    if (!m_buffer.empty() && !m_failed) {
        m_failed = std::fwrite(m_buffer.data(), 1, m_buffer.size(), stdout) != m_buffer.size() ||
                   std::fflush(stdout) != 0;
    }
    m_buffer.clear();
    return !m_failed;
}

}  // namespace kivlog
