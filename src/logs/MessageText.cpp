#include "logs/MessageText.h"

#include <logging/MsgLog.h>

#include "core/DateTime.h"
#include "core/MsgLevel.h"
#include "core/TextHelpers.h"

namespace ORVA::KIV::System::Utility::Logging {

bool IsLoggableMessage(const char* message) {
    return message != nullptr && message[0] != '\0';
}

std::string& ClearedMessageBuffer() {
    thread_local std::string buffer;
    buffer.clear();
    return buffer;
}

void AppendMessageLine(std::string& out, const char* method, const char* message,
                       int levelCode, const char* marking) {
    out += '\n';
    out += IMsgLog::STR_SC_DEFAULT;
    out += MsgLevelName(levelCode);
    AppendCurrentDateTime(out);
    out += IsLoggableMessage(method) ? method : "unknown method";
    out += ":\n";
    out += ViewOf(marking);
    out += ViewOf(message);
    out += "\n\n";
}

void AppendRawText(std::string& out, const char* message, const char* marking,
                   int trailingLineEnds) {
    out += '\n';
    out += ViewOf(marking);
    out += ViewOf(message);
    out.append(static_cast<size_t>(trailingLineEnds), '\n');
}

}  // namespace ORVA::KIV::System::Utility::Logging
