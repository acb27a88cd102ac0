#include "OpenFileBudget.h"

#include "LogReader.h"

namespace kivlog {

void OpenFileBudget::Opening(LogReader* reader) {
    while (m_byUse.size() >= m_limit) {
        LogReader* oldest = m_byUse.begin()->second;
        if (oldest == reader) break;
        oldest->CloseForNow();
    }
    Used(reader);
}

void OpenFileBudget::Used(LogReader* reader) {
    const auto known = m_lastUse.find(reader);
    if (known != m_lastUse.end()) {
        m_byUse.erase({known->second, reader});
        known->second = ++m_clock;
    } else {
        m_lastUse.emplace(reader, ++m_clock);
    }
    m_byUse.insert({m_clock, reader});
}

void OpenFileBudget::Closed(LogReader* reader) {
    const auto known = m_lastUse.find(reader);
    if (known == m_lastUse.end()) return;
    m_byUse.erase({known->second, reader});
    m_lastUse.erase(known);
}

}  // namespace kivlog
