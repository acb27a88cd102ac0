#include "core/DateTime.h"

#include <ctime>

#include "platform/Platform.h"

namespace ORVA::KIV::System::Utility::Logging {
namespace {

// The formatted date and time is cut after this many characters.
constexpr size_t kDateTimeLength = 19;

// Formats a calendar time as local time. A failed conversion is formatted
// from a zeroed time rather than reported.
std::string FormatLocalTime(std::time_t time, const char* pattern) {
    std::tm local{};
    if (!Platform::ConvertToLocalTime(time, &local)) local = std::tm{};
    char buffer[80] = {};
    const size_t length = std::strftime(buffer, sizeof buffer, pattern, &local);
    return std::string(buffer, length < kDateTimeLength ? length : kDateTimeLength);
}

struct CachedStamp {
    std::time_t second = -1;
    std::string text;
};

}  // namespace

void AppendCurrentDateTime(std::string& out) {
    thread_local CachedStamp cached;
    const std::time_t now = std::time(nullptr);
    if (now != cached.second || cached.text.empty()) {
        cached.text = " [" + FormatLocalTime(now, "%Y/%m/%d %H:%M:%S") + "] ";
        cached.second = now;
    }
    out += cached.text;
}

std::string CurrentFileNameStamp() {
    return FormatLocalTime(std::time(nullptr), "%Y-%m-%d_%H_%M_%S");
}

}  // namespace ORVA::KIV::System::Utility::Logging
