#include "properties/LoggerList.h"

#include <logging/MsgLog.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "core/TextHelpers.h"

namespace ORVA::KIV::System::Utility::Logging {
namespace {

// A NUL-terminated copy allocated with new[].
char* CopyToken(std::string_view token) {
    char* copy = new char[token.size() + 1];
    std::memcpy(copy, token.data(), token.size());
    copy[token.size()] = '\0';
    return copy;
}

}  // namespace

bool TokenizeString(const char* delimiters, const char* text, char*** pTokens,
                    size_t* pCount) {
    if (delimiters == nullptr || delimiters[0] == '\0' || text == nullptr ||
        text[0] == '\0' || pTokens == nullptr || pCount == nullptr) {
        return false;
    }
    *pCount = 0;
    *pTokens = nullptr;
    std::vector<char*> tokens;
    try {
        ForEachToken(delimiters, text, [&tokens](std::string_view token) {
            tokens.push_back(CopyToken(token));
        });
        if (tokens.empty()) return false;
        char** array = new char*[tokens.size()];
        std::copy(tokens.begin(), tokens.end(), array);
        *pTokens = array;
        *pCount = tokens.size();
        return true;
    } catch (...) {
        for (char* token : tokens) delete[] token;
        return false;
    }
}

const char* GetSupportedLoggerName(const char* name) {
    return name == nullptr ? nullptr : SupportedLoggerName(name);
}

const char* SupportedLoggerName(std::string_view name) {
    const std::string_view trimmed = TrimmedByRule(name);
    for (const char* known :
         {IMsgLog::LOGGER_CONSOLE, IMsgLog::LOGGER_HTML_FILE, IMsgLog::LOGGER_PLAIN_FILE,
          IMsgLog::LOGGER_TIME_BASED_ROLLING_HTML_FILE,
          IMsgLog::LOGGER_TIME_BASED_ROLLING_PLAIN_FILE, kLoggerJournal}) {
        if (trimmed == known) return known;
    }
    return nullptr;
}

namespace {

// ParseLoggerList for a list already trimmed.
size_t ParseTrimmedList(std::string_view list, std::vector<std::string>* names) {
    names->clear();
    try {
        ForEachToken(IMsgLog::DELIMITER, list, [names](std::string_view token) {
            const char* known = SupportedLoggerName(token);
            if (known != nullptr && std::find(names->begin(), names->end(), known) == names->end()) {
                names->emplace_back(known);
            }
        });
    } catch (...) {
        names->clear();
    }
    return names->size();
}

}  // namespace

size_t ParseLoggerList(const char* list, std::vector<std::string>* names) {
    if (names == nullptr) return 0;
    return ParseTrimmedList(TrimmedByRule(ViewOf(list)), names);
}

MemberKind MemberKindOf(const char* token) {
    const std::string_view name = ViewOf(token);
    if (name == IMsgLog::LOGGER_CONSOLE) return MemberKind::kConsole;
    if (name == IMsgLog::LOGGER_PLAIN_FILE) return MemberKind::kPlainFile;
    if (name == kLoggerJournal) return MemberKind::kJournal;
    for (const char* known : {IMsgLog::LOGGER_HTML_FILE, IMsgLog::LOGGER_TIME_BASED_ROLLING_HTML_FILE,
                              IMsgLog::LOGGER_TIME_BASED_ROLLING_PLAIN_FILE}) {
        if (name == known) return MemberKind::kNoLoggerClass;
    }
    return MemberKind::kNotAKindName;
}

std::optional<std::string> StoredLoggerList(std::string_view value) {
    const std::string_view trimmed = TrimmedByRule(value);
    if (trimmed.empty()) return std::nullopt;
    std::vector<std::string> names;
    if (ParseTrimmedList(trimmed, &names) == 0) return std::string(trimmed);
    std::string joined = names.front();
    for (size_t i = 1; i < names.size(); ++i) joined.append(IMsgLog::DELIMITER).append(names[i]);
    return joined;
}

}  // namespace ORVA::KIV::System::Utility::Logging
