#include "Options.h"

#include "TimeText.h"

namespace kivlog {
namespace {

bool ParseLevel(std::string name, Level* level) {
    for (char& c : name) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    for (int i = 0; i < kLevelCount; ++i) {
        if (name == LevelName(static_cast<Level>(i))) {
            *level = static_cast<Level>(i);
            return true;
        }
    }
    return false;
}

bool ParseRegex(const std::string& text, std::optional<std::regex>* pattern, std::string* error) {
    try {
        pattern->emplace(text, std::regex::ECMAScript);
        return true;
    } catch (const std::regex_error& problem) {
        *error = "not a regular expression: \"" + text + "\": " + problem.what();
        return false;
    }
}

}  // namespace

bool ParseReadOptions(const std::vector<std::string>& arguments, size_t first, bool withOutput,
                      ReadOptions* options, std::string* error) {
    Filter& filter = options->filter;
    for (size_t i = first; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        const bool isFilter = option != "--line" && option != "--json" && option != "-f" &&
                              option != "--follow" && option != "--raw-bytes";
        if (option.size() > 1 && option[0] == '-' && isFilter) filter.isEmpty = false;
        if (option == "--raw") {
            filter.raw = RawChoice::kOnlyRaw;
        } else if (option == "--no-raw") {
            filter.raw = RawChoice::kNoRaw;
        } else if (withOutput && option == "--line") {
            options->form = Form::kLine;
        } else if (withOutput && option == "--json") {
            options->form = Form::kJson;
        } else if (withOutput && (option == "-f" || option == "--follow")) {
            options->follow = true;
        } else if (withOutput && option == "--raw-bytes") {
            options->rawBytes = true;
        } else if (option == "--level" && hasValue) {
            Level level;
            if (!ParseLevel(arguments[++i], &level)) {
                *error = "--level takes DEBUG, INFO, WARN, ERROR or FATAL, not \"" + arguments[i] + "\"";
                return false;
            }
            filter.minimumLevel = level;
        } else if ((option == "--since" || option == "--until") && hasValue) {
            const bool until = option == "--until";
            if (!ParseTimeArgument(arguments[++i], until, until ? &filter.until : &filter.since)) {
                *error = option + " takes YYYY-MM-DD or YYYY-MM-DDThh:mm[:ss], not \"" + arguments[i] + "\"";
                return false;
            }
        } else if ((option == "--method" || option == "--grep") && hasValue) {
            if (!ParseRegex(arguments[++i], option == "--method" ? &filter.method : &filter.grep, error)) {
                return false;
            }
        } else if (option == "--marking" && hasValue) {
            filter.marking = std::string(MarkingName(arguments[++i]));
        } else if (option.size() > 1 && option[0] == '-') {
            *error = "unknown or incomplete option: " + option;
            return false;
        } else {
            options->paths.push_back(option);
        }
    }
    if (options->paths.empty()) options->paths.push_back("-");
    return true;
}

}  // namespace kivlog
