#include "properties/PropertyLine.h"

#include "core/TextHelpers.h"

namespace ORVA::KIV::System::Utility::Logging {

PropertyLine ParsePropertyLine(std::string_view line) {
    PropertyLine parsed;
    if (line.empty()) return parsed;
    if (line.front() == ' ') {
        while (!line.empty() && IsWhiteSpace(line.front())) line.remove_prefix(1);
    }
    if (line.empty()) return parsed;
    if (line.front() == '#') {
        parsed.kind = LineKind::kComment;
        return parsed;
    }
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        parsed.kind = LineKind::kNoEqualsSign;
        return parsed;
    }
    std::string_view key = line.substr(0, equals);
    while (!key.empty() && IsWhiteSpace(key.back())) key.remove_suffix(1);
    if (key.empty()) {
        parsed.kind = LineKind::kEmptyKey;
        return parsed;
    }
    parsed.kind = LineKind::kKeyValue;
    parsed.key = key;
    parsed.value = line.substr(equals + 1);
    return parsed;
}

}  // namespace ORVA::KIV::System::Utility::Logging
