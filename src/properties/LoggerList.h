// The logger list: kind names separated by "|".
#ifndef KIVLOGGING_PROPERTIES_LOGGERLIST_H
#define KIVLOGGING_PROPERTIES_LOGGERLIST_H

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ORVA::KIV::System::Utility::Logging {

// What the system logger makes for one token of the stored logger list.
enum class MemberKind {
    kConsole,
    kPlainFile,
    kJournal,
    // A recognised kind name without a logger class.
    kNoLoggerClass,
    // No kind name at all (tokens are compared exactly, untrimmed).
    kNotAKindName,
};
MemberKind MemberKindOf(const char* token);

// The kind name of the system journal member. The interface's kind names
// predate it; configurations without it behave as they always did.
inline constexpr char kLoggerJournal[] = "journal";

// Splits the text at every character of the delimiter set. Runs of
// delimiters never yield an empty token. On true, *pTokens is an array of
// *pCount tokens, each a NUL-terminated copy; the caller releases each token
// and then the array with delete[]. False with both outputs untouched for a
// null or empty delimiter set or text; false with null and 0 when there is
// no token or memory runs out. The text is never changed.
bool TokenizeString(const char* delimiters, const char* text, char*** pTokens,
                    size_t* pCount);

// Calls visit(std::string_view) for each token of the text, split as
// TokenizeString splits it, without copying anything.
template <typename Visit>
void ForEachToken(std::string_view delimiters, std::string_view text, Visit visit) {
    size_t start = text.find_first_not_of(delimiters);
    while (start != std::string_view::npos) {
        const size_t end = std::min(text.find_first_of(delimiters, start), text.size());
        visit(text.substr(start, end - start));
        start = text.find_first_not_of(delimiters, end);
    }
}

// The kind name constant (LOGGER_CONSOLE, ..., kLoggerJournal) spelled by
// the name after the trimming rule, case-sensitively; null for anything else.
const char* GetSupportedLoggerName(const char* name);

// The same for a name given as a view.
const char* SupportedLoggerName(std::string_view name);

// Fills *names with the recognised kind names of the list, each once, in
// order of first appearance, and returns their number. Pieces are trimmed
// by the trimming rule. Returns 0 for a null vector.
size_t ParseLoggerList(const char* list, std::vector<std::string>* names);

// The value stored for a logger list read from the properties file: the
// recognised names joined by "|", or the trimmed text when it names none;
// nullopt when the text is empty after trimming.
std::optional<std::string> StoredLoggerList(std::string_view value);

}  // namespace ORVA::KIV::System::Utility::Logging

#endif  // KIVLOGGING_PROPERTIES_LOGGERLIST_H
