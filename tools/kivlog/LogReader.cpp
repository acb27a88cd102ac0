#include "LogReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

#include "TerminalText.h"

namespace kivlog {
namespace {

// Bytes asked for per read: large reads keep system calls rare.
constexpr size_t kLargestChunk = 1 << 20;

// Whether the last record of followed data may be passed on: a whole one,
// whose closing line ends have arrived. Raw text in console output (no
// banner) is whole with one line end.
bool IsWhole(std::string_view bytes, bool inFileLog) {
    Record last;
    last.bytes = bytes;
    DescribeRecord(last, inFileLog);
    return !last.torn;
}

}  // namespace

LogReader::LogReader(std::string path, int input, size_t limit)
    : m_path(std::move(path)),
      m_input(input),
      m_limit(limit),
      m_chunk(std::min(kLargestChunk, limit / 4)),
      m_capacity(limit + m_chunk) {}

LogReader::~LogReader() {
    if (m_file != nullptr && m_file != stdin) std::fclose(m_file);
}

bool LogReader::Open() {
    m_file = m_path == "-" ? stdin : std::fopen(m_path.c_str(), "rb");
    if (m_file == nullptr) {
        ReportProblem(m_path, std::string("cannot open: ") + std::strerror(errno));
        m_failed = true;
        return false;
    }
    // Reads go straight into the buffer.
    std::setvbuf(m_file, nullptr, _IONBF, 0);
    m_buffer = std::make_unique_for_overwrite<char[]>(m_capacity);
    return true;
}

void LogReader::Warn(const std::string& problem, std::uint64_t line) {
    ReportProblem(m_path, "line " + std::to_string(line) + ": " + problem);
}

bool LogReader::Fill() {
    // The unread rest, usually part of one record, moves to the front, so
    // that reads reuse the same cache-warm memory.
    if (m_begin > 0) {
        std::memmove(m_buffer.get(), m_buffer.get() + m_begin, m_end - m_begin);
        m_cursor.position -= m_begin;
        m_end -= m_begin;
        m_begin = 0;
    }
    const size_t room = std::min(m_chunk, m_capacity - m_end);
    const size_t got = std::fread(m_buffer.get() + m_end, 1, room, m_file);
    m_end += got;
    m_bytesRead += got;
    if (got == 0 && std::ferror(m_file)) {
        ReportProblem(m_path, std::string("read failed: ") + std::strerror(errno));
        m_failed = true;
        m_atEnd = true;
    }
    if (got == 0) std::clearerr(m_file);
    return got > 0;
}

void LogReader::RestartIfTruncated() {
    std::error_code error;
    if (m_file == stdin || std::filesystem::file_size(m_path, error) >= m_bytesRead || error) return;
    ReportProblem(m_path, "the file was truncated; reading it again from the start");
    std::fseek(m_file, 0, SEEK_SET);
    m_begin = m_end = m_bytesRead = m_lineFeedsBefore = 0;
    m_cursor = ScanCursor();
    m_inFileLog = m_afterPiece = false;
}

LogReader::Step LogReader::Emit(size_t end, bool continues, Record* record) {
    // Field by field: clearing the whole record costs more than reading it.
    record->bytes = std::string_view(m_buffer.get() + m_begin, end - m_begin);
    record->input = m_input;
    const bool startsWithLineEnd = !m_afterPiece && LineEndLength(record->bytes) > 0;
    record->line = 1 + m_lineFeedsBefore + (startsWithLineEnd ? 1 : 0);
    // The last record of the input is described anyway: it may be cut. The
    // time is kept, so that merging orders the other records as it would.
    std::optional<TimeKey> stamp;
    if (m_passOverBelow && !m_afterPiece && !continues && !(m_atEnd && end == m_end) &&
        StartsBelowLevel(record->bytes, *m_passOverBelow, m_keepTimesPassedOver ? &stamp : nullptr)) {
        if (stamp) m_lastTime = *stamp;
        record->kind = RecordKind::kRaw;
        record->time = m_lastTime;
        record->body = record->text = record->marking = record->method = {};
        record->torn = record->continues = false;
        m_lineFeedsBefore = m_cursor.lineFeeds;
        m_begin = end;
        return Step::kRecord;
    }
    if (m_afterPiece) {
        record->kind = RecordKind::kRaw;
        record->body = record->text = record->bytes;
        record->marking = record->method = {};
        record->torn = true;
    } else {
        DescribeRecord(*record, m_inFileLog);
        if (record->kind == RecordKind::kBanner) m_inFileLog = true;
    }
    record->continues = continues;
    if (continues) record->torn = true;
    if (m_atEnd && end == m_end && record->torn && !m_afterPiece) {
        Warn("the input ends inside a record (an unfinished or failed write)", record->line);
    }
    if (record->kind == RecordKind::kRaw) {
        record->time = m_lastTime;
        if (!m_warnedBinary && std::memchr(record->bytes.data(), '\0', record->bytes.size()) != nullptr) {
            m_warnedBinary = true;
            Warn("binary data (NUL bytes); read as raw text", record->line);
        }
    } else {
        m_lastTime = record->time;
    }
    m_afterPiece = continues;
    m_lineFeedsBefore = m_cursor.lineFeeds;
    m_begin = end;
    return Step::kRecord;
}

LogReader::Step LogReader::Next(bool follow, bool settle, Record* record) {
    if (m_file == nullptr) return Step::kFinished;
    for (;;) {
        const std::string_view data(m_buffer.get(), m_end);
        size_t boundary = 0;
        const ScanCursor before = m_cursor;
        const bool atEnd = m_atEnd || (follow && settle && m_begin < m_end);
        switch (FindRecordEnd(data, m_begin, atEnd, m_cursor, &boundary)) {
            case ScanResult::kBoundary:
                return Emit(boundary, false, record);
            case ScanResult::kEnd:
                if (m_begin == m_end) return follow && !m_atEnd ? Step::kWaiting : Step::kFinished;
                if (!m_atEnd && !IsWhole(data.substr(m_begin), m_inFileLog)) {
                    // A followed file that stopped inside a record: read
                    // on, or wait for the rest.
                    m_cursor = before;
                    if (Fill()) continue;
                    return Step::kWaiting;
                }
                return Emit(m_end, false, record);
            case ScanResult::kNeedMore:
                break;
        }
        if (m_end - m_begin >= m_limit) {
            // Too long to hold: pass on what is there and read on.
            if (!m_warnedLong) {
                m_warnedLong = true;
                Warn("a record longer than " + std::to_string(m_limit >> 20) +
                         " MiB; passed on in pieces",
                     1 + m_lineFeedsBefore);
            }
            size_t cut = m_cursor.position;
            if (cut <= m_begin) {
                cut = m_end;
                m_cursor.lineFeeds += static_cast<std::uint64_t>(
                    std::count(m_buffer.get() + m_cursor.position, m_buffer.get() + m_end, '\n'));
                m_cursor.position = m_end;
            }
            return Emit(cut, true, record);
        }
        if (!Fill() && !m_atEnd) {
            if (!follow) {
                m_atEnd = true;
            } else {
                RestartIfTruncated();
                if (!settle || m_begin == m_end) return Step::kWaiting;
            }
        }
    }
}

}  // namespace kivlog
