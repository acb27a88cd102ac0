#include "Options.h"

#include "ArgumentCursor.h"
#include "TimeText.h"
#include "ToolPlatform.h"

namespace kivlog {
namespace {

// The level names the library writes, and the other names operators use.
struct LevelName {
    const char* name;
    Level level;
};
constexpr LevelName kLevelNames[] = {
    {"DEBUG", Level::kDebug}, {"INFO", Level::kInfo},   {"INFORMATION", Level::kInfo},
    {"WARN", Level::kWarn},   {"WARNING", Level::kWarn}, {"ERROR", Level::kError},
    {"ERR", Level::kError},   {"FATAL", Level::kFatal},
};

bool ParseLevel(std::string name, Level* level) {
    for (char& c : name) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    for (const LevelName& known : kLevelNames) {
        if (name == known.name) {
            *level = known.level;
            return true;
        }
    }
    return false;
}

bool ParsePattern(const std::string& text, std::shared_ptr<const LinePattern>* pattern, std::string* error) {
    std::string problem;
    *pattern = LinePattern::New(text, &problem);
    if (!*pattern) *error = "not a regular expression kivlog can use: \"" + text + "\": " + problem;
    return *pattern != nullptr;
}

bool IsOutputOption(const std::string& option) {
    return option == "--line" || option == "--json" || option == "-f" || option == "--follow" ||
           option == "--raw-bytes" || option == "-n" || option == "--lines" || option == "--utc";
}

// A count of at most 9 digits.
bool ParseCount(const std::string& text, size_t* count) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    *count = std::stoul(text);
    return true;
}

}  // namespace

bool ParseReadOptions(const std::vector<std::string>& arguments, size_t first, bool withOutput,
                      ReadOptions* options, std::string* error) {
    Filter& filter = options->filter;
    ArgumentCursor cursor(arguments, first);
    std::string value;
    while (cursor.Next()) {
        const std::string& option = cursor.Name();
        if (!cursor.IsOption()) {
            options->paths.push_back(option);
            continue;
        }
        const bool takesValue = option == "--level" || option == "--since" || option == "--until" ||
                                option == "--method" || option == "--grep" || option == "--marking" ||
                                (withOutput && (option == "-n" || option == "--lines"));
        if (takesValue && !cursor.TakeValue(&value)) {
            *error = option + " needs a value";
            return false;
        }
        if (option != "--help" && option != "-h" && !IsOutputOption(option)) filter.isEmpty = false;
        if (option == "--help" || option == "-h") {
            options->help = true;
        } else if (option == "--raw") {
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
        } else if (withOutput && option == "--utc") {
            options->utc = true;
        } else if (withOutput && (option == "-n" || option == "--lines")) {
            size_t count = 0;
            if (!ParseCount(value, &count)) {
                *error = option + " takes a number of records up to 999999999, not \"" + value + "\"";
                return false;
            }
            options->lastRecords = count;
        } else if (option == "--level") {
            Level level;
            if (!ParseLevel(value, &level)) {
                *error = "--level takes DEBUG, INFO, WARN, ERROR or FATAL, not \"" + value + "\"";
                return false;
            }
            filter.minimumLevel = level;
        } else if (option == "--since" || option == "--until") {
            const bool until = option == "--until";
            TimeKey* bound = until ? &filter.until : &filter.since;
            if (!ParseTimeArgument(value, until, TimeOfCalendar(LocalTimeNow()), bound)) {
                *error = option + " takes YYYY-MM-DD[Thh:mm[:ss]], now, today, yesterday or -N(s|m|h|d), not \"" +
                         value + "\"";
                return false;
            }
        } else if (option == "--method" || option == "--grep") {
            if (!ParsePattern(value, option == "--method" ? &filter.method : &filter.grep, error)) return false;
        } else if (option == "--marking") {
            filter.marking = std::string(MarkingName(value));
        } else {
            *error = "unknown option: " + option;
            return false;
        }
        if (cursor.HasUntakenValue()) {
            *error = option + " takes no value";
            return false;
        }
    }
    if (options->paths.empty()) options->paths.push_back("-");
    return true;
}

}  // namespace kivlog
