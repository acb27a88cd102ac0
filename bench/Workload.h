// The message every benchmark writes, and the ways each competitor is made
// to write it in the same layout, so that all do the same work.
#ifndef KIVLOGGING_BENCH_WORKLOAD_H
#define KIVLOGGING_BENCH_WORKLOAD_H

#include <algorithm>
#include <cstddef>
#include <ctime>
#include <vector>

#if defined(KIVLOG_BENCH_WITH_SPDLOG)
#include <spdlog/spdlog.h>
#endif

namespace kivbench {

inline constexpr char kMethod[] = "Reader::Open";
inline constexpr char kMarking[] = "(U) ";

// "file missing <i>" into a caller's buffer.
const char* MessageText(char (&buffer)[64], int i);

// The whole WARN message of text i as the library lays it out, composed in
// line, for writing it without a logger: the physical limit. Keeps the time
// stamp of the last second it formatted.
class DirectMessage {
public:
    // Returns the length; line holds at least 256 bytes.
    size_t Compose(char* line, int i);

private:
    std::time_t m_second = -1;
    char m_stamp[32] = {};
};

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

#if defined(KIVLOG_BENCH_WITH_SPDLOG)
// The library's two-line layout for spdlog's warn("{}:\n{}{}", method,
// marking, text), flushed after every message.
inline constexpr char kKivLayout[] = "\n(U) WARN [%Y/%m/%d %H:%M:%S] %v";

void UseKivLayout(spdlog::logger& logger, const char* pattern);
#endif

}  // namespace kivbench

#endif  // KIVLOGGING_BENCH_WORKLOAD_H
