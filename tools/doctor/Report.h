// What kivlog-doctor found out about a configuration: the search, each line
// of the properties file, the resulting settings and the system logger.
#ifndef KIVLOGGING_TOOLS_DOCTOR_REPORT_H
#define KIVLOGGING_TOOLS_DOCTOR_REPORT_H

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "properties/LoadObserver.h"

namespace kivdoctor {

using ORVA::KIV::System::Utility::Logging::FileOutcome;
using ORVA::KIV::System::Utility::Logging::LineVerdict;
using ORVA::KIV::System::Utility::Logging::VariableState;

struct LineReport {
    unsigned number = 0;
    std::string text;
    LineVerdict verdict = LineVerdict::kEmpty;
    std::string key;
    std::string stored;
    // The verdict in plain words.
    std::string explanation;
    // The text the line most likely meant, for a mistyped key or value.
    std::optional<std::string> suggestion;
};

// What retention would do now with one old log file.
struct RetentionReport {
    std::string path;
    // "delete", "keep: in use" or "cannot delete".
    std::string action;
    std::string reason;
};

struct MemberReport {
    std::string name;
    bool made = false;
    // What the member is, or why none is made.
    std::string explanation;
    // The kind name a mistyped name most likely meant.
    std::optional<std::string> suggestion;
};

// A properties file in a place where the library does not look.
struct MisplacedFile {
    std::string path;
    // Where the library looks for it.
    std::string mustGoTo;
    // The directory that KIV_SYS_CONFIG_DIR could name instead of a move.
    std::string orSetVariable;
};

// Exit statuses, for scripts.
enum ExitStatus {
    // The system logger writes, with every configured member.
    kEveryMemberMade = 0,
    // Logging is off, or there is no system logger.
    kNothingLogged = 1,
    kUsageError = 2,
    // The system logger writes, but some configured member is not made.
    kMemberMissing = 3,
};

struct Report {
    // The search; skipped for --file.
    bool searched = false;
    // The search started beside the doctor itself (no --exe, --pid or
    // KIV_SYS_CONFIG_DIR), which tells nothing about an application.
    bool lookedBesideDoctor = false;
    // The working directory that relative paths resolve against.
    std::string workingDirectory;
    // Properties files near where the library looks, when it found none.
    std::vector<MisplacedFile> misplacedFiles;
    VariableState variable = VariableState::kUnset;
    std::string variableValue;
    // The directory that holds the properties file, when KIV_SYS_CONFIG_DIR
    // names the file itself instead.
    std::optional<std::string> variableNamesFile;
    std::optional<std::string> classifiedDirectory;
    bool classifiedHasFile = false;
    std::string candidate;
    bool candidateExists = false;
    // The configuration directory as an absolute path, when it is relative.
    std::optional<std::string> resolvedConfigDirectory;

    std::string file;
    FileOutcome outcome = FileOutcome::kNoDirectory;
    std::vector<LineReport> lines;
    // Lines past the first thousand that are not shown (none accepted).
    size_t linesNotShown = 0;
    std::optional<unsigned> stoppedAfterLine;
    std::vector<std::pair<std::string, std::string>> defaults;
    std::optional<std::string> documentsFolder;
    bool documentsFolderExists = false;

    bool loggingOn = false;
    std::string level;
    int levelCode = -1;
    // The severity threshold the file sets; nothing when it drops nothing.
    std::optional<std::string> threshold;
    bool dynamicLogging = false;
    std::optional<std::string> logDirectory;
    // The log directory as an absolute path, when it is relative.
    std::optional<std::string> resolvedLogDirectory;
    // "configured", "documents" or "none".
    std::string logDirectorySource = "none";
    std::optional<std::string> loggers;
    // The disk limits; nothing for a key the file leaves unset.
    std::optional<std::uint64_t> maxFileBytes;
    std::optional<std::uint64_t> maxFiles;
    std::optional<std::uint64_t> maxTotalBytes;
    std::optional<std::uint64_t> maxAgeDays;
    // What retention would do in the log directory now, when a limit is set
    // (nothing is deleted); retentionProblem when the directory cannot be
    // listed.
    std::vector<RetentionReport> retention;
    std::optional<std::string> retentionProblem;
    std::vector<MemberReport> members;
    // Names of the written logger list that name no kind, each once.
    std::vector<std::string> droppedLoggerNames;
    // Further names of the logger list that make no member and are not
    // shown one by one.
    size_t membersNotShown = 0;
    bool defaultConsoleMember = false;
    bool systemLogger = false;

    // For --pid: the default-named log files the process has open, and
    // whether the properties file changed after the process started (so the
    // process may have read other settings than the report shows).
    bool judgedProcess = false;
    std::vector<std::string> openLogFiles;
    bool changedSinceStart = false;

    std::string verdict;
    ExitStatus exitCode = kNothingLogged;
};

struct TargetProcess;

// Evaluates the configuration as a process started now would: from
// KIV_SYS_CONFIG_DIR or "CLASSIFIED" beside the executable (executable null:
// this program), or, with file set, that properties file alone. With process
// set, as the running process it describes (the caller has taken on its
// view of the system already).
Report Diagnose(const char* executable, const char* file, const TargetProcess* process);

std::string TextReport(const Report& report);
std::string JsonReport(const Report& report);

}  // namespace kivdoctor

#endif  // KIVLOGGING_TOOLS_DOCTOR_REPORT_H
