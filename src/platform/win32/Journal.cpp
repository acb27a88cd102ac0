// The Windows Event Log, with the executable's name as the event source.
#include "platform/Platform.h"

#include <logging/MsgLogThreshold.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "core/MessageBuffer.h"
#include "core/TextHelpers.h"

namespace ORVA::KIV::System::Utility::Logging::Platform {
namespace {

// The Event Log takes at most this many characters in one string.
constexpr size_t kLongestEventText = 31839;

// The executable's file name without its extension ("service" for
// C:\Program Files\Service\service.exe).
std::wstring EventSourceName() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return L"kivlogging";
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t slash = path.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos && dot > 0) name.resize(dot);
    return name;
}

WORD EventTypeOf(int severity) {
    if (severity >= KIVLOGGING_LEVEL_ERROR) return EVENTLOG_ERROR_TYPE;
    if (severity == KIVLOGGING_LEVEL_WARN) return EVENTLOG_WARNING_TYPE;
    return EVENTLOG_INFORMATION_TYPE;
}

// The narrow text (in the process's code page) as UTF-16, cut to what the
// Event Log takes.
std::wstring WideText(std::string_view text) {
    if (text.empty()) return std::wstring();
    const int size = static_cast<int>(std::min<size_t>(text.size(), 0x7fffffff));
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
    if (wide.size() > kLongestEventText) wide.resize(kLongestEventText);
    return wide;
}

}  // namespace

JournalOpening OpenJournal() {
    const std::wstring source = EventSourceName();
    const HANDLE eventLog = RegisterEventSourceW(nullptr, source.c_str());
    if (eventLog == nullptr) return {kNoJournal, "the Windows Event Log refuses an event source"};
    return {reinterpret_cast<JournalHandle>(eventLog), "the Windows Event Log"};
}

bool SendToJournal(JournalHandle journal, const JournalEntry& entry) {
    // "LEVEL method:" on a line of its own, then the marking and the text,
    // as a file log shows a message.
    MessageBuffer text;
    if (entry.level != nullptr) {
        text.Append(entry.level);
        text.Append(' ');
        text.Append(IsNonEmpty(entry.method) ? entry.method : "unknown method");
        text.Append(":\r\n");
    }
    text.Append(ViewOf(entry.marking));
    text.Append(entry.message);
    const std::wstring wide = WideText(text.View());
    const wchar_t* strings[] = {wide.c_str()};
    return ReportEventW(reinterpret_cast<HANDLE>(journal), EventTypeOf(entry.severity), 0, 0,
                        nullptr, 1, 0, strings, nullptr) != FALSE;
}

void CloseJournal(JournalHandle journal) {
    if (journal != kNoJournal) DeregisterEventSource(reinterpret_cast<HANDLE>(journal));
}

}  // namespace ORVA::KIV::System::Utility::Logging::Platform
