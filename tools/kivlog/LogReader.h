// Reads the records of one input (a file or standard input) in order,
// through a buffer of bounded size: a record longer than the limit is
// passed on in pieces rather than held whole.
#ifndef KIVLOGGING_TOOLS_KIVLOG_LOGREADER_H
#define KIVLOGGING_TOOLS_KIVLOG_LOGREADER_H

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "Grammar.h"
#include "Record.h"

namespace kivlog {

class LogReader {
public:
    // path "-" is standard input. limit: the most bytes of one record held.
    LogReader(std::string path, int input, size_t limit);
    ~LogReader();
    LogReader(const LogReader&) = delete;
    LogReader& operator=(const LogReader&) = delete;

    // Opens the input; false (and the reason on standard error) when it
    // cannot be read.
    bool Open();

    enum class Step { kRecord, kWaiting, kFinished };
    // The next record, valid until the next call. follow: at the end of the
    // data, wait for more (kWaiting) instead of finishing; settle: while
    // following, take the data as it stands as whole when its last record
    // ends in a line end.
    Step Next(bool follow, bool settle, Record* record);

    // Records that start like a message below the level are given as raw
    // text, undescribed: they fail a filter of that level either way, and
    // describing every record costs more than reading it. keepTimes: their
    // times are still read, for merging with other inputs.
    void PassOverBelow(Level minimum, bool keepTimes) {
        m_passOverBelow = minimum;
        m_keepTimesPassedOver = keepTimes;
    }

    const std::string& Path() const { return m_path; }
    // Whether reading failed part of the way.
    bool Failed() const { return m_failed; }

private:
    // Reads more bytes; false when none came.
    bool Fill();
    // Starts over when a followed file was truncated.
    void RestartIfTruncated();
    Step Emit(size_t end, bool continues, Record* record);
    void Warn(const std::string& problem, std::uint64_t line);

    std::string m_path;
    int m_input;
    size_t m_limit;
    size_t m_chunk;
    std::FILE* m_file = nullptr;
    std::unique_ptr<char[]> m_buffer;
    size_t m_capacity;
    // The unread data is [m_begin, m_end); the current record starts at
    // m_begin.
    size_t m_begin = 0;
    size_t m_end = 0;
    ScanCursor m_cursor;
    // Line feeds before m_begin, and bytes of the input before m_end.
    std::uint64_t m_lineFeedsBefore = 0;
    std::uint64_t m_bytesRead = 0;
    bool m_atEnd = false;
    bool m_failed = false;
    bool m_inFileLog = false;
    bool m_afterPiece = false;
    TimeKey m_lastTime = 0;
    std::optional<Level> m_passOverBelow;
    bool m_keepTimesPassedOver = true;
    // Each kind of warning once per input.
    bool m_warnedBinary = false;
    bool m_warnedLong = false;
};

}  // namespace kivlog

#endif  // KIVLOGGING_TOOLS_KIVLOG_LOGREADER_H
