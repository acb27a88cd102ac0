#include "Stats.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "Histogram.h"
#include "Output.h"
#include "Reading.h"
#include "TimeText.h"
#include "ToolPlatform.h"

namespace kivlog {
namespace {

// Methods counted by name at most; later new names count together, so that
// a log of garbage cannot make the table grow without end.
constexpr size_t kMostMethods = 100000;
constexpr size_t kBusiestShown = 5;
constexpr int kBarWidth = 40;

struct Summary {
    int inputs = 0;
    std::uint64_t levels[kLevelCount] = {};
    std::uint64_t messages = 0;
    std::uint64_t raw = 0;
    std::uint64_t torn = 0;
    std::uint64_t banners = 0;
    TimeKey first = 0;
    TimeKey last = 0;
    std::map<std::string, std::uint64_t, std::less<>> methods;
    std::uint64_t otherMethods = 0;
    Histogram histogram;

    void Add(const Record& record) {
        // A record too long to hold counts once, by its first piece; that
        // it was passed on in pieces does not make it torn.
        if (record.isLaterPiece) return;
        if (record.torn && !record.continues) ++torn;
        if (record.kind == RecordKind::kBanner) {
            ++banners;
            return;
        }
        if (record.kind == RecordKind::kRaw) {
            ++raw;
            return;
        }
        ++messages;
        ++levels[static_cast<size_t>(record.level)];
        first = first == 0 ? record.time : std::min(first, record.time);
        last = std::max(last, record.time);
        const auto known = methods.find(record.method);
        if (known != methods.end()) {
            ++known->second;
        } else if (methods.size() < kMostMethods) {
            methods.emplace(std::string(record.method), 1);
        } else {
            ++otherMethods;
        }
        histogram.Add(record.time, record.level);
    }

    std::string Text() const {
        std::string out;
        char line[256];
        std::snprintf(line, sizeof line,
                      "inputs: %d\nrecords: %llu messages, %llu raw, %llu torn, %llu banners\n", inputs,
                      static_cast<unsigned long long>(messages), static_cast<unsigned long long>(raw),
                      static_cast<unsigned long long>(torn), static_cast<unsigned long long>(banners));
        out += line;
        out += "levels:";
        for (int level = 0; level < kLevelCount; ++level) {
            out += std::string(" ") + LevelName(static_cast<Level>(level)) + " " + std::to_string(levels[level]);
        }
        out += "\n";
        if (messages > 0) out += "first: " + IsoTime(first) + "\nlast:  " + IsoTime(last) + "\n";
        std::vector<std::pair<std::uint64_t, std::string>> busiest;
        for (const auto& [method, count] : methods) busiest.emplace_back(count, method);
        // The most messages first, then by name.
        std::sort(busiest.begin(), busiest.end(),
                  [](const auto& a, const auto& b) { return a.first != b.first ? a.first > b.first : a.second < b.second; });
        if (!busiest.empty()) out += "busiest methods:\n";
        for (size_t i = 0; i < busiest.size() && i < kBusiestShown; ++i) {
            std::snprintf(line, sizeof line, "%10llu  ", static_cast<unsigned long long>(busiest[i].first));
            out += line;
            out += busiest[i].second;
            out += '\n';
        }
        if (otherMethods > 0) {
            out += std::to_string(otherMethods);
            out += " more messages of methods not counted by name\n";
        }
        if (messages > 0) {
            out += '\n';
            out += histogram.Draw(kBarWidth);
        }
        return out;
    }
};

}  // namespace

int RunStats(const ReadOptions& options) {
    Summary summary;
    RecordSinks sinks;
    sinks.onInput = [&](int, const std::string&) { ++summary.inputs; };
    sinks.onRecord = [&](const Record& record) { summary.Add(record); };
    const int status = ReadRecords(options, sinks);
    Output output(StandardOutputIsTerminal());
    output.Write(summary.Text());
    if (!output.Flush()) {
        std::fprintf(stderr, "kivlog: cannot write to standard output\n");
        return 1;
    }
    return status;
}

}  // namespace kivlog
