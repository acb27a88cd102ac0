// Feeds arbitrary bytes to kivlog's readers of untrusted text: the record
// grammar, as one block and as a reader that gets the data in two reads,
// and the command line with its times and sizes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "Grammar.h"
#include "Options.h"
#include "Prune.h"
#include "TimeText.h"

namespace {

constexpr kivlog::TimeKey kNow = 20240305070809;

// The record boundaries of data, read as a reader does: the first `shown`
// bytes, then all of it.
std::vector<size_t> Boundaries(std::string_view data, size_t shown) {
    std::vector<size_t> boundaries;
    kivlog::ScanCursor cursor;
    size_t start = 0;
    for (bool atEnd = false;;) {
        const std::string_view visible = atEnd ? data : data.substr(0, shown);
        size_t boundary = 0;
        switch (kivlog::FindRecordEnd(visible, start, atEnd, cursor, &boundary)) {
            case kivlog::ScanResult::kBoundary:
                // Every record holds at least one byte.
                if (boundary <= start) std::abort();
                boundaries.push_back(boundary);
                start = boundary;
                break;
            case kivlog::ScanResult::kEnd:
                if (!atEnd) std::abort();
                return boundaries;
            case kivlog::ScanResult::kNeedMore:
                if (atEnd) std::abort();
                atEnd = true;
                break;
        }
    }
}

void CheckGrammar(std::string_view data, size_t shown) {
    const std::vector<size_t> whole = Boundaries(data, data.size());
    // Where the data is cut between reads changes no boundary.
    if (Boundaries(data, shown) != whole) std::abort();
    size_t start = 0;
    for (size_t i = 0; i <= whole.size(); ++i) {
        const size_t end = i < whole.size() ? whole[i] : data.size();
        kivlog::Record record;
        record.bytes = data.substr(start, end - start);
        kivlog::DescribeRecord(record, i % 2 == 0);
        // The fields lie within the record's bytes.
        for (const std::string_view field : {record.body, record.text, record.marking, record.method}) {
            if (!field.empty() &&
                (field.data() < record.bytes.data() ||
                 field.data() + field.size() > record.bytes.data() + record.bytes.size())) {
                std::abort();
            }
        }
        std::optional<kivlog::TimeKey> time;
        kivlog::StartsBelowLevel(record.bytes, kivlog::Level::kFatal, &time);
        start = end;
    }
}

void CheckTime(std::string_view text) {
    kivlog::TimeKey time = 0;
    if (!kivlog::ParseTimeArgument(text, false, kNow, &time)) return;
    // A time that was read is one of the calendar: written and read again,
    // it is the same.
    kivlog::TimeKey again = 0;
    if (time >= 0 && time < 100000000000000 &&
        (!kivlog::ParseTimeArgument(kivlog::IsoTime(time), false, kNow, &again) || again != time)) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    if (size == 0) return 0;
    const std::string_view data(reinterpret_cast<const char*>(bytes) + 1, size - 1);
    CheckGrammar(data, data.size() * bytes[0] / 256);

    // The same bytes as a command line: arguments split at NUL bytes.
    std::vector<std::string> arguments{"kivlog"};
    for (size_t start = 0; start <= data.size();) {
        const size_t end = std::min(data.find('\0', start), data.size());
        arguments.emplace_back(data.substr(start, end - start));
        start = end + 1;
    }
    for (size_t i = 1; i < arguments.size(); ++i) CheckTime(arguments[i]);
    kivlog::ReadOptions options;
    std::string error;
    kivlog::ParseReadOptions(arguments, 1, true, &options, &error);
    kivlog::PruneOptions prune;
    kivlog::ParsePruneOptions(arguments, 1, &prune, &error);
    return 0;
}
