// Reads the records of one input (a file or standard input) in order,
// through a buffer of bounded size: a record longer than the limit is
// passed on in pieces rather than held whole.
//
// Following, the reader follows the path rather than the open file: a file
// truncated in place is read again from its start; a file replaced under
// the same name (a new device and inode, or volume and file index) is read
// to its end and then the new one from its start; a file whose name is gone
// is closed, so that its space is freed.
#ifndef KIVLOGGING_TOOLS_KIVLOG_LOGREADER_H
#define KIVLOGGING_TOOLS_KIVLOG_LOGREADER_H

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "Grammar.h"
#include "OpenFileBudget.h"
#include "Record.h"
#include "ToolPlatform.h"

namespace kivlog {

class LogReader {
public:
    // path "-" is standard input. limit: the most bytes of one record held.
    // readSize: the most bytes read at a time, which the buffer starts at.
    // budget: shared by the readers of one run, not null.
    LogReader(std::string path, int input, size_t limit, size_t readSize, OpenFileBudget* budget);
    ~LogReader();
    LogReader(const LogReader&) = delete;
    LogReader& operator=(const LogReader&) = delete;

    enum class Step { kRecord, kWaiting, kFinished };
    // The next record, valid until the next call. follow: at the end of the
    // data, wait for more (kWaiting) instead of finishing. A followed
    // record is passed on once whole; the last one when the data has stood
    // still a moment and ends in a line end, or after a longer quiet, torn.
    // The file is opened on the first call; failing, the reason is on
    // standard error and the input finished.
    Step Next(bool follow, Record* record);

    // What becomes of the records passed over below the level.
    enum class PassedOver {
        // Given on as raw text with their times: following, the merge
        // places records as they arrive.
        kGiven,
        // Not given, but their times count toward OrderTime: merging
        // inputs read to their ends.
        kTimed,
        // Not given at all: one input needs no times.
        kDropped,
    };
    // Records that start like a message below the level are passed over
    // undescribed: they fail a filter of that level either way, and
    // describing every record costs more than reading it.
    void PassOverBelow(Level minimum, PassedOver passedOver) {
        m_passOverBelow = minimum;
        m_passedOver = passedOver;
    }

    // The latest time of the input's records up to the one given last,
    // passed over ones included. Merging by it places each record of other
    // inputs among this input's records as merging by their own times
    // would, even where a clock went back, whichever records are left out.
    TimeKey OrderTime() const { return m_orderTime; }

    // A followed file whose name is gone is finished rather than waited
    // for: a file found in a directory, which prune may delete.
    void FinishWhenGone() { m_finishWhenGone = true; }

    // Called before a read of a pipe (standard input) waits for its
    // writer, so that what was output so far is shown while it is quiet.
    void OnQuiet(std::function<void()> onQuiet) { m_onQuiet = std::move(onQuiet); }

    // Following other inputs too: a pipe is never waited on, which would
    // hold them up, but read as a followed file is, what is there, then
    // again in turn (kWaiting meanwhile).
    void NeverWaitOnPipe() { m_waitsOnPipe = false; }

    // Following: a record of another input, of the time newer, is ready.
    // The last record held back because the file may still grow is passed
    // on at the next call, without waiting for the file to stand still, if
    // it is no newer, whole, and the file has not grown meanwhile: its
    // writer has moved on, as at a rollover.
    void ReleaseHeldRecord(TimeKey newer) { m_releaseUpTo = newer; }

    // Closes the file until the next read, which opens it again where it
    // stopped (for the open file budget).
    void CloseForNow();

    const std::string& Path() const { return m_path; }
    // Whether reading failed part of the way.
    bool Failed() const { return m_failed; }
    // Whether the input finished because its name was gone.
    bool Gone() const { return m_gone; }
    // Whether data waits for more to be passed on (a record not yet whole).
    bool HoldsPartialRecord() const { return m_begin < m_end; }

private:
    using Clock = std::chrono::steady_clock;
    enum class PathState { kSame, kTruncated, kReplaced, kGone };

    // Opens the file (again) when it is not open; false when it cannot be.
    bool EnsureOpen();
    // Reads more bytes; false when none came.
    bool Fill();
    // Where the followed path stands against the open file.
    PathState LookAtPath();
    // Starts over on a new or truncated file.
    void Restart();
    void Close();
    // Passes over the record up to end when it starts below the level;
    // fills *record with it as raw text when such records are given.
    bool PassOver(size_t end, Record* record);
    Step Emit(size_t end, bool continues, Record* record);
    void Warn(const std::string& problem, std::uint64_t line);
    // The line a record that starts at m_begin is named by: its first line
    // with text.
    std::uint64_t LineOfRecord(std::string_view bytes) const;
    // The time the record held back at m_begin sorts by.
    TimeKey HeldRecordTime() const;

    std::string m_path;
    int m_input;
    size_t m_limit;
    size_t m_chunk;
    OpenFileBudget* m_budget;
    int m_file = kNoFile;
    bool m_isStandardInput;
    // The open (or last open) file, and whether anything was opened yet.
    FileFacts m_facts;
    bool m_opened = false;
    std::unique_ptr<char[]> m_buffer;
    size_t m_allocated = 0;
    size_t m_capacity;
    // The unread data is [m_begin, m_end); the current record starts at
    // m_begin.
    size_t m_begin = 0;
    size_t m_end = 0;
    ScanCursor m_cursor;
    // Line feeds before m_begin, and bytes of the file before m_end.
    std::uint64_t m_lineFeedsBefore = 0;
    std::uint64_t m_bytesRead = 0;
    Clock::time_point m_lastGrowth = Clock::now();
    // Set by ReleaseHeldRecord for the next call.
    std::optional<TimeKey> m_releaseUpTo;
    // The held record is decided on as if the data had stood still, until
    // the data grows.
    bool m_settledEarly = false;
    bool m_atEnd = false;
    bool m_following = false;
    // A pipe had nothing to read for a moment: what it gave is decided on.
    bool m_pipeQuiet = false;
    bool m_waitsOnPipe = true;
    // The followed file was replaced or removed: its rest is read as its
    // end, then the new file (or nothing).
    std::optional<PathState> m_leaving;
    // The followed name is gone; it is looked for again on each call.
    bool m_waitingForPath = false;
    bool m_wasGone = false;
    bool m_finishWhenGone = false;
    bool m_gone = false;
    bool m_failed = false;
    bool m_inFileLog = false;
    bool m_afterPiece = false;
    TimeKey m_lastTime = 0;
    TimeKey m_orderTime = 0;
    std::optional<Level> m_passOverBelow;
    PassedOver m_passedOver = PassedOver::kGiven;
    std::function<void()> m_onQuiet;
    // Each kind of warning once per input.
    bool m_warnedBinary = false;
    bool m_warnedLong = false;
};

}  // namespace kivlog

#endif  // KIVLOGGING_TOOLS_KIVLOG_LOGREADER_H
