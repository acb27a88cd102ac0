#include "properties/LoggerList.h"

#include <logging/MsgLog.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "core/TextHelpers.h"

namespace ORVA::KIV::System::Utility::Logging {
namespace {

// Releases a token array and its tokens.
void ReleaseTokens(char** tokens, size_t count) {
    if (tokens == nullptr) return;
    for (size_t i = 0; i < count; ++i) delete[] tokens[i];
    delete[] tokens;
}

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
        const std::string_view rest(text);
        size_t start = rest.find_first_not_of(delimiters);
        while (start != std::string_view::npos) {
            const size_t end = std::min(rest.find_first_of(delimiters, start), rest.size());
            tokens.push_back(CopyToken(rest.substr(start, end - start)));
            start = rest.find_first_not_of(delimiters, end);
        }
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
    if (name == nullptr || name[0] == '\0') return nullptr;
    const std::string trimmed = ApplyTrimmingRule(name);
    for (const char* known :
         {IMsgLog::LOGGER_CONSOLE, IMsgLog::LOGGER_HTML_FILE, IMsgLog::LOGGER_PLAIN_FILE,
          IMsgLog::LOGGER_TIME_BASED_ROLLING_HTML_FILE,
          IMsgLog::LOGGER_TIME_BASED_ROLLING_PLAIN_FILE}) {
        if (trimmed == known) return known;
    }
    return nullptr;
}

size_t ParseLoggerList(const char* list, std::vector<std::string>* names) {
    if (names == nullptr) return 0;
    const std::string trimmed = ApplyTrimmingRule(ViewOf(list));
    names->clear();
    if (trimmed.empty()) return 0;
    char** tokens = nullptr;
    size_t count = 0;
    try {
        if (TokenizeString(IMsgLog::DELIMITER, trimmed.c_str(), &tokens, &count)) {
            for (size_t i = 0; i < count; ++i) {
                const char* known = GetSupportedLoggerName(tokens[i]);
                if (known != nullptr &&
                    std::find(names->begin(), names->end(), known) == names->end()) {
                    names->emplace_back(known);
                }
            }
        }
    } catch (...) {
        names->clear();
    }
    ReleaseTokens(tokens, count);
    return names->size();
}

MemberKind MemberKindOf(const char* token) {
    const std::string_view name = ViewOf(token);
    if (name == IMsgLog::LOGGER_CONSOLE) return MemberKind::kConsole;
    if (name == IMsgLog::LOGGER_PLAIN_FILE) return MemberKind::kPlainFile;
    for (const char* known : {IMsgLog::LOGGER_HTML_FILE, IMsgLog::LOGGER_TIME_BASED_ROLLING_HTML_FILE,
                              IMsgLog::LOGGER_TIME_BASED_ROLLING_PLAIN_FILE}) {
        if (name == known) return MemberKind::kNoLoggerClass;
    }
    return MemberKind::kNotAKindName;
}

std::optional<std::string> StoredLoggerList(std::string_view value) {
    const std::string trimmed = ApplyTrimmingRule(value);
    if (trimmed.empty()) return std::nullopt;
    std::vector<std::string> names;
    if (ParseLoggerList(trimmed.c_str(), &names) == 0) return trimmed;
    std::string joined = names.front();
    for (size_t i = 1; i < names.size(); ++i) joined.append(IMsgLog::DELIMITER).append(names[i]);
    return joined;
}

}  // namespace ORVA::KIV::System::Utility::Logging
