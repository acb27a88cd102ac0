// Keeps the number of input files open at once under a limit, so that a
// directory of thousands of files is read whatever the descriptor limit:
// when a reader must open its file and the limit is reached, the reader
// used least recently closes its file for now.
#ifndef KIVLOGGING_TOOLS_KIVLOG_OPENFILEBUDGET_H
#define KIVLOGGING_TOOLS_KIVLOG_OPENFILEBUDGET_H

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <utility>

namespace kivlog {

class LogReader;

class OpenFileBudget {
public:
    explicit OpenFileBudget(size_t limit) : m_limit(limit < 1 ? 1 : limit) {}

    // Before the reader opens its file: closes others' as needed.
    void Opening(LogReader* reader);
    // The reader read from its open file.
    void Used(LogReader* reader);
    // The reader closed its file.
    void Closed(LogReader* reader);

private:
    size_t m_limit;
    std::uint64_t m_clock = 0;
    // The open readers by their last use, and each one's last use.
    std::set<std::pair<std::uint64_t, LogReader*>> m_byUse;
    std::map<LogReader*, std::uint64_t> m_lastUse;
};

}  // namespace kivlog

#endif  // KIVLOGGING_TOOLS_KIVLOG_OPENFILEBUDGET_H
