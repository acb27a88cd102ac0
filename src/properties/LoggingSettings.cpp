#include "properties/LoggingSettings.h"

#include <logging/MsgLog.h>
#include <logging/MsgLogThreshold.h>

#include "core/MsgLevel.h"
#include "core/ProcessSettings.h"
#include "core/TextHelpers.h"
#include "platform/Platform.h"
#include "properties/DiskLimits.h"
#include "properties/PropertyStore.h"

namespace ORVA::KIV::System::Utility::Logging {
namespace {
using Key = IMsgLog::PropertyKey;

// Only "kiv.logging" is stored when no properties file was found.
bool NoPropertiesFileFound(const PropertyMap& store) {
    return store.size() <= 1 && store.count(Key::KIV_LOGGING) == 1;
}

const char* Answer(const PropertyMap& store, const std::string& key) {
    const auto entry = store.find(key);
    if (entry == store.end()) return nullptr;
    const std::string& value = entry->second;
    if (key == Key::DYNAMIC_LOGGING || key == Key::LOGGING_STATUS) {
        if (value == kOnText) return kOnText;
        if (value == kOffText) return kOffText;
    }
    if (key == Key::LOGGING_LEVEL) return NormalizeMsgLevel(value.c_str());
    return value.c_str();
}

// Computes the settings in a fixed order, on the thread that loads the
// library, before any caller can reach it.
void StartUp() {
    Platform::NoteFileSizeLimit();
    FixDefaultLoggingStatus();
    PropertyStore();
    g_loggingTurnedOn = ReadLoggingStatus(&g_loggingTurnedOn);
    g_pLoggingLevel = ReadLoggingLevel(&g_pLoggingLevel, &g_loggingLevelCode);
    g_severityThreshold.store(ThresholdOf(*LoadLoggingSystemProperties(nullptr)), std::memory_order_relaxed);
    try {
        SetProcessDiskLimits(DiskLimitsOf(*LoadLoggingSystemProperties(nullptr)));
    } catch (...) {
        // Out of memory: no limits, as without the keys.
    }
}

struct LibraryStartUp {
    LibraryStartUp() noexcept { StartUp(); }
};
const LibraryStartUp c_startUp;

}  // namespace

bool LoggingStatusOf(const PropertyMap& store) {
    // The built-in default is off, and only "on" changes it.
    if (store.empty() || NoPropertiesFileFound(store)) return false;
    const auto status = store.find(Key::LOGGING_STATUS);
    return status != store.end() && status->second == kOnText;
}

const char* LoggingLevelOf(const PropertyMap& store) {
    if (NoPropertiesFileFound(store)) return IMsgLog::MsgLevel::LOGGING_FATAL;
    const auto configured = store.find(Key::LOGGING_LEVEL);
    if (configured == store.end()) return IMsgLog::MsgLevel::LOGGING_DEBUG;
    return NormalizeMsgLevel(configured->second.c_str());
}

int ThresholdOf(const PropertyMap& store) {
    const auto threshold = store.find(MsgLogThreshold::PROPERTY_KEY);
    return threshold == store.end() ? KIVLOGGING_LEVEL_DEBUG : MsgLevelSeverity(MsgLevelCode(threshold->second.c_str()));
}

bool ReadLoggingStatus(bool* pLoggingTurnedOn) {
    const bool turnedOn = LoggingStatusOf(*LoadLoggingSystemProperties(nullptr));
    if (pLoggingTurnedOn != nullptr) *pLoggingTurnedOn = turnedOn;
    return turnedOn;
}

const char* ReadLoggingLevel(const char** pLoggingLevel, int* pLoggingLevelCode) {
    const char* level = LoggingLevelOf(*LoadLoggingSystemProperties(nullptr));
    if (pLoggingLevel != nullptr) *pLoggingLevel = level;
    if (pLoggingLevelCode != nullptr) *pLoggingLevelCode = MsgLevelCode(level);
    return level;
}

const char* IMsgLog::GetLoggingSystemProperty(const char* const key) {
    if (key == nullptr || key[0] == '\0') return nullptr;
    try {
        const std::string trimmed = ApplyTrimmingRule(key);
        if (trimmed.empty()) return nullptr;
        if (DynamicLoggingIsOn()) {
            std::lock_guard<std::mutex> lock(PropertyStoreMutex());
            return Answer(*LoadLoggingSystemProperties(nullptr), trimmed);
        }
        return Answer(*LoadLoggingSystemProperties(nullptr), trimmed);
    } catch (...) {
        return nullptr;
    }
}

}  // namespace ORVA::KIV::System::Utility::Logging
