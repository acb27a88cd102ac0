// Keeps the number of input files open at once under a limit, so that a
// directory of thousands of files is read whatever the descriptor limit:
// when a reader must open its file and the limit is reached, the reader
// used least recently closes its file for now.
#ifndef KIVLOGGING_TOOLS_KIVLOG_OPENFILEBUDGET_H
#define KIVLOGGING_TOOLS_KIVLOG_OPENFILEBUDGET_H

#include <cstddef>
#include <list>
#include <unordered_map>

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
    // The open readers, used least recently first, and where each one
    // stands: a use moves a reader to the back without allocating.
    std::list<LogReader*> m_byUse;
    std::unordered_map<LogReader*, std::list<LogReader*>::iterator> m_places;
};

}  // namespace kivlog

#endif  // KIVLOGGING_TOOLS_KIVLOG_OPENFILEBUDGET_H
