#include "Filter.h"

namespace kivlog {

std::string_view MarkingName(std::string_view marking) {
    while (!marking.empty() && (marking.back() == ' ' || marking.back() == ')')) marking.remove_suffix(1);
    if (!marking.empty() && marking.front() == '(') marking.remove_prefix(1);
    return marking;
}

bool Filter::Passes(const Record& record) const {
    if (record.kind == RecordKind::kBanner) return isEmpty;
    const bool isRaw = record.kind == RecordKind::kRaw;
    if ((raw == RawChoice::kOnlyRaw && !isRaw) || (raw == RawChoice::kNoRaw && isRaw)) return false;
    if (minimumLevel && (isRaw || record.level < *minimumLevel)) return false;
    if (record.time < since || record.time > until) return false;
    if (marking && MarkingName(record.marking) != *marking) return false;
    if (method && (isRaw || !method->MatchesSomeLine(record.method))) return false;
    return !grep || grep->MatchesSomeLine(record.body, record.continues);
}

}  // namespace kivlog
