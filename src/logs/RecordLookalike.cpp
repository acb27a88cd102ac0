#include "logs/RecordLookalike.h"

#include <cstring>

namespace ORVA::KIV::System::Utility::Logging {
namespace {

constexpr std::string_view kLevelNames[] = {"DEBUG", "INFO", "WARN", "ERROR", "FATAL"};
// "YYYY/MM/DD hh:mm:ss", digits as 'd'.
constexpr std::string_view kStampShape = "dddd/dd/dd dd:dd:dd";

bool FitsStampShape(std::string_view text) {
    for (size_t i = 0; i < kStampShape.size(); ++i) {
        const char c = text[i];
        if (kStampShape[i] == 'd' ? c < '0' || c > '9' : c != kStampShape[i]) return false;
    }
    return true;
}

bool IsHeadLine(std::string_view line) {
    constexpr std::string_view kMarking = "(U) ";
    if (line.substr(0, kMarking.size()) != kMarking) return false;
    line.remove_prefix(kMarking.size());
    for (const std::string_view level : kLevelNames) {
        if (line.substr(0, level.size()) != level) continue;
        line.remove_prefix(level.size());
        // " [", the stamp, "] ", then the method up to the closing colon.
        return line.size() >= 2 + kStampShape.size() + 3 && line[0] == ' ' && line[1] == '[' &&
               FitsStampShape(line.substr(2)) && line[2 + kStampShape.size()] == ']' &&
               line[3 + kStampShape.size()] == ' ' && line.back() == ':';
    }
    return false;
}

}  // namespace

bool IsRecordLookalike(std::string_view text) {
    // Only lines that begin like a head line or the title need a closer look.
    if (text.empty() || (text[0] != '(' && text[0] != '*')) return false;
    const void* feed = std::memchr(text.data(), '\n', text.size());
    std::string_view line =
        feed == nullptr ? text : text.substr(0, static_cast<const char*>(feed) - text.data());
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line == kBannerTitle || IsHeadLine(line);
}

}  // namespace ORVA::KIV::System::Utility::Logging
