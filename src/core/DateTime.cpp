#include "core/DateTime.h"

#include "platform/Platform.h"

namespace ORVA::KIV::System::Utility::Logging {
namespace {

// The formatted date and time is cut after this many characters.
constexpr size_t kDateTimeLength = 19;

// Formats a calendar time as local time into out and returns the length, at
// most kDateTimeLength. A failed conversion is formatted from a zeroed time
// rather than reported.
size_t FormatLocalTime(std::time_t time, const char* pattern, char* out, size_t size) {
    std::tm local{};
    {
        std::lock_guard<std::mutex> lock(LocalTimeMutex());
        if (!Platform::ConvertToLocalTime(time, &local)) local = std::tm{};
    }
    const size_t length = std::strftime(out, size, pattern, &local);
    return length < kDateTimeLength ? length : kDateTimeLength;
}

// The stamp of the last second converted on this thread.
struct CachedStamp {
    std::time_t second = -1;
    size_t length = 0;
    char text[84] = {};
};

}  // namespace

std::mutex& LocalTimeMutex() {
    static std::mutex mutex;
    return mutex;
}

std::string_view DateTimeStamp(std::time_t time) {
    thread_local CachedStamp cached;
    if (time != cached.second || cached.length == 0) {
        const size_t length =
            FormatLocalTime(time, "%Y/%m/%d %H:%M:%S", cached.text + 2, sizeof cached.text - 4);
        cached.text[0] = ' ';
        cached.text[1] = '[';
        cached.text[length + 2] = ']';
        cached.text[length + 3] = ' ';
        cached.length = length + 4;
        cached.second = time;
    }
    return std::string_view(cached.text, cached.length);
}

std::string_view CurrentDateTimeStamp() {
    return DateTimeStamp(std::time(nullptr));
}

std::string CurrentFileNameStamp() {
    char formatted[80];
    const size_t length =
        FormatLocalTime(std::time(nullptr), "%Y-%m-%d_%H_%M_%S", formatted, sizeof formatted);
    return std::string(formatted, length);
}

}  // namespace ORVA::KIV::System::Utility::Logging
