// The limits on log files on disk: the size at which the system logger's
// file moves on to a new one, and how many old default-named files stay.
// Computed once while the library loads; without the keys nothing changes.
#ifndef KIVLOGGING_PROPERTIES_DISKLIMITS_H
#define KIVLOGGING_PROPERTIES_DISKLIMITS_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "properties/PropertiesReader.h"
#include "retention/LogRetention.h"

namespace ORVA::KIV::System::Utility::Logging {

inline constexpr char kMaxFileSizeKey[] = "kiv.log.max.file.size";
inline constexpr char kMaxFilesKey[] = "kiv.log.max.files";
inline constexpr char kMaxTotalSizeKey[] = "kiv.log.max.total.size";
inline constexpr char kMaxAgeKey[] = "kiv.log.max.age";

// The smallest file size and total size taken: smaller ones would leave
// little room beside the banner.
inline constexpr std::uint64_t kSmallestFileSizeLimit = 64 * 1024;

struct DiskLimits {
    // The size a default-named file of the system logger stays within.
    std::optional<std::uint64_t> maxFileBytes;
    RetentionLimits retention;
};

// The stored value (a decimal number of bytes, files or days) for a value
// of one of the keys above, trimmed by the trimming rule; nullopt for a
// value the key does not take: malformed, zero, below its smallest, or
// beyond its largest (an exabyte, 100000 days).
std::optional<std::string> AcceptedDiskLimit(std::string_view key, std::string_view value);

// The limits a store gives.
DiskLimits DiskLimitsOf(const PropertyMap& store);

// The limits computed while the library loaded.
const DiskLimits& ProcessDiskLimits();
void SetProcessDiskLimits(const DiskLimits& limits);

}  // namespace ORVA::KIV::System::Utility::Logging

#endif  // KIVLOGGING_PROPERTIES_DISKLIMITS_H
