// What kivlog-doctor found out about a configuration: the search, each line
// of the properties file, the resulting settings and the system logger.
#ifndef KIVLOGGING_TOOLS_DOCTOR_REPORT_H
#define KIVLOGGING_TOOLS_DOCTOR_REPORT_H

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
};

struct MemberReport {
    std::string name;
    bool made = false;
    // What the member is, or why none is made.
    std::string explanation;
};

struct Report {
    // The search; skipped for --file.
    bool searched = false;
    VariableState variable = VariableState::kUnset;
    std::string variableValue;
    std::optional<std::string> classifiedDirectory;
    bool classifiedHasFile = false;
    std::string candidate;
    bool candidateExists = false;

    std::string file;
    FileOutcome outcome = FileOutcome::kNoDirectory;
    std::vector<LineReport> lines;
    std::optional<unsigned> stoppedAfterLine;
    std::vector<std::pair<std::string, std::string>> defaults;
    std::optional<std::string> documentsFolder;
    bool documentsFolderExists = false;

    bool loggingOn = false;
    std::string level;
    int levelCode = -1;
    bool dynamicLogging = false;
    std::optional<std::string> logDirectory;
    // "configured", "documents" or "none".
    std::string logDirectorySource = "none";
    std::optional<std::string> loggers;
    std::vector<MemberReport> members;
    bool defaultConsoleMember = false;
    bool systemLogger = false;

    std::string verdict;
    // 0: the system logger writes somewhere; 1: logging off or no logger.
    int exitCode = 1;
};

// Evaluates the configuration as a process started now would: from
// KIV_SYS_CONFIG_DIR or "CLASSIFIED" beside the executable (executable null:
// this program), or, with file set, that properties file alone.
Report Diagnose(const char* executable, const char* file);

std::string TextReport(const Report& report);
std::string JsonReport(const Report& report);

}  // namespace kivdoctor

#endif  // KIVLOGGING_TOOLS_DOCTOR_REPORT_H
