// Runs the library's own configuration search and reader with an observer
// that records every decision, then derives the settings and the system
// logger's members with the library's own rules.
#include <logging/MsgLog.h>

#include <vector>

#include "Places.h"
#include "Report.h"
#include "Suggestion.h"
#include "core/MsgLevel.h"
#include "core/TextHelpers.h"
#include "platform/Platform.h"
#include "properties/ConfigDirectory.h"
#include "properties/LogFileLocation.h"
#include "properties/LoggerList.h"
#include "properties/LoggingSettings.h"
#include "properties/PropertiesReader.h"

namespace kivdoctor {
namespace {
namespace Logging = ORVA::KIV::System::Utility::Logging;
using Key = Logging::IMsgLog::PropertyKey;

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

std::string AcceptedValues(const std::string& key) {
    if (key == Key::LOGGING_LEVEL) return "DEBUG, INFO, WARN, ERROR or FATAL, in any case";
    if (key == Key::LOGGERS) return "kind names separated by \"|\"";
    return "on or off, in any case";
}

// The key a mistyped key most likely meant.
std::optional<std::string> ClosestKey(std::string_view key) {
    return ClosestKnown(key, {Key::DYNAMIC_LOGGING, Key::LOG_DIR, Key::LOGGERS, Key::LOGGING_LEVEL,
                              Key::LOGGING_STATUS});
}

// The kind name a mistyped kind name most likely meant.
std::optional<std::string> ClosestKindName(std::string_view name) {
    using Log = Logging::IMsgLog;
    return ClosestKnown(Logging::ApplyTrimmingRule(name),
                        {Log::LOGGER_CONSOLE, Log::LOGGER_PLAIN_FILE, Log::LOGGER_HTML_FILE,
                         Log::LOGGER_TIME_BASED_ROLLING_HTML_FILE,
                         Log::LOGGER_TIME_BASED_ROLLING_PLAIN_FILE});
}

// The value a rejected value of the key most likely meant.
std::optional<std::string> ClosestValue(const std::string& key, std::string_view value) {
    using Level = Logging::IMsgLog::MsgLevel;
    const std::string trimmed = Logging::ApplyTrimmingRule(value);
    if (key == Key::LOGGING_LEVEL) {
        return ClosestKnown(trimmed, {Level::LOGGING_DEBUG, Level::LOGGING_INFO, Level::LOGGING_WARN,
                                      Level::LOGGING_ERROR, Level::LOGGING_FATAL});
    }
    if (key == Key::LOGGING_STATUS || key == Key::DYNAMIC_LOGGING) return SwitchMeant(trimmed);
    return std::nullopt;
}

// The pieces of a logger list, split as the library splits it.
std::vector<std::string> LoggerTokens(const std::string& list) {
    std::vector<std::string> pieces;
    char** tokens = nullptr;
    size_t count = 0;
    Logging::TokenizeString(Logging::IMsgLog::DELIMITER, list.c_str(), &tokens, &count);
    for (size_t i = 0; i < count; ++i) {
        pieces.emplace_back(tokens[i]);
        delete[] tokens[i];
    }
    delete[] tokens;
    return pieces;
}

// The pieces of a written logger list that name no kind.
std::string UnrecognisedLoggerNames(const std::string& value) {
    std::string unrecognised;
    for (const std::string& piece : LoggerTokens(value)) {
        if (Logging::GetSupportedLoggerName(piece.c_str()) == nullptr &&
            !Logging::ApplyTrimmingRule(piece).empty()) {
            unrecognised += "; " + Quoted(piece) + " is no kind name (names are case-sensitive)" +
                            DidYouMean(ClosestKindName(piece));
        }
    }
    return unrecognised;
}

std::string Explain(const LineReport& line) {
    switch (line.verdict) {
        case LineVerdict::kAccepted:
            if (line.key == Key::LOGGERS) {
                return "accepted: " + line.key + " = " + Quoted(line.stored) +
                       UnrecognisedLoggerNames(line.text.substr(line.text.find('=') + 1));
            }
            return "accepted: " + line.key + " = " + Quoted(line.stored);
        case LineVerdict::kEmpty:
            return "empty line";
        case LineVerdict::kComment:
            return "comment";
        case LineVerdict::kNoEqualsSign:
            return "passed over: no \"=\" in the line";
        case LineVerdict::kEmptyKey:
            return "passed over: no key before \"=\"";
        case LineVerdict::kUnknownKey:
            return "passed over: " + Quoted(line.key) + " is no key of the file" +
                   DidYouMean(line.suggestion);
        case LineVerdict::kKeyInOtherCase:
            return "passed over: keys are case-sensitive; write " +
                   Quoted(Logging::ToLowerAscii(line.key));
        case LineVerdict::kWhiteSpaceBeforeKey:
            return "passed over: a tab or other white space before the key (only blanks are removed)";
        case LineVerdict::kByteOrderMark:
            return "passed over: a byte order mark starts the file and hides the key; save the "
                   "file without one";
        case LineVerdict::kRejectedValue: {
            const std::string value = line.text.substr(line.text.find('=') + 1);
            std::string text = "passed over: the value " + Quoted(value) + " is not accepted; " +
                               line.key + " takes " + AcceptedValues(line.key);
            if (value.find('#') != std::string::npos) text += " (\"#\" starts no comment inside a line)";
            return text + DidYouMean(line.suggestion);
        }
        case LineVerdict::kNulInValue:
            return "passed over: the value holds a NUL byte, which no key accepts";
        case LineVerdict::kMissingDirectory:
            return "passed over: the directory " +
                   Quoted(Logging::ApplyTrimmingRule(line.text.substr(line.text.find('=') + 1))) +
                   " does not exist";
        case LineVerdict::kKeyAlreadyTaken:
            return "passed over: an earlier line already set " + line.key;
    }
    return std::string();
}

// Records what the search and the reader decide.
class Recorder : public Logging::LoadObserver {
public:
    explicit Recorder(Report& report) : m_report(report) {}

