#include "OpenFileBudget.h"

#include "LogReader.h"

namespace kivlog {

void OpenFileBudget::Opening(LogReader* reader) {
    while (m_byUse.size() >= m_limit) {
        LogReader* oldest = m_byUse.front();
        if (oldest == reader) break;
        oldest->CloseForNow();
    }
    Used(reader);
}

void OpenFileBudget::Used(LogReader* reader) {
    const auto known = m_places.find(reader);
    if (known != m_places.end()) {
        m_byUse.splice(m_byUse.end(), m_byUse, known->second);
    } else {
        m_places.emplace(reader, m_byUse.insert(m_byUse.end(), reader));
    }
}

void OpenFileBudget::Closed(LogReader* reader) {
    const auto known = m_places.find(reader);
    if (known == m_places.end()) return;
    m_byUse.erase(known->second);
    m_places.erase(known);
}

}  // namespace kivlog
