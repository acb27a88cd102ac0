#include "core/MsgLevel.h"

#include <logging/MsgLog.h>
#include <logging/MsgLogThreshold.h>

#include "core/TextHelpers.h"

namespace ORVA::KIV::System::Utility::Logging {
namespace {
using Level = IMsgLog::MsgLevel;

struct LevelEntry {
    const char* const* name;
    const int* code;
    int severity;
};

// In the order of the codes, which is the alphabetical order of the names.
constexpr LevelEntry kLevels[] = {
    {&Level::LOGGING_DEBUG, &Level::LOGGING_CODE_DEBUG, KIVLOGGING_LEVEL_DEBUG},
    {&Level::LOGGING_ERROR, &Level::LOGGING_CODE_ERROR, KIVLOGGING_LEVEL_ERROR},
    {&Level::LOGGING_FATAL, &Level::LOGGING_CODE_FATAL, KIVLOGGING_LEVEL_FATAL},
    {&Level::LOGGING_INFO, &Level::LOGGING_CODE_INFO, KIVLOGGING_LEVEL_INFO},
    {&Level::LOGGING_WARN, &Level::LOGGING_CODE_WARN, KIVLOGGING_LEVEL_WARN},
};
}  // namespace

const char* FindMsgLevelName(std::string_view name) {
    for (const LevelEntry& level : kLevels) {
        if (name == *level.name) return *level.name;
    }
    return nullptr;
}

const char* NormalizeMsgLevel(const char* name) {
    const char* level = FindMsgLevelName(ViewOf(name));
    return level != nullptr ? level : IMsgLog::DEFAULT_LOGGING_LEVEL;
}

const char* MsgLevelName(int code) {
    for (const LevelEntry& level : kLevels) {
        if (code == *level.code) return *level.name;
    }
    return IMsgLog::DEFAULT_LOGGING_LEVEL;
}

int MsgLevelSeverity(int code) {
    for (const LevelEntry& level : kLevels) {
        if (code == *level.code) return level.severity;
    }
    return KIVLOGGING_LEVEL_DEBUG;
}

const char* IMsgLog::GetMsgLevel(int code) {
    return MsgLevelName(code);
}

int IMsgLog::GetMsgLevelCode(const char* name) {
    return MsgLevelCode(name);
}

int MsgLevelCode(const char* name) {
    const std::string canonical = ToUpperAscii(ApplyTrimmingRule(ViewOf(name)));
    for (const LevelEntry& level : kLevels) {
        if (canonical == *level.name) return *level.code;
    }
    return Level::LOGGING_CODE_UNKNOWN;
}

}  // namespace ORVA::KIV::System::Utility::Logging
