#include "properties/PropertiesReader.h"

#include <logging/MsgLog.h>
#include <logging/MsgLogThreshold.h>

#include <bitset>
#include <optional>

#include "core/MsgLevel.h"
#include "core/TextHelpers.h"
#include "platform/Platform.h"
#include "properties/DirectoryText.h"
#include "properties/DiskLimits.h"
#include "properties/PathExistence.h"
#include "properties/LogFileLocation.h"
#include "properties/LoggerList.h"
#include "properties/PropertyLine.h"

namespace ORVA::KIV::System::Utility::Logging {
namespace {
using Key = IMsgLog::PropertyKey;

// The keys a file may set, in the order lines are matched against them.
enum FileKey {
    kDynamicKey, kLogDirKey, kLoggersKey, kLevelKey, kStatusKey, kThresholdKey,
    kMaxFileSizeKeyIndex, kMaxFilesKeyIndex, kMaxTotalSizeKeyIndex, kMaxAgeKeyIndex, kFileKeyCount
};
const char* const c_maxFileSizeKey = kMaxFileSizeKey;
const char* const c_maxFilesKey = kMaxFilesKey;
const char* const c_maxTotalSizeKey = kMaxTotalSizeKey;
const char* const c_maxAgeKey = kMaxAgeKey;
const char* const* const kFileKeys[kFileKeyCount] = {
    &Key::DYNAMIC_LOGGING, &Key::LOG_DIR, &Key::LOGGERS, &Key::LOGGING_LEVEL,
    &Key::LOGGING_STATUS, &MsgLogThreshold::PROPERTY_KEY,
    &c_maxFileSizeKey, &c_maxFilesKey, &c_maxTotalSizeKey, &c_maxAgeKey,
};

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The state of one reading of the file.
struct Reading {
    unsigned acceptedLines = 0;
    std::bitset<kFileKeyCount> accepted;
    bool dynamicLogging = false;
};

// The key's index, or kFileKeyCount for no key of the file.
int FindFileKey(std::string_view key) {
    int index = 0;
    while (index < kFileKeyCount && key != *kFileKeys[index]) ++index;
    return index;
}

// Why a key that matches none is no key: a known key in disguise, or not.
LineVerdict DiagnoseUnknownKey(std::string_view key, unsigned lineNumber) {
    if (FindFileKey(ToLowerAscii(key)) != kFileKeyCount) return LineVerdict::kKeyInOtherCase;
    if (lineNumber == 1 && key.substr(0, kByteOrderMark.size()) == kByteOrderMark &&
        FindFileKey(TrimString(key.substr(kByteOrderMark.size()), false, true)) != kFileKeyCount) {
        return LineVerdict::kByteOrderMark;
    }
    if (!key.empty() && IsWhiteSpace(key.front()) &&
        FindFileKey(TrimString(key, false, true)) != kFileKeyCount) {
        return LineVerdict::kWhiteSpaceBeforeKey;
    }
    return LineVerdict::kUnknownKey;
}

// "on" or "off" in any ASCII case, trimmed by the trimming rule.
const char* SwitchValue(std::string_view value) {
    const std::string_view trimmed = TrimmedByRule(value);
    if (trimmed.size() > 3) return nullptr;
    const std::string lowered = ToLowerAscii(trimmed);
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
        case kThresholdKey: {
            // No level name is longer than this; longer values need no copy.
            constexpr size_t kLongestLevelName = 5;
            const std::string_view trimmed = TrimmedByRule(value);
            if (trimmed.size() > kLongestLevelName) return std::nullopt;
            if (const char* level = FindMsgLevelName(ToUpperAscii(trimmed))) return std::string(level);
            return std::nullopt;
        }
        case kLogDirKey:
            return AcceptLogDirectory(value);
        case kLoggersKey:
            return StoredLoggerList(value);
        case kMaxFileSizeKeyIndex:
        case kMaxFilesKeyIndex:
        case kMaxTotalSizeKeyIndex:
        case kMaxAgeKeyIndex:
            return AcceptedDiskLimit(*kFileKeys[key], value);
    }
    return std::nullopt;
}

// Handles one parsed line; returns its verdict and, when accepted, what was
// stored.
LineVerdict HandleLine(const PropertyLine& parsed, unsigned lineNumber, Reading& reading,
                       PropertyMap& store, const std::string** stored, bool diagnose) {
    switch (parsed.kind) {
        case LineKind::kEmpty: return LineVerdict::kEmpty;
        case LineKind::kComment: return LineVerdict::kComment;
        case LineKind::kNoEqualsSign: return LineVerdict::kNoEqualsSign;
        case LineKind::kEmptyKey: return LineVerdict::kEmptyKey;
        case LineKind::kKeyValue: break;
    }
    const int key = FindFileKey(parsed.key);
    if (key == kFileKeyCount) {
        return diagnose ? DiagnoseUnknownKey(parsed.key, lineNumber) : LineVerdict::kUnknownKey;
    }
    if (reading.accepted[key]) return LineVerdict::kKeyAlreadyTaken;
    // The stored value is read as a C string: a NUL would cut it short (a
    // log directory would lose its end and name another place).
    if (parsed.value.find('\0') != std::string_view::npos) return LineVerdict::kNulInValue;
    std::optional<std::string> value = AcceptedValue(key, parsed.value);
    if (!value) return key == kLogDirKey ? LineVerdict::kMissingDirectory : LineVerdict::kRejectedValue;
    ++reading.acceptedLines;
    reading.accepted[key] = true;
    if (key == kDynamicKey) reading.dynamicLogging = *value == kOnText;
    const char* name = *kFileKeys[key];
    if (key == kLogDirKey || key == kLoggersKey) {
        *stored = &store.emplace(name, std::move(*value)).first->second;
    } else {
        std::string& entry = store[name];
        entry = std::move(*value);
        *stored = &entry;
    }
    return LineVerdict::kAccepted;
}

// Reads lines until every key this reading can take is taken or the file
// ends. A carriage return before a line feed is dropped.
void ReadLines(std::string_view file, Reading& reading, PropertyMap& store, LoadObserver* observer) {
    static const std::string nothing;
    unsigned number = 0;
    while (reading.acceptedLines != kFileKeyCount && !file.empty()) {
        const size_t feed = file.find('\n');
        std::string_view line = file.substr(0, feed);
        file.remove_prefix(feed == std::string_view::npos ? file.size() : feed + 1);
        if (feed != std::string_view::npos && !line.empty() && line.back() == '\r') line.remove_suffix(1);
        const PropertyLine parsed = ParsePropertyLine(line);
        const std::string* stored = &nothing;
        const LineVerdict verdict =
            HandleLine(parsed, ++number, reading, store, &stored, observer != nullptr);
        if (observer != nullptr) observer->Line(number, line, verdict, parsed.key, *stored);
    }
    if (observer != nullptr && reading.acceptedLines == kFileKeyCount && !file.empty()) {
        observer->StoppedEarly(number);
    }
}

// Stores value under key unless the store has the key already.
void StoreDefault(PropertyMap& store, const char* key, const std::string& value,
                  LoadObserver* observer) {
    if (store.emplace(key, value).second && observer != nullptr) {
        observer->DefaultStored(key, value);
    }
}

void AddDefaults(const Reading& reading, const ReadingState& state, PropertyMap& store,
                 LoadObserver* observer) {
    StoreDefault(store, Key::DYNAMIC_LOGGING, reading.dynamicLogging ? kOnText : kOffText, observer);
    if (store.find(Key::LOG_DIR) == store.end()) {
        const std::optional<std::string> directory = DefaultLogDirectory();
        if (observer != nullptr) {
            observer->DefaultLogDirectory(CurrentUserHomeFolder(), directory.has_value());
        }
        if (directory) StoreDefault(store, Key::LOG_DIR, *directory, observer);
    }
    StoreDefault(store, Key::LOGGING_LEVEL, IMsgLog::DEFAULT_LOGGING_LEVEL, observer);
    StoreDefault(store, Key::LOGGING_STATUS, state.defaultStatus, observer);
}

FileOutcome Read(const std::string& path, PropertyMap& store, ReadingState& state,
                 LoadObserver* observer) {
    if (path.empty()) {
        store.emplace(Key::KIV_LOGGING, "false");
        return FileOutcome::kNoDirectory;
    }
    if (!PathExistsAfterTrimming(path.c_str())) {
        store.emplace(Key::KIV_LOGGING, "false");
        return FileOutcome::kMissing;
    }
    // A directory of that name exists but is no file to read. The file is
    // read whole through a descriptor that no child process inherits.
    std::string content;
    if (Platform::DirectoryExists(path.c_str())) return FileOutcome::kUnreadable;
    switch (Platform::ReadWholeFile(path.c_str(), &content)) {
        case Platform::FileRead::kRead: break;
        case Platform::FileRead::kCannotOpen: return FileOutcome::kUnreadable;
        case Platform::FileRead::kNotRegularFile: return FileOutcome::kNotRegularFile;
        case Platform::FileRead::kTooLarge: return FileOutcome::kTooLarge;
    }
    if (observer != nullptr) observer->PropertiesFile(path, FileOutcome::kRead);

    Reading reading;
    reading.dynamicLogging = state.dynamicLogging;
    if (state.laterReading) {
        reading.acceptedLines = 2;
        reading.accepted[kLogDirKey] = true;
        reading.accepted[kLoggersKey] = true;
    }
    try {
        ReadLines(content, reading, store, observer);
    } catch (...) {
        // Reading ends; the defaults below still fill the gaps.
    }
    state.dynamicLogging = reading.dynamicLogging;
    AddDefaults(reading, state, store, observer);
    return FileOutcome::kRead;
}

}  // namespace

FileOutcome ReadPropertiesFile(const std::string& path, PropertyMap& store, ReadingState& state,
                               LoadObserver* observer) {
    FileOutcome outcome = FileOutcome::kUnreadable;
    try {
        outcome = Read(path, store, state, observer);
    } catch (...) {
        // Out of memory: the store keeps what it has.
    }
    if (observer != nullptr && outcome != FileOutcome::kRead) observer->PropertiesFile(path, outcome);
    return outcome;
}

}  // namespace ORVA::KIV::System::Utility::Logging
