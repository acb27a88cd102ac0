#include "retention/LogRetention.h"

#include <algorithm>

namespace ORVA::KIV::System::Utility::Logging {
namespace {

constexpr std::string_view kPrefix = "kiv.log_";
constexpr std::string_view kSuffix = ".log";
constexpr std::string_view kStampShape = "dddd-dd-dd_dd_dd_dd";
constexpr std::int64_t kSecondsPerDay = 86400;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int DaysInMonth(int year, int month) {
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    return month == 2 && leap ? 29 : kDays[month - 1];
}

bool IsDefaultName(const std::string& name) {
    return DefaultLogFileVariant(name) > 0;
}

std::string JoinPath(const std::string& directory, const std::string& name) {
    if (directory.empty()) return name;
    const char last = directory.back();
    return last == '/' || last == Platform::kPathSeparator ? directory + name
                                                           : directory + Platform::kPathSeparator + name;
}

}  // namespace

int DefaultLogFileVariant(std::string_view name) {
    if (name.size() < kPrefix.size() + kStampShape.size() + kSuffix.size() ||
        name.substr(0, kPrefix.size()) != kPrefix || name.substr(name.size() - kSuffix.size()) != kSuffix) {
        return 0;
    }
    const std::string_view stamp = name.substr(kPrefix.size(), kStampShape.size());
    for (size_t i = 0; i < kStampShape.size(); ++i) {
        if (kStampShape[i] == 'd' ? !IsDigit(stamp[i]) : stamp[i] != kStampShape[i]) return 0;
    }
    // A time no clock shows makes a name of another form, which is never
    // deleted: month, day of that month, hour, minute and second (a leap
    // second too).
    const auto field = [stamp](size_t at) { return (stamp[at] - '0') * 10 + (stamp[at + 1] - '0'); };
    const int year = field(0) * 100 + field(2);
    const int month = field(5);
    if (month < 1 || month > 12 || field(8) < 1 || field(8) > DaysInMonth(year, month) || field(11) > 23 ||
        field(14) > 59 || field(17) > 60) {
        return 0;
    }
    std::string_view variant = name.substr(kPrefix.size() + kStampShape.size());
    variant.remove_suffix(kSuffix.size());
    if (variant.empty()) return 1;
    if (variant.size() < 2 || variant.size() > 4 || variant[0] != '_' || variant[1] == '0' ||
        !std::all_of(variant.begin() + 1, variant.end(), IsDigit)) {
        return 0;
    }
    int number = 0;
    for (const char digit : variant.substr(1)) number = number * 10 + (digit - '0');
    return number >= 2 ? number : 0;
}

std::optional<std::uint64_t> ParseAmount(std::string_view text, bool withSuffix) {
    int shift = 0;
    if (withSuffix && !text.empty()) {
        const std::string_view suffixes = "KMG";
        const char last = text.back() >= 'a' && text.back() <= 'z' ? static_cast<char>(text.back() - 'a' + 'A')
                                                                    : text.back();
        const size_t suffix = suffixes.find(last);
        if (suffix != std::string_view::npos) {
            shift = 10 * static_cast<int>(suffix + 1);
            text.remove_suffix(1);
        }
    }
    // Nineteen digits never overflow 64 bits, and the largest amount taken
    // (an exabyte) has nineteen.
    if (text.empty() || text.size() > 19 || !std::all_of(text.begin(), text.end(), IsDigit)) return std::nullopt;
    std::uint64_t number = 0;
    for (const char digit : text) number = number * 10 + static_cast<std::uint64_t>(digit - '0');
    if (number > (kMostRetentionBytes >> shift)) return std::nullopt;
    return number << shift;
}

bool ListDefaultLogFiles(const std::string& directory, std::vector<Platform::DirectoryEntry>* files,
                         std::string* reason) {
    std::vector<Platform::DirectoryEntry> entries;
    if (!Platform::ListDirectory(directory, IsDefaultName, &entries, reason)) return false;
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [](const Platform::DirectoryEntry& entry) { return !entry.regular; }),
                  entries.end());
    // Names of one second differ only by their "_N".
    const size_t stampEnd = kPrefix.size() + kStampShape.size();
    std::sort(entries.begin(), entries.end(), [stampEnd](const Platform::DirectoryEntry& a,
                                                         const Platform::DirectoryEntry& b) {
        const int order = a.name.compare(0, stampEnd, b.name, 0, stampEnd);
        if (order != 0) return order < 0;
        return DefaultLogFileVariant(a.name) < DefaultLogFileVariant(b.name);
    });
    *files = std::move(entries);
    return true;
}

std::vector<bool> PickedByLimits(const RetentionLimits& limits,
                                 const std::vector<Platform::DirectoryEntry>& files, std::int64_t now) {
    std::vector<bool> picked(files.size(), false);
    std::uint64_t newerBytes = 0;
    for (size_t i = files.size(); i-- > 0;) {
        const size_t newer = files.size() - 1 - i;
        if (limits.maxFiles && newer >= *limits.maxFiles) picked[i] = true;
        if (limits.maxAgeDays) {
            const std::uint64_t days = std::min(*limits.maxAgeDays, kMostRetentionDays);
            if (now - files[i].writtenAt >= static_cast<std::int64_t>(days) * kSecondsPerDay) picked[i] = true;
        }
        if (limits.maxTotalBytes) {
            newerBytes += std::min(files[i].size, kMostRetentionBytes);
            if (newerBytes > *limits.maxTotalBytes) picked[i] = true;
        }
    }
    return picked;
}

bool ApplyRetention(const std::string& directory, const RetentionLimits& limits, std::string_view spare,
                    bool onlyCheck, std::vector<RetentionOutcome>* outcomes, std::string* reason) {
    std::vector<Platform::DirectoryEntry> files;
    if (!ListDefaultLogFiles(directory, &files, reason)) return false;
    const std::vector<bool> picked = PickedByLimits(limits, files, Platform::SecondsNow());
    for (size_t i = 0; i < files.size(); ++i) {
        if (!picked[i] || files[i].name == spare) continue;
        RetentionOutcome outcome;
        outcome.path = JoinPath(directory, files[i].name);
        outcome.removal = Platform::RemoveUnlessInUse(outcome.path, onlyCheck, &outcome.reason);
        if (outcomes != nullptr) outcomes->push_back(std::move(outcome));
    }
    return true;
}

}  // namespace ORVA::KIV::System::Utility::Logging
