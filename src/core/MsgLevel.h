// Conversions between level names and level codes.
#ifndef KIVLOGGING_CORE_MSGLEVEL_H
#define KIVLOGGING_CORE_MSGLEVEL_H

#include <string_view>

namespace ORVA::KIV::System::Utility::Logging {

// The level name constant of a code; "DEBUG" for a code outside 0 to 4.
const char* MsgLevelName(int code);

// The severity number (KIVLOGGING_LEVEL_*) of a level code; DEBUG's for an
// unknown code.
int MsgLevelSeverity(int code);

// The level code for a name in any ASCII case, trimmed when it begins or
// ends with a blank; LOGGING_CODE_UNKNOWN for anything else.
int MsgLevelCode(const char* name);

// The level name constant spelled exactly (case-sensitive, no trimming) by
// the text, or null.
const char* FindMsgLevelName(std::string_view name);

// The level name constant spelled exactly by the name, else "DEBUG" (for a
// null name too). Stricter than IMsgLog::GetMsgLevelCode: "warn" and
// "WARN " give "DEBUG".
const char* NormalizeMsgLevel(const char* name);

}  // namespace ORVA::KIV::System::Utility::Logging

#endif  // KIVLOGGING_CORE_MSGLEVEL_H
