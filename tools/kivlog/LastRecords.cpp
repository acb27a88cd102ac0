#include "LastRecords.h"

#include <algorithm>

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
    // A later piece joins the first pieces of its record, which merging
    // may have set apart from it by records of other inputs.
    auto ownRecord = m_kept.rend();
    if (record.isLaterPiece) {
        ownRecord = std::find_if(m_kept.rbegin(), m_kept.rend(), [&](const Kept& kept) {
            return kept.back().record.input == record.input && kept.back().record.continues;
        });
    }
    Kept* kept = nullptr;
    if (ownRecord != m_kept.rend()) {
        kept = &*ownRecord;
    } else {
        if (m_kept.size() == m_count) m_kept.pop_front();
        kept = &m_kept.emplace_back();
    }
    Piece& piece = kept->emplace_back();
    piece.bytes.assign(record.bytes);
    piece.record = record;
    Record& copy = piece.record;
    copy.bytes = piece.bytes;
    copy.method = Moved(record.method, record.bytes, piece.bytes);
    copy.marking = Moved(record.marking, record.bytes, piece.bytes);
    copy.text = Moved(record.text, record.bytes, piece.bytes);
    copy.body = Moved(record.body, record.bytes, piece.bytes);
}

void LastRecords::Release(const std::function<void(const Record&)>& onRecord) {
    for (const Kept& kept : m_kept) {
        for (const Piece& piece : kept) onRecord(piece.record);
    }
    m_kept.clear();
}

}  // namespace kivlog
