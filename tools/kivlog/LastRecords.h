// The last records of a stream, kept as copies: what -n shows of the
// history before following on. A record too long to hold is passed on in
// pieces; its pieces are kept together and count as one record.
#ifndef KIVLOGGING_TOOLS_KIVLOG_LASTRECORDS_H
#define KIVLOGGING_TOOLS_KIVLOG_LASTRECORDS_H

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "Record.h"

namespace kivlog {

class LastRecords {
public:
    explicit LastRecords(size_t count) : m_count(count) {}

    // Keeps a copy of the record, dropping the oldest beyond the count.
    void Keep(const Record& record);
    // Hands each kept record over, oldest first, and forgets them.
    void Release(const std::function<void(const Record&)>& onRecord);

private:
    struct Piece {
        std::string bytes;
        Record record;
    };
    // The pieces of one record: one, unless it was too long to hold.
    using Kept = std::vector<Piece>;

    size_t m_count;
    std::deque<Kept> m_kept;
};

}  // namespace kivlog

#endif  // KIVLOGGING_TOOLS_KIVLOG_LASTRECORDS_H