    void ConfigVariable(VariableState state, const std::string& value) override {
        m_report.variable = state;
        m_report.variableValue = value;
    }
    void ClassifiedDirectory(const std::string& directory, bool hasFile) override {
        m_report.classifiedDirectory = directory;
        m_report.classifiedHasFile = hasFile;
    }
    void ConfigDirectory(const std::string& candidate, bool exists) override {
        m_report.candidate = candidate;
        m_report.candidateExists = exists;
    }
    void PropertiesFile(const std::string& path, FileOutcome outcome) override {
        m_report.file = path;
        m_report.outcome = outcome;
    }
    void Line(unsigned number, std::string_view text, LineVerdict verdict, std::string_view key,
              const std::string& stored) override {
        LineReport line{number, std::string(text), verdict, std::string(key), stored, {}, {}};
        if (verdict == LineVerdict::kUnknownKey) line.suggestion = ClosestKey(key);
        if (verdict == LineVerdict::kRejectedValue) {
            line.suggestion = ClosestValue(line.key, text.substr(text.find('=') + 1));
        }
        line.explanation = Explain(line);
        m_report.lines.push_back(std::move(line));
    }
    void StoppedEarly(unsigned lastLine) override { m_report.stoppedAfterLine = lastLine; }
    void DefaultStored(const std::string& key, const std::string& value) override {
        m_report.defaults.emplace_back(key, value);
    }
    void DefaultLogDirectory(const std::string& folder, bool exists) override {
        m_report.documentsFolder = folder;
        m_report.documentsFolderExists = exists;
    }

private:
    Report& m_report;
};

// What a plain.file member would be: made only when its file log could
// create a new file in the log directory, as the library requires.
std::string PlainFileMember(const Report& report, bool* made) {
    *made = false;
    if (!report.logDirectory) return "no member: there is no log directory";
    const std::string& directory = *report.logDirectory;
    switch (Logging::CheckNewLogFile(directory)) {
        case Logging::NewLogFileCheck::kCanCreate:
            *made = true;
            return "file log: a new file kiv.log_<date>_<time>.log in " + directory;
        case Logging::NewLogFileCheck::kDirectoryRefusesFiles:
            return "no member: this process may not create files in " + directory +
                   " (it needs write and search permission there)";
        case Logging::NewLogFileCheck::kEveryNameTaken:
            return "no member: every name for a new log file of this second is taken in " +
                   directory + " (kiv.log_<date>_<time>.log and _2 up to _999)";
    }
    return std::string();
}

// The names the accepted logger list line wrote that the stored list lost
// because they are no kind names.
std::vector<std::string> DroppedLoggerNames(const Report& report) {
    std::vector<std::string> dropped;
    for (const LineReport& line : report.lines) {
        if (line.verdict != LineVerdict::kAccepted || line.key != Key::LOGGERS) continue;
        const std::string written = Logging::ApplyTrimmingRule(line.text.substr(line.text.find('=') + 1));
        // Without any kind name the list is stored as written, names and all.
        if (line.stored == written) continue;
        for (const std::string& piece : LoggerTokens(written)) {
            const std::string name = Logging::ApplyTrimmingRule(piece);
            if (!name.empty() && Logging::GetSupportedLoggerName(name.c_str()) == nullptr) {
                dropped.push_back(name);
            }
        }
    }
    return dropped;
}

// The members the system logger would get from the stored logger list, and
// the names the file asked for that make none.
void PlanMembers(Report& report) {
    std::vector<std::string> names = LoggerTokens(report.loggers.value_or(""));
    for (std::string& dropped : DroppedLoggerNames(report)) names.push_back(std::move(dropped));
    for (const std::string& name : names) {
        MemberReport member{name, false, {}, {}};
        switch (Logging::MemberKindOf(name.c_str())) {
            case Logging::MemberKind::kConsole:
                member.made = true;
                member.explanation = "console log: standard output";
                break;
            case Logging::MemberKind::kPlainFile:
                member.explanation = PlainFileMember(report, &member.made);
                break;
            case Logging::MemberKind::kNoLoggerClass:
                member.explanation = "no member: a known kind without a logger class";
                break;
            case Logging::MemberKind::kNotAKindName:
                member.suggestion = ClosestKindName(name);
                member.explanation = "no member: not a kind name (names are case-sensitive; "
                                     "use console or plain.file)" +
                                     DidYouMean(member.suggestion);
                break;
        }
        report.members.push_back(member);
    }
    bool anyMade = false;
    for (const MemberReport& member : report.members) anyMade = anyMade || member.made;
    report.defaultConsoleMember = !anyMade;
}

std::string Verdict(const Report& report) {
    switch (report.outcome) {
        case FileOutcome::kNoDirectory:
            return "logging is off: no configuration directory was found";
        case FileOutcome::kMissing:
            return "logging is off: the configuration directory has no kiv.system.properties";
        case FileOutcome::kUnreadable:
            return "logging is off: the properties file cannot be read";
        case FileOutcome::kNotRegularFile:
            return "logging is off: the properties file is no regular file (a FIFO, device or "
                   "socket), which the library does not read";
        case FileOutcome::kTooLarge:
            return "logging is off: the properties file is larger than " +
                   std::to_string(Logging::Platform::kLargestFileRead >> 20) +
                   " MiB, which the library does not read";
        case FileOutcome::kRead:
            break;
    }
    if (!report.loggingOn) {
        return "logging is off: no line set kiv.logging.status to on";
    }
    std::string where;
    for (const MemberReport& member : report.members) {
        if (!member.made) continue;
        where += where.empty() ? "" : " and ";
        where += member.name == Logging::IMsgLog::LOGGER_CONSOLE
                     ? "standard output"
                     : "a new log file in " + *report.logDirectory;
    }
    if (report.defaultConsoleMember) where = "standard output (the default console member)";
    std::string missing;
    for (const MemberReport& member : report.members) {
        if (!member.made) missing += (missing.empty() ? "" : ", ") + member.name;
    }
    if (missing.empty()) return "messages will be written to " + where;
    return "messages will be written to " + where + ", but not every configured member is made: " +
           missing;
}

ExitStatus ExitStatusOf(const Report& report) {
    if (!report.systemLogger) return kNothingLogged;
    for (const MemberReport& member : report.members) {
        if (!member.made) return kMemberMissing;
    }
    return kEveryMemberMade;
}

}  // namespace

Report Diagnose(const char* executable, const char* file) {
    Report report;
    report.workingDirectory = WorkingDirectory();
    Recorder recorder(report);
    std::string path;
    if (file != nullptr) {
        path = file;
    } else {
        report.searched = true;
        const std::string directory = Logging::FindConfigDirectory(&recorder, executable);
        if (!directory.empty()) path = directory + Logging::kPropertiesFileName;
    }
    Logging::PropertyMap store;
    Logging::ReadingState state;
    Logging::ReadPropertiesFile(path, store, state, &recorder);

    report.loggingOn = Logging::LoggingStatusOf(store);
    report.level = Logging::LoggingLevelOf(store);
    report.levelCode = Logging::MsgLevelCode(report.level.c_str());
    report.dynamicLogging = state.dynamicLogging;
    if (const auto directory = store.find(Key::LOG_DIR); directory != store.end()) {
        report.logDirectory = directory->second;
        report.logDirectorySource = "configured";
        for (const auto& [key, value] : report.defaults) {
            if (key == Key::LOG_DIR) report.logDirectorySource = "documents";
        }
    }
    if (const auto loggers = store.find(Key::LOGGERS); loggers != store.end()) {
        report.loggers = loggers->second;
    }
    report.lookedBesideDoctor =
        report.searched && executable == nullptr && report.variable != VariableState::kSet;
    report.misplacedFiles = FindMisplacedFiles(report);
    report.resolvedConfigDirectory = ResolvedWhenRelative(report.candidate, report.workingDirectory);
    if (report.logDirectory) {
        report.resolvedLogDirectory = ResolvedWhenRelative(*report.logDirectory, report.workingDirectory);
    }
    report.systemLogger = report.loggingOn && report.outcome == FileOutcome::kRead;
    if (report.systemLogger) PlanMembers(report);
    report.verdict = Verdict(report);
    report.exitCode = ExitStatusOf(report);
    return report;
}

}  // namespace kivdoctor
