#include "LogReader.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "ProblemReport.h"

namespace kivlog {
namespace {

// Bytes asked for per read: large reads keep system calls rare.
constexpr size_t kLargestChunk = 128 << 10;
// Followed data that stood still this long is taken as written: its last
// record is passed on once it ends in its line ends.
constexpr std::chrono::milliseconds kSettleAfter(200);
// A followed record still cut short after this long is passed on torn: its
// writer died in the middle of it.
constexpr std::chrono::seconds kTornAfter(2);

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

LogReader::LogReader(std::string path, int input, size_t limit, size_t readSize, OpenFileBudget* budget)
    : m_path(std::move(path)),
      m_input(input),
      m_limit(limit),
      m_chunk(std::min({kLargestChunk, limit / 4, readSize})),
      m_budget(budget),
      m_isStandardInput(m_path == "-"),
      m_capacity(limit + m_chunk) {}

LogReader::~LogReader() {
    Close();
}

void LogReader::Close() {
    if (m_file == kNoFile) return;
    if (!m_isStandardInput) {
        CloseFile(m_file);
        m_budget->Closed(this);
    }
    m_file = kNoFile;
}

void LogReader::CloseForNow() {
    Close();
}

bool LogReader::EnsureOpen() {
    if (m_file != kNoFile) return true;
    if (m_isStandardInput) {
        m_file = kStandardInput;
        FactsOfOpenFile(m_file, &m_facts);
        m_opened = true;
        return true;
    }
    m_budget->Opening(this);
    std::string reason;
    const int file = OpenForReading(m_path, &reason);
    FileFacts facts;
    const bool known = file != kNoFile && FactsOfOpenFile(file, &facts);
    const bool resuming = m_opened && !m_waitingForPath;
    if (file == kNoFile || (resuming && known && !facts.IsSameFile(m_facts))) {
        // Closed for the budget, the file went or was replaced meanwhile.
        CloseFile(file);
        m_budget->Closed(this);
        if (m_waitingForPath) return false;
        if (resuming) {
            m_leaving = file == kNoFile ? PathState::kGone : PathState::kReplaced;
            return false;
        }
        ReportProblem(m_path, "cannot open: " + reason);
        m_failed = m_atEnd = true;
        return false;
    }
    m_file = file;
    if (resuming && !SeekTo(m_file, m_bytesRead)) {
        ReportProblem(m_path, "cannot read on where it stopped");
        m_failed = m_atEnd = true;
        Close();
        return false;
    }
    if (m_waitingForPath && m_wasGone) ReportProblem(m_path, "the file is there again; reading it from its start");
    m_waitingForPath = m_wasGone = false;
    m_facts = facts;
    m_opened = true;
    return true;
}

void LogReader::Warn(const std::string& problem, std::uint64_t line) {
    ReportProblem(m_path, "line " + std::to_string(line) + ": " + problem);
}

bool LogReader::Fill() {
    if (m_leaving || !EnsureOpen()) return false;
    // The unread rest, usually part of one record, moves to the front, so
    // that reads reuse the same cache-warm memory.
    if (m_begin > 0) {
        std::memmove(m_buffer.get(), m_buffer.get() + m_begin, m_end - m_begin);
        m_cursor.position -= m_begin;
        m_end -= m_begin;
        m_begin = 0;
    }
    // The buffer grows with the records it must hold, up to the limit: most
    // inputs of a large merge never need more than one read's room.
    if ((m_end == m_allocated || m_allocated == 0) && m_allocated < m_capacity) {
        const size_t grown = std::min(m_capacity, std::max(m_allocated * 2, m_chunk));
        auto buffer = std::make_unique_for_overwrite<char[]>(grown);
        if (m_end > 0) std::memcpy(buffer.get(), m_buffer.get(), m_end);
        m_buffer = std::move(buffer);
        m_allocated = grown;
    }
    if (!m_facts.regular && !WaitForInput(m_file, 0)) {
        // What was output so far is shown before a read waits for the
        // writer, however busy the writer is.
        if (m_onQuiet) m_onQuiet();
        // Followed beside other inputs, a pipe is read as a followed file
        // is: what is there, then again in turn.
        if (!m_waitsOnPipe) return false;
        // A pipe that stays quiet a moment may stay so for long: its last
        // record is decided on as it stands.
        if (!m_pipeQuiet && !WaitForInput(m_file, static_cast<int>(kSettleAfter.count()))) {
            m_pipeQuiet = true;
            return false;
        }
    }
    std::string reason;
    const size_t wanted = std::min(m_chunk, m_allocated - m_end);
    const long long got = ReadSome(m_file, m_buffer.get() + m_end, wanted, &reason);
    if (!m_isStandardInput) m_budget->Used(this);
    if (got < 0) {
        ReportProblem(m_path, "read failed: " + reason);
        m_failed = m_atEnd = true;
        return false;
    }
    if (got == 0) {
        // The end of a pipe is for good; a file may grow.
        if (!m_facts.regular) m_atEnd = true;
        return false;
    }
    // A regular file read short is at its end: unless followed, no read
    // is needed to find that out.
    if (m_facts.regular && !m_following && static_cast<size_t>(got) < wanted) m_atEnd = true;
    m_end += static_cast<size_t>(got);
    m_bytesRead += static_cast<std::uint64_t>(got);
    m_lastGrowth = Clock::now();
    m_pipeQuiet = m_settledEarly = false;
    return true;
}

LogReader::PathState LogReader::LookAtPath() {
    if (m_isStandardInput) return PathState::kSame;
    // A file renamed over the open one leaves the open one deleted: the
    // name decides whether the file was replaced or is gone.
    FileFacts open;
    const bool deleted = FactsOfOpenFile(m_file, &open) && open.deleted;
    FileFacts named;
    const bool hasName = FactsOfPath(m_path, &named);
    if (hasName && !named.IsSameFile(m_facts)) return PathState::kReplaced;
    if (deleted || !hasName) return PathState::kGone;
    return named.size < m_bytesRead ? PathState::kTruncated : PathState::kSame;
}

void LogReader::Restart() {
    m_begin = m_end = 0;
    m_bytesRead = m_lineFeedsBefore = 0;
    m_cursor = ScanCursor();
    m_inFileLog = m_afterPiece = false;
    m_atEnd = m_settledEarly = false;
}

std::uint64_t LogReader::LineOfRecord(std::string_view bytes) const {
    const bool startsWithLineEnd = !m_afterPiece && LineEndLength(bytes) > 0;
    return 1 + m_lineFeedsBefore + (startsWithLineEnd ? 1 : 0);
}

bool LogReader::PassOver(size_t end, Record* record) {
    // The last record of the input is described anyway: it may be cut.
    if (!m_passOverBelow || m_afterPiece || (m_atEnd && end == m_end)) return false;
    const std::string_view bytes(m_buffer.get() + m_begin, end - m_begin);
    const bool timed = m_passedOver != PassedOver::kDropped;
    std::optional<TimeKey> stamp;
    if (!StartsBelowLevel(bytes, *m_passOverBelow, timed ? &stamp : nullptr)) return false;
    if (stamp) {
        m_lastTime = *stamp;
        m_orderTime = std::max(m_orderTime, *stamp);
    }
    if (m_passedOver == PassedOver::kGiven) {
        record->bytes = bytes;
        record->input = m_input;
        record->line = LineOfRecord(bytes);
        record->kind = RecordKind::kRaw;
        record->time = m_lastTime;
        record->body = record->text = record->marking = record->method = {};
        record->torn = record->continues = record->isLaterPiece = false;
    }
    m_lineFeedsBefore = m_cursor.lineFeeds;
    m_begin = end;
    return true;
}

TimeKey LogReader::HeldRecordTime() const {
    Record held;
    held.bytes = std::string_view(m_buffer.get() + m_begin, m_end - m_begin);
    DescribeRecord(held, m_inFileLog);
    return std::max(m_orderTime, held.kind == RecordKind::kRaw || m_afterPiece ? m_lastTime : held.time);
}

LogReader::Step LogReader::Emit(size_t end, bool continues, Record* record) {
    // Field by field: clearing the whole record costs more than reading it.
    record->bytes = std::string_view(m_buffer.get() + m_begin, end - m_begin);
    record->input = m_input;
    record->line = LineOfRecord(record->bytes);
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
    record->isLaterPiece = m_afterPiece;
    if (continues) record->torn = true;
    if ((m_atEnd || m_leaving) && end == m_end && record->torn && !m_afterPiece) {
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
    m_orderTime = std::max(m_orderTime, record->time);
    m_afterPiece = continues;
    m_lineFeedsBefore = m_cursor.lineFeeds;
    m_begin = end;
    return Step::kRecord;
}

LogReader::Step LogReader::Next(bool follow, Record* record) {
    m_following = follow;
    const std::optional<TimeKey> releaseUpTo = std::exchange(m_releaseUpTo, std::nullopt);
    for (;;) {
        if (m_leaving && m_begin == m_end) {
            // The old file is read to its end: on to the new one, or wait
            // for the name to come back.
            const PathState leaving = *m_leaving;
            m_leaving.reset();
            Close();
            Restart();
            m_waitingForPath = true;
            if (leaving == PathState::kReplaced) {
                ReportProblem(m_path, "replaced by a new file; reading that from its start");
                continue;
            }
            if (m_finishWhenGone) {
                m_gone = true;
                return Step::kFinished;
            }
            m_wasGone = true;
            ReportProblem(m_path, "the file is gone; waiting for it to come back");
            return Step::kWaiting;
        }
        const std::string_view data(m_buffer.get(), m_end);
        size_t boundary = 0;
        const ScanCursor before = m_cursor;
        // Only following looks at the clock: it would cost a call per record.
        const Clock::duration quiet = follow ? Clock::now() - m_lastGrowth : Clock::duration::zero();
        const bool ending = m_atEnd || m_leaving.has_value();
        const bool settled = quiet >= kSettleAfter || m_settledEarly;
        const bool atEnd = ending || ((m_pipeQuiet || (follow && settled)) && m_begin < m_end);
        switch (FindRecordEnd(data, m_begin, atEnd, m_cursor, &boundary)) {
            case ScanResult::kBoundary:
                if (!PassOver(boundary, record)) return Emit(boundary, false, record);
                if (m_passedOver == PassedOver::kGiven) return Step::kRecord;
                continue;
            case ScanResult::kEnd:
                if (m_begin == m_end) return follow && !m_atEnd ? Step::kWaiting : Step::kFinished;
                if (!ending && !IsWhole(data.substr(m_begin), m_inFileLog)) {
                    // A followed file that stopped inside a record: read
                    // on, or wait for the rest.
                    m_cursor = before;
                    if (Fill() || m_atEnd || m_leaving || m_pipeQuiet) continue;
                    if (quiet < kTornAfter) return Step::kWaiting;
                    Warn("the writer stopped inside a record; passed on torn",
                         LineOfRecord(data.substr(m_begin)));
                    FindRecordEnd(std::string_view(m_buffer.get(), m_end), m_begin, true, m_cursor, &boundary);
                }
                if (!PassOver(m_end, record)) return Emit(m_end, false, record);
                if (m_passedOver == PassedOver::kGiven) return Step::kRecord;
                continue;
            case ScanResult::kNeedMore:
                break;
        }
        if (m_end - m_begin >= m_limit) {
            // Too long to hold: pass on what is there and read on.
            if (!m_warnedLong) {
                m_warnedLong = true;
                const std::string limit = m_limit >= (1 << 20) ? std::to_string(m_limit >> 20) + " MiB"
                                                               : std::to_string(m_limit >> 10) + " KiB";
                Warn("a record longer than " + limit + "; passed on in pieces",
                     LineOfRecord(data.substr(m_begin)));
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
        if (Fill() || m_atEnd || m_leaving || m_pipeQuiet) continue;
        if (m_waitingForPath) return Step::kWaiting;
        if (!follow) {
            m_atEnd = true;
            continue;
        }
        const PathState path = LookAtPath();
        if (path == PathState::kTruncated) {
            ReportProblem(m_path, "the file was truncated; reading it again from the start");
            SeekTo(m_file, 0);
            Restart();
            continue;
        }
        if (path != PathState::kSame) {
            m_leaving = path;
            continue;
        }
        if (m_begin == m_end) return Step::kWaiting;
        if (Clock::now() - m_lastGrowth < kSettleAfter && !m_settledEarly) {
            // Read up to the end just now: the held record is decided on if
            // a newer record is ready elsewhere.
            if (!releaseUpTo || HeldRecordTime() > *releaseUpTo) return Step::kWaiting;
            m_settledEarly = true;
        }
    }
}

}  // namespace kivlog
