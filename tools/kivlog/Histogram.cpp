#include "Histogram.h"

#include <algorithm>
#include <cstdio>

#include "TimeText.h"

namespace kivlog {
namespace {

struct Interval {
    std::int64_t seconds;
    const char* name;
};
constexpr Interval kLadder[] = {{1, "second"},      {10, "10 seconds"}, {60, "minute"},
                                {600, "10 minutes"}, {3600, "hour"},      {21600, "6 hours"},
                                {86400, "day"},      {604800, "week"},    {2592000, "30 days"}};
constexpr size_t kSteps = sizeof kLadder / sizeof kLadder[0];
// Bins kept before the resolution coarsens, and rows drawn at most.
constexpr size_t kMostBins = 4096;
constexpr std::int64_t kMostRows = 30;

// The bar's character per level: errors stand out.
constexpr char kBarCharacters[kLevelCount] = {'.', '-', 'w', 'E', 'F'};

// The bin of a time, rounding down also before 1970.
std::int64_t BinOf(std::int64_t seconds, std::int64_t interval) {
    const std::int64_t bin = seconds / interval;
    return bin * interval > seconds ? bin - 1 : bin;
}

}  // namespace

void Histogram::Add(TimeKey time, Level level) {
    m_bins[BinOf(SecondsOf(time), kLadder[m_step].seconds)][static_cast<size_t>(level)]++;
    if (m_bins.size() > kMostBins && m_step + 1 < kSteps) {
        m_bins = Rebinned(m_step, m_step + 1);
        ++m_step;
    }
}

std::map<std::int64_t, Histogram::Counts> Histogram::Rebinned(size_t from, size_t to) const {
    std::map<std::int64_t, Counts> result;
    for (const auto& [bin, counts] : m_bins) {
        Counts& target = result[BinOf(bin * kLadder[from].seconds, kLadder[to].seconds)];
        for (int level = 0; level < kLevelCount; ++level) target[level] += counts[level];
    }
    return result;
}

std::string Histogram::Draw(int width) const {
    if (m_bins.empty()) return "";
    const std::int64_t first = m_bins.begin()->first * kLadder[m_step].seconds;
    const std::int64_t last = m_bins.rbegin()->first * kLadder[m_step].seconds;
    size_t step = m_step;
    while (step + 1 < kSteps && (last - first) / kLadder[step].seconds >= kMostRows) ++step;
    const std::map<std::int64_t, Counts> bins = step == m_step ? m_bins : Rebinned(m_step, step);
    std::uint64_t largest = 1;
    for (const auto& [bin, counts] : bins) {
        std::uint64_t total = 0;
        for (const std::uint64_t count : counts) total += count;
        largest = std::max(largest, total);
    }
    std::string out = std::string("messages per ") + kLadder[step].name +
                      " (bar: . DEBUG, - INFO, w WARN, E ERROR, F FATAL)\n" +
                      "start                  DEBUG   INFO   WARN  ERROR  FATAL\n";
    const std::int64_t interval = kLadder[step].seconds;
    // Empty intervals show while they fit; a span too long for even the
    // coarsest interval shows its non-empty ones only.
    const bool everyInterval = bins.rbegin()->first - bins.begin()->first < kMostRows * 4;
    if (!everyInterval) out += "(intervals without messages are left out)\n";
    for (std::int64_t bin = bins.begin()->first; bin <= bins.rbegin()->first; ++bin) {
        const auto found = everyInterval ? bins.find(bin) : bins.lower_bound(bin);
        if (!everyInterval) bin = found->first;
        const Counts counts = found == bins.end() || found->first != bin ? Counts{} : found->second;
        char row[128];
        std::snprintf(row, sizeof row, "%s %6llu %6llu %6llu %6llu %6llu  ", IsoTime(TimeOfSeconds(bin * interval)).c_str(),
                      static_cast<unsigned long long>(counts[0]), static_cast<unsigned long long>(counts[1]),
                      static_cast<unsigned long long>(counts[2]), static_cast<unsigned long long>(counts[3]),
                      static_cast<unsigned long long>(counts[4]));
        out += row;
        // The most severe levels first; every level present shows.
        for (int level = kLevelCount - 1; level >= 0; --level) {
            if (counts[level] == 0) continue;
            const auto length = std::max<std::uint64_t>(1, counts[level] * width / largest);
            out.append(length, kBarCharacters[level]);
        }
        out += '\n';
    }
    return out;
}

}  // namespace kivlog
