// Runs the library's own configuration search and reader with an observer
// that records every decision, then derives the settings and the system
// logger's members with the library's own rules.
#include <logging/MsgLog.h>
#include <logging/MsgLogThreshold.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <vector>

#include "Places.h"
#include "Report.h"
#include "Suggestion.h"
#include "TargetProcess.h"
#include "core/MsgLevel.h"
#include "core/TextHelpers.h"
#include "platform/Platform.h"
#include "properties/ConfigDirectory.h"
#include "properties/DiskLimits.h"
#include "properties/LogFileLocation.h"
#include "properties/LoggerList.h"
#include "properties/LoggingSettings.h"
#include "properties/PropertiesReader.h"

namespace kivdoctor {
namespace {
namespace Logging = ORVA::KIV::System::Utility::Logging;
using Key = Logging::IMsgLog::PropertyKey;

// The report shows texts of the file clipped, names and lines in bounded
// numbers, so that it stays readable and its memory small for a file of any
// size.
constexpr size_t kLongestShown = 200;
constexpr size_t kMostNamesShown = 20;
constexpr size_t kMostLinesShown = 1000;

std::string Quoted(std::string_view text) {
    std::string quoted(1, '"');
    quoted.append(text);
    quoted += '"';
    return quoted;
}

std::string AcceptedValues(const std::string& key) {
    if (key == Key::LOGGING_LEVEL || key == Logging::MsgLogThreshold::PROPERTY_KEY) {
        return "DEBUG, INFO, WARN, ERROR or FATAL, in any case";
    }
    if (key == Key::LOGGERS) return "kind names separated by \"|\"";
    if (key == Logging::kMaxFileSizeKey || key == Logging::kMaxTotalSizeKey) {
        return "a size in bytes of at least 64K, with an optional K, M or G (powers of 1024), up to 1073741824G";
    }
    if (key == Logging::kMaxFilesKey) return "a whole number of files, at least 1";
    if (key == Logging::kMaxAgeKey) return "a whole number of days from 1 to 100000";
    return "on or off, in any case";
}

// The key a mistyped key most likely meant.
std::optional<std::string> ClosestKey(std::string_view key) {
    return ClosestKnown(key, {Key::DYNAMIC_LOGGING, Key::LOG_DIR, Key::LOGGERS, Key::LOGGING_LEVEL,
                              Key::LOGGING_STATUS, Logging::MsgLogThreshold::PROPERTY_KEY,
                              Logging::kMaxFileSizeKey, Logging::kMaxFilesKey, Logging::kMaxTotalSizeKey,
                              Logging::kMaxAgeKey});
}

// The kind name a mistyped kind name most likely meant.
std::optional<std::string> ClosestKindName(std::string_view name) {
    using Log = Logging::IMsgLog;
    return ClosestKnown(Logging::ApplyTrimmingRule(name),
                        {Log::LOGGER_CONSOLE, Log::LOGGER_PLAIN_FILE, Log::LOGGER_HTML_FILE,
                         Log::LOGGER_TIME_BASED_ROLLING_HTML_FILE,
                         Log::LOGGER_TIME_BASED_ROLLING_PLAIN_FILE, Logging::kLoggerJournal});
}

// The size a rejected size most likely meant: "10M" for "10 MB", "10MiB"
// or "10m", and the smallest size taken for a smaller one.
std::optional<std::string> SizeMeant(std::string_view value) {
    std::string compact;
    for (const char c : value) {
        if (c != ' ') compact += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    for (const std::string_view unit : {"IB", "B"}) {
        if (compact.size() > unit.size() && compact.compare(compact.size() - unit.size(), unit.size(), unit) == 0) {
            compact.resize(compact.size() - unit.size());
            break;
        }
    }
    const std::optional<std::uint64_t> amount = Logging::ParseAmount(compact, true);
    if (!amount) return std::nullopt;
    if (*amount < Logging::kSmallestFileSizeLimit) return std::string("64K");
    return compact == value ? std::nullopt : std::optional<std::string>(compact);
}

// The value a rejected value of the key most likely meant.
std::optional<std::string> ClosestValue(const std::string& key, std::string_view value) {
    using Level = Logging::IMsgLog::MsgLevel;
    const std::string_view trimmed = Logging::TrimmedByRule(value);
    if (key == Key::LOGGING_LEVEL || key == Logging::MsgLogThreshold::PROPERTY_KEY) {
        return ClosestKnown(trimmed, {Level::LOGGING_DEBUG, Level::LOGGING_INFO, Level::LOGGING_WARN,
                                      Level::LOGGING_ERROR, Level::LOGGING_FATAL});
    }
    if (key == Key::LOGGING_STATUS || key == Key::DYNAMIC_LOGGING) return SwitchMeant(trimmed);
    if (key == Logging::kMaxFileSizeKey || key == Logging::kMaxTotalSizeKey) return SizeMeant(trimmed);
    return std::nullopt;
}

// Calls visit(std::string_view) for each piece of a logger list, split as
// the library splits it.
template <typename Visit>
void ForEachLoggerPiece(std::string_view list, Visit visit) {
    Logging::ForEachToken(Logging::IMsgLog::DELIMITER, list, visit);
}

// A text of any length as the report shows it: at most kLongestShown bytes.
std::string Clipped(std::string_view text) {
    if (text.size() <= kLongestShown) return std::string(text);
    return std::string(text.substr(0, kLongestShown)) + "... (" +
           std::to_string(text.size() - kLongestShown) + " more bytes)";
}

// For a name that holds several kind names joined by commas, semicolons or
// blanks: the same names joined by "|".
std::optional<std::string> KindsJoinedByBars(const std::string& name) {
    constexpr const char* kOtherSeparators = ",; \t";
    const std::string trimmed = Logging::ApplyTrimmingRule(name);
    if (trimmed.find_first_of(kOtherSeparators) == std::string::npos) return std::nullopt;
    std::string joined;
    for (size_t start = 0; start < trimmed.size();) {
        const size_t end = std::min(trimmed.find_first_of(kOtherSeparators, start), trimmed.size());
        const std::string piece = trimmed.substr(start, end - start);
        if (!piece.empty()) {
            if (Logging::GetSupportedLoggerName(piece.c_str()) == nullptr) return std::nullopt;
            joined += (joined.empty() ? "" : "|") + piece;
        }
        start = end + 1;
    }
    return joined;
}

// Why a piece of a logger list names no kind, and what it likely meant.
std::string NoKindHint(const std::string& name) {
    if (const std::optional<std::string> joined = KindsJoinedByBars(name)) {
        return "; kinds are separated by \"|\": write " + Quoted(*joined);
    }
    return DidYouMean(ClosestKindName(name));
}

// The pieces of a written logger list that name no kind.
std::string UnrecognisedLoggerNames(std::string_view value) {
    std::string unrecognised;
    size_t listed = 0;
    size_t more = 0;
    ForEachLoggerPiece(value, [&](std::string_view piece) {
        if (Logging::SupportedLoggerName(piece) != nullptr || Logging::ApplyTrimmingRule(piece).empty()) {
            return;
        }
        if (listed == kMostNamesShown) {
            ++more;
            return;
        }
        ++listed;
        const std::string name(piece.substr(0, kLongestShown + 1));
        unrecognised += "; " + Quoted(Clipped(piece)) + " is no kind name (names are case-sensitive)" +
                        NoKindHint(name);
    });
    if (more > 0) unrecognised += "; and " + std::to_string(more) + " more pieces that name no kind";
    return unrecognised;
}

// A hint for a log directory that does not exist.
std::string MissingDirectoryHint(const std::string& directory) {
    if (directory.empty() || directory[0] != '~') return std::string();
    const char* home = std::getenv("HOME");
    return "; \"~\" is not expanded: write the full path" +
           (home != nullptr && directory.size() > 1 && directory[1] == '/'
                ? ", " + Quoted(home + directory.substr(1))
                : std::string());
}

// The verdict on a line in plain words; text is the whole line.
std::string Explain(const LineReport& line, std::string_view text) {
    const std::string_view value = text.substr(std::min(text.find('='), text.size() - 1) + 1);
    switch (line.verdict) {
        case LineVerdict::kAccepted:
            if (line.key == Key::LOGGERS) {
                return "accepted: " + line.key + " = " + Quoted(line.stored) +
                       UnrecognisedLoggerNames(value);
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
            std::string explained = "passed over: the value " + Quoted(Clipped(value)) +
                                    " is not accepted; " + line.key + " takes " + AcceptedValues(line.key);
            if (value.find('#') != std::string_view::npos) {
                explained += " (\"#\" starts no comment inside a line)";
            }
            return explained + DidYouMean(line.suggestion);
        }
        case LineVerdict::kNulInValue:
            return "passed over: the value holds a NUL byte, which no key accepts";
        case LineVerdict::kMissingDirectory: {
            const std::string directory = Clipped(Logging::ApplyTrimmingRule(value));
            return "passed over: the directory " + Quoted(directory) + " does not exist" +
                   MissingDirectoryHint(directory);
        }
        case LineVerdict::kKeyAlreadyTaken:
            return "passed over: an earlier line already set " + line.key;
    }
    return std::string();
}

// The disk limits of the store and what retention would do with the log
// directory now, deleting nothing.
void DescribeDiskLimits(const Logging::PropertyMap& store, Report& report) {
    const Logging::DiskLimits limits = Logging::DiskLimitsOf(store);
    report.maxFileBytes = limits.maxFileBytes;
    report.maxFiles = limits.retention.maxFiles;
    report.maxTotalBytes = limits.retention.maxTotalBytes;
    report.maxAgeDays = limits.retention.maxAgeDays;
    if (!limits.retention.Any() || !report.logDirectory) return;
    std::vector<Logging::RetentionOutcome> outcomes;
    std::string reason;
    if (!Logging::ApplyRetention(Logging::LogDirectoryPath(*report.logDirectory), limits.retention,
                                 std::string_view(), true, &outcomes,
                                 &reason)) {
        report.retentionProblem = "cannot list the log directory: " + reason;
        return;
    }
    for (const Logging::RetentionOutcome& outcome : outcomes) {
        const bool removable = outcome.removal == Logging::Platform::Removal::kRemoved;
        const bool inUse = outcome.removal == Logging::Platform::Removal::kInUse;
        report.retention.push_back({outcome.path, removable ? "delete" : inUse ? "keep: in use" : "cannot delete",
                                    removable ? std::string() : outcome.reason});
    }
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
        const bool accepted = verdict == LineVerdict::kAccepted;
        if (accepted && key == Key::LOGGERS) NoteDroppedNames(text.substr(text.find('=') + 1), stored);
        // Accepted lines decide the settings: they are shown wherever they stand.
        if (m_report.lines.size() >= kMostLinesShown && !accepted) {
            ++m_report.linesNotShown;
            return;
        }
        LineReport line{number, Clipped(text), verdict, Clipped(key), Clipped(stored), {}, {}};
        if (verdict == LineVerdict::kUnknownKey) line.suggestion = ClosestKey(key);
        if (verdict == LineVerdict::kRejectedValue) {
            line.suggestion = ClosestValue(line.key, text.substr(text.find('=') + 1));
        }
        line.explanation = Explain(line, text);
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
    // The names the accepted logger list wrote that the stored list lost
    // because they are no kind names.
    void NoteDroppedNames(std::string_view written, const std::string& stored) {
        const std::string_view trimmed = Logging::TrimmedByRule(written);
        // Without any kind name the list is stored as written, names and all.
        if (stored == trimmed) return;
        ForEachLoggerPiece(trimmed, [this](std::string_view piece) {
            const std::string name = Logging::ApplyTrimmingRule(piece.substr(0, kLongestShown + 1));
            if (name.empty() || Logging::SupportedLoggerName(piece) != nullptr) return;
            std::vector<std::string>& dropped = m_report.droppedLoggerNames;
            if (std::find(dropped.begin(), dropped.end(), name) != dropped.end()) return;
            if (dropped.size() < kMostNamesShown) {
                dropped.push_back(name);
            } else {
                ++m_report.membersNotShown;
            }
        });
    }

    Report& m_report;
};

// What a plain.file member would be: made only when its file log could
// create a new file in the log directory, as the library requires.
std::string PlainFileMember(const Report& report, bool* made) {
    *made = false;
    if (!report.openLogFiles.empty()) {
        *made = true;
        std::string files;
        for (const std::string& file : report.openLogFiles) files += (files.empty() ? "" : ", ") + file;
        return "file log: the process writes to " + files;
    }
    if (!report.logDirectory) return "no member: there is no log directory";
    const std::string& directory = *report.logDirectory;
    switch (Logging::CheckNewLogFile(Logging::LogDirectoryPath(directory))) {
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

// What a journal member would be: made only when the system journal takes
// messages now.
std::string JournalMember(bool* made) {
    const Logging::Platform::JournalOpening journal = Logging::Platform::OpenJournal();
    Logging::Platform::CloseJournal(journal.handle);
    *made = journal.handle != Logging::Platform::kNoJournal;
    return (*made ? "journal log: " : "no member: ") + journal.description;
}

// The members the system logger would get from the stored logger list, and
// the names the file asked for that make none.
void PlanMembers(Report& report, std::string_view loggers) {
    std::vector<std::string> names;
    ForEachLoggerPiece(loggers, [&](std::string_view piece) {
        if (names.size() < kMostNamesShown) {
            names.push_back(Clipped(piece));
        } else {
            ++report.membersNotShown;
        }
    });
    names.insert(names.end(), report.droppedLoggerNames.begin(), report.droppedLoggerNames.end());
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
            case Logging::MemberKind::kJournal:
                member.explanation = JournalMember(&member.made);
                break;
            case Logging::MemberKind::kNoLoggerClass:
                member.explanation = "no member: a known kind without a logger class";
                break;
            case Logging::MemberKind::kNotAKindName:
                member.suggestion = KindsJoinedByBars(name);
                if (!member.suggestion) member.suggestion = ClosestKindName(name);
                member.explanation = "no member: not a kind name (names are case-sensitive; "
                                     "use console, plain.file or journal)" +
                                     NoKindHint(name);
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
        switch (Logging::MemberKindOf(member.name.c_str())) {
            case Logging::MemberKind::kConsole:
                where += "standard output";
                break;
            case Logging::MemberKind::kJournal:
                where += "the system journal";
                break;
            default:
                where += "a new log file in " + *report.logDirectory;
                break;
        }
    }
    if (report.defaultConsoleMember) where = "standard output (the default console member)";
    std::string missing;
    for (const MemberReport& member : report.members) {
        if (!member.made) missing += (missing.empty() ? "" : ", ") + member.name;
    }
    if (report.membersNotShown > 0) {
        missing += (missing.empty() ? "" : ", ") + std::string("and ") +
                   std::to_string(report.membersNotShown) + " more names";
    }
    if (missing.empty()) return "messages will be written to " + where;
    return "messages will be written to " + where + ", but not every configured member is made: " +
           missing;
}

ExitStatus ExitStatusOf(const Report& report) {
    if (!report.systemLogger) return kNothingLogged;
    if (report.membersNotShown > 0) return kMemberMissing;
    for (const MemberReport& member : report.members) {
        if (!member.made) return kMemberMissing;
    }
    return kEveryMemberMade;
}

}  // namespace

Report Diagnose(const char* executable, const char* file, const TargetProcess* process) {
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
    if (const auto threshold = store.find(Logging::MsgLogThreshold::PROPERTY_KEY); threshold != store.end()) {
        report.threshold = threshold->second;
    }
    if (const auto loggers = store.find(Key::LOGGERS); loggers != store.end()) {
        report.loggers = Clipped(loggers->second);
    }
    DescribeDiskLimits(store, report);
    report.lookedBesideDoctor =
        report.searched && executable == nullptr && report.variable != VariableState::kSet;
    report.variableNamesFile = DirectoryOfNamedFile(report);
    report.misplacedFiles = FindMisplacedFiles(report);
    if (process != nullptr) {
        report.judgedProcess = true;
        report.openLogFiles = process->openLogFiles;
        report.changedSinceStart =
            report.outcome == FileOutcome::kRead && ChangedAfter(report.file, process->started);
    }
    report.resolvedConfigDirectory = ResolvedWhenRelative(report.candidate, report.workingDirectory);
    if (report.logDirectory) {
        report.resolvedLogDirectory = ResolvedWhenRelative(*report.logDirectory, report.workingDirectory);
    }
    report.systemLogger = report.loggingOn && report.outcome == FileOutcome::kRead;
    if (report.systemLogger) {
        const auto loggers = store.find(Key::LOGGERS);
        PlanMembers(report, loggers == store.end() ? std::string_view() : std::string_view(loggers->second));
    }
    report.verdict = Verdict(report);
    report.exitCode = ExitStatusOf(report);
    return report;
}

}  // namespace kivdoctor
