#include "LastRecords.h"

namespace kivlog {
namespace {

// The view, which lies within from, moved to the same place within to.
std::string_view Moved(std::string_view view, std::string_view from, const std::string& to) {
    if (view.empty()) return {};
    return std::string_view(to).substr(static_cast<size_t>(view.data() - from.data()), view.size());
}

}  // namespace

void LastRecords::Keep(const Record& record) {
    if (m_count == 0) return;
    if (m_kept.size() == m_count) m_kept.pop_front();
    Kept& kept = m_kept.emplace_back();
    kept.bytes.assign(record.bytes);
    kept.record = record;
    Record& copy = kept.record;
    copy.bytes = kept.bytes;
    copy.method = Moved(record.method, record.bytes, kept.bytes);
    copy.marking = Moved(record.marking, record.bytes, kept.bytes);
    copy.text = Moved(record.text, record.bytes, kept.bytes);
    copy.body = Moved(record.body, record.bytes, kept.bytes);
}

void LastRecords::Release(const std::function<void(const Record&)>& onRecord) {
    for (const Kept& kept : m_kept) onRecord(kept.record);
    m_kept.clear();
}

}  // namespace kivlog
