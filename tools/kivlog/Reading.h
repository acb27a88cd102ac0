// Reads the inputs and merges their records into one stream in time order.
#ifndef KIVLOGGING_TOOLS_KIVLOG_READING_H
#define KIVLOGGING_TOOLS_KIVLOG_READING_H

#include <functional>
#include <string>

#include "Options.h"
#include "Record.h"

namespace kivlog {

struct RecordSinks {
    // Called once per input before its first record.
    std::function<void(int input, const std::string& path)> onInput;
    // Each record that passes the filter, in merged order.
    std::function<void(const Record& record)> onRecord;
    // Each banner that does not pass it.
    std::function<void(const Record& banner)> onBannerLeftOut;
    // When there is nothing to pass on for now: every followed input has
    // been read up to its end, or standard input is quiet. False stops the
    // reading (the output has failed, as when its reader has gone).
    std::function<bool()> onIdle;
    // Following, once: every input has been read up to its end, with no
    // record partly there; what comes later is new.
    std::function<void()> onCaughtUp;
    // Following directories: inputs may be added while records are passed
    // on. Called before the first input.
    std::function<void()> onInputsMayAppear;
};

// Reads every input: files, the kiv.log_*.log files of directories, "-" for
// standard input. Records are merged by time, equal times keeping the order
// of the inputs and then of the records; raw text sorts with the record
// before it. Returns 0 when every input was read, 1 when some could not be.
// With follow it returns only when there is nothing left to follow.
int ReadRecords(const ReadOptions& options, const RecordSinks& sinks);

}  // namespace kivlog

#endif  // KIVLOGGING_TOOLS_KIVLOG_READING_H
