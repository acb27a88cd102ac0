// Which of the library's own log files in a directory may go, and deleting
// them: used by the file log when it opens a new file and by kivlog prune.
#ifndef KIVLOGGING_RETENTION_LOGRETENTION_H
#define KIVLOGGING_RETENTION_LOGRETENTION_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DirectoryEntries.h"

namespace ORVA::KIV::System::Utility::Logging {

// The N of a name the file log makes itself, "kiv.log_YYYY-MM-DD_hh_mm_ss.log"
// (1) or "kiv.log_YYYY-MM-DD_hh_mm_ss_N.log" (N from 2 to 999); 0 for any
// other name.
int DefaultLogFileVariant(std::string_view name);

// Limits on the default-named files of a directory; an absent one does not
// limit. The newest files that together keep every limit stay.
struct RetentionLimits {
    std::optional<std::uint64_t> maxFiles;
    std::optional<std::uint64_t> maxTotalBytes;
    // Files last written this many days ago or longer go.
    std::optional<std::uint64_t> maxAgeDays;

    bool Any() const { return maxFiles || maxTotalBytes || maxAgeDays; }
};

// Bounds that keep arithmetic on limits far from overflow: about 270 years,
// and an exabyte.
inline constexpr std::uint64_t kMostRetentionDays = 100000;
inline constexpr std::uint64_t kMostRetentionBytes = std::uint64_t{1} << 60;

// A decimal number of at most 18 digits, then, when withSuffix, an optional
// K, M or G (either case; powers of 1024); nullopt for anything else or an
// amount above kMostRetentionBytes.
std::optional<std::uint64_t> ParseAmount(std::string_view text, bool withSuffix);

// The regular default-named files of the directory (links and other kinds
// left out), oldest first: by the time in the name, then by N. False when
// the directory cannot be listed, with the reason in *reason.
bool ListDefaultLogFiles(const std::string& directory, std::vector<Platform::DirectoryEntry>* files,
                         std::string* reason);

// For each file (oldest first), whether the limits pick it to go at the
// time now (seconds since 1970).
std::vector<bool> PickedByLimits(const RetentionLimits& limits,
                                 const std::vector<Platform::DirectoryEntry>& files, std::int64_t now);

// What retention did, or would do, with one picked file.
struct RetentionOutcome {
    std::string path;
    Platform::Removal removal = Platform::Removal::kFailed;
    std::string reason;
};

// Deletes (or with onlyCheck, checks) the files the limits pick in the
// directory (a directory text ending in its separator, or a plain path),
// never the file named spare (the one this process writes), never a file a
// live process has open. False when the directory cannot be listed.
bool ApplyRetention(const std::string& directory, const RetentionLimits& limits, std::string_view spare,
                    bool onlyCheck, std::vector<RetentionOutcome>* outcomes, std::string* reason);

}  // namespace ORVA::KIV::System::Utility::Logging

#endif  // KIVLOGGING_RETENTION_LOGRETENTION_H
