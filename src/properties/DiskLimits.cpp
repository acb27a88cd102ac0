#include "properties/DiskLimits.h"

#include "core/TextHelpers.h"

namespace ORVA::KIV::System::Utility::Logging {
namespace {

// Written once while the library loads, before any caller runs.
DiskLimits c_diskLimits;

std::optional<std::uint64_t> StoredNumber(const PropertyMap& store, const char* key) {
    const auto entry = store.find(key);
    if (entry == store.end()) return std::nullopt;
    return ParseAmount(entry->second, false);
}

}  // namespace

std::optional<std::string> AcceptedDiskLimit(std::string_view key, std::string_view value) {
    const bool isSize = key == kMaxFileSizeKey || key == kMaxTotalSizeKey;
    const std::optional<std::uint64_t> amount = ParseAmount(TrimmedByRule(value), isSize);
    if (!amount || *amount == 0) return std::nullopt;
    if (isSize && *amount < kSmallestFileSizeLimit) return std::nullopt;
    if (key == kMaxAgeKey && *amount > kMostRetentionDays) return std::nullopt;
    return std::to_string(*amount);
}

DiskLimits DiskLimitsOf(const PropertyMap& store) {
    DiskLimits limits;
    limits.maxFileBytes = StoredNumber(store, kMaxFileSizeKey);
    limits.retention.maxFiles = StoredNumber(store, kMaxFilesKey);
    limits.retention.maxTotalBytes = StoredNumber(store, kMaxTotalSizeKey);
    limits.retention.maxAgeDays = StoredNumber(store, kMaxAgeKey);
    return limits;
}

const DiskLimits& ProcessDiskLimits() {
    return c_diskLimits;
}

void SetProcessDiskLimits(const DiskLimits& limits) {
    c_diskLimits = limits;
}

}  // namespace ORVA::KIV::System::Utility::Logging
