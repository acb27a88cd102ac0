#include "properties/PropertyStore.h"

#include <logging/MsgLog.h>

#include <atomic>
#include <fstream>
#include <optional>

#include "core/MsgLevel.h"
#include "core/TextHelpers.h"
#include "platform/Platform.h"
#include "properties/ConfigDirectory.h"
#include "properties/DirectoryText.h"
#include "properties/LogFileLocation.h"
#include "properties/LoggerList.h"
#include "properties/PropertyLine.h"

namespace ORVA::KIV::System::Utility::Logging {
namespace {
using Key = IMsgLog::PropertyKey;

// The keys a file may set, in the order lines are matched against them.
enum FileKey { kDynamicKey, kLogDirKey, kLoggersKey, kLevelKey, kStatusKey, kFileKeyCount };
const char* const* const kFileKeys[kFileKeyCount] = {
    &Key::DYNAMIC_LOGGING, &Key::LOG_DIR, &Key::LOGGERS, &Key::LOGGING_LEVEL,
    &Key::LOGGING_STATUS,
};

constexpr bool c_defaultLoggingTurnedOn = false;
const char* c_defaultLoggingStatus = kOffText;

// Load state; published with release so that a reader that sees dynamic
// logging off also sees the finished store.
std::atomic<bool> c_propertiesLoaded{false};
std::atomic<bool> c_dynamicLogging{false};

// The state of one reading of the file.
struct Reading {
    unsigned acceptedLines = 0;
    bool accepted[kFileKeyCount] = {};
    bool dynamicLogging = false;
};

int FindFileKey(std::string_view key) {
    for (int index = 0; index < kFileKeyCount; ++index) {
        if (key == *kFileKeys[index]) return index;
    }
    return -1;
}

// "on" or "off" in any ASCII case, trimmed by the trimming rule.
const char* SwitchValue(std::string_view value) {
    const std::string lowered = ToLowerAscii(ApplyTrimmingRule(value));
    if (lowered == kOnText) return kOnText;
    if (lowered == kOffText) return kOffText;
    return nullptr;
}

// The value to store for a key, or nullopt when the value is rejected.
std::optional<std::string> AcceptedValue(int key, std::string_view value) {
    switch (key) {
        case kDynamicKey:
        case kStatusKey:
            if (const char* text = SwitchValue(value)) return std::string(text);
            return std::nullopt;
        case kLevelKey:
            if (const char* level = FindMsgLevelName(ToUpperAscii(ApplyTrimmingRule(value)))) {
                return std::string(level);
            }
            return std::nullopt;
        case kLogDirKey:
            return AcceptLogDirectory(value);
        case kLoggersKey:
            return StoredLoggerList(value);
    }
    return std::nullopt;
}

void HandleLine(std::string_view line, Reading& reading, PropertyMap& store) {
    const PropertyLine parsed = ParsePropertyLine(line);
    if (parsed.kind != LineKind::kKeyValue) return;
    const int key = FindFileKey(parsed.key);
    if (key < 0 || reading.accepted[key]) return;
    std::optional<std::string> value = AcceptedValue(key, parsed.value);
    if (!value) return;
    ++reading.acceptedLines;
    reading.accepted[key] = true;
    if (key == kDynamicKey) reading.dynamicLogging = *value == kOnText;
    if (key == kLogDirKey || key == kLoggersKey) {
        store.emplace(*kFileKeys[key], std::move(*value));
    } else {
        store[*kFileKeys[key]] = std::move(*value);
    }
}

// Reads lines until every key this reading can take is taken, the file
// ends, or reading fails. A carriage return before a line feed is dropped.
void ReadLines(std::istream& file, Reading& reading, PropertyMap& store) {
    std::string line;
    while (reading.acceptedLines != kFileKeyCount && std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r' && !file.eof()) line.pop_back();
        HandleLine(line, reading, store);
    }
}

void AddDefaults(const Reading& reading, PropertyMap& store) {
    store.emplace(Key::DYNAMIC_LOGGING, reading.dynamicLogging ? kOnText : kOffText);
    if (store.find(Key::LOG_DIR) == store.end()) {
        if (std::optional<std::string> directory = DefaultLogDirectory()) {
            store.emplace(Key::LOG_DIR, std::move(*directory));
        }
    }
    store.emplace(Key::LOGGING_LEVEL, IMsgLog::DEFAULT_LOGGING_LEVEL);
    store.emplace(Key::LOGGING_STATUS, c_defaultLoggingStatus);
}

void Load(PropertyMap& store) {
    const bool laterReading = c_propertiesLoaded.load(std::memory_order_acquire);
    Reading reading;
    reading.dynamicLogging = c_dynamicLogging.load(std::memory_order_relaxed);
    try {
        const std::string directory = GetSystemConfigDirectory();
        const std::string path = directory + kPropertiesFileName;
        if (directory.empty() || !FileExists(path.c_str())) {
            store.emplace(Key::KIV_LOGGING, "false");
        } else {
            // A directory of that name exists but is no file to read.
            std::ifstream file;
            if (!Platform::DirectoryExists(path.c_str())) {
                file.open(path, std::ios::in | std::ios::binary);
            }
            if (file.is_open()) {
                if (laterReading) {
                    reading.acceptedLines = 2;
                    reading.accepted[kLogDirKey] = true;
                    reading.accepted[kLoggersKey] = true;
                }
                try {
                    ReadLines(file, reading, store);
                } catch (...) {
                    // Reading ends; the defaults below still fill the gaps.
                }
                file.close();
                AddDefaults(reading, store);
            }
        }
    } catch (...) {
        // Out of memory: the store keeps what it has.
    }
    c_dynamicLogging.store(reading.dynamicLogging, std::memory_order_release);
    c_propertiesLoaded.store(true, std::memory_order_release);
}

}  // namespace

void FixDefaultLoggingStatus() {
    c_defaultLoggingStatus = c_defaultLoggingTurnedOn ? kOnText : kOffText;
}

PropertyMap& PropertyStore() {
    static PropertyMap* const store = new PropertyMap;
    return *store;
}

std::mutex& PropertyStoreMutex() {
    static std::mutex mutex;
    return mutex;
}

bool DynamicLoggingIsOn() {
    return c_dynamicLogging.load(std::memory_order_acquire);
}

PropertyMap* LoadLoggingSystemProperties(bool* pDynamic) {
    PropertyMap& store = PropertyStore();
    if (!c_propertiesLoaded.load(std::memory_order_acquire) || DynamicLoggingIsOn()) {
        Load(store);
    }
    if (pDynamic != nullptr) *pDynamic = DynamicLoggingIsOn();
    return &store;
}

}  // namespace ORVA::KIV::System::Utility::Logging
