#include <sstream>

#include "Report.h"
#include "TerminalText.h"

namespace kivdoctor {
namespace {

const char* OutcomeText(FileOutcome outcome) {
    switch (outcome) {
        case FileOutcome::kNoDirectory: return "no configuration directory, so no file to read";
        case FileOutcome::kMissing: return "missing";
        case FileOutcome::kUnreadable: return "cannot be read (no permission, or it is a directory)";
        case FileOutcome::kNotRegularFile: return "not read: no regular file (a FIFO, device or socket)";
        case FileOutcome::kTooLarge: return "not read: larger than the library reads";
        case FileOutcome::kRead: return "read";
    }
    return "";
}

void WriteSearch(const Report& report, std::ostringstream& out) {
    out << "Where the configuration was looked for\n";
    switch (report.variable) {
        case VariableState::kSet:
            out << "  1. KIV_SYS_CONFIG_DIR is set to \"" << report.variableValue
                << "\"; it decides alone.\n";
            if (report.variableNamesFile) {
                out << "     It names the properties file itself, but it must name the directory\n"
                    << "     that holds it: set KIV_SYS_CONFIG_DIR=" << *report.variableNamesFile << "\n";
            }
            break;
        case VariableState::kBlank:
            out << "  1. KIV_SYS_CONFIG_DIR is blank, which counts as unset.\n";
            break;
        case VariableState::kUnset:
            out << "  1. KIV_SYS_CONFIG_DIR is not set.\n";
            break;
    }
    if (report.classifiedDirectory) {
        if (report.classifiedDirectory->empty()) {
            out << "  2. The executable's directory is unknown.\n";
        } else {
            out << "  2. CLASSIFIED beside the executable: " << *report.classifiedDirectory
                << (report.classifiedHasFile ? " holds kiv.system.properties.\n"
                                             : " has no kiv.system.properties.\n");
        }
    }
    if (!report.candidate.empty()) {
        out << "  Configuration directory: " << report.candidate
            << (report.candidateExists ? "\n" : " (does not exist)\n");
    }
    if (report.resolvedConfigDirectory) {
        out << "  It is relative to the working directory " << report.workingDirectory
            << ": " << *report.resolvedConfigDirectory << "\n";
    }
    if (report.lookedBesideDoctor) {
        out << "  Note: without --exe or --pid the search starts beside kivlog-doctor itself,\n"
            << "  which tells nothing about an application. Run kivlog-doctor --exe PROGRAM,\n"
            << "  or --pid PID for a running process, or set KIV_SYS_CONFIG_DIR as the\n"
            << "  application has it.\n";
    }
    for (const MisplacedFile& misplaced : report.misplacedFiles) {
        out << "  Found " << misplaced.path << ", but the library does not look there:\n"
            << "  it must be " << misplaced.mustGoTo << ",\n"
            << "  or the program must run with KIV_SYS_CONFIG_DIR=" << misplaced.orSetVariable
            << " (as installed programs do)\n";
    }
}

// The retention limits in words.
std::string RetentionText(const Report& report) {
    std::string text;
    const auto add = [&text](const std::string& part) { text += (text.empty() ? "" : ", ") + part; };
    if (report.maxFiles) add("at most " + std::to_string(*report.maxFiles) + " files");
    if (report.maxTotalBytes) add("at most " + std::to_string(*report.maxTotalBytes) + " bytes in all");
    if (report.maxAgeDays) add("none older than " + std::to_string(*report.maxAgeDays) + " days");
    return text.empty() ? "none (old log files stay)" : text + " (default-named files of the log directory)";
}

}  // namespace

std::string TextReport(const Report& report) {
    std::ostringstream out;
    out << "kivlog-doctor: how the logging configuration is read\n\n";
    if (report.searched) {
        WriteSearch(report, out);
        out << "\n";
    }
    out << "Properties file: " << (report.file.empty() ? "(none)" : report.file) << ": "
        << OutcomeText(report.outcome) << "\n";
    if (report.changedSinceStart) {
        out << "  It changed after the process started: the process may have read other\n"
            << "  settings than those below.\n";
    }
    out << "\n";

    if (!report.lines.empty()) {
        out << "Lines of the file\n";
        for (const LineReport& line : report.lines) {
            out << "  " << line.number << ": " << line.text << "\n      " << line.explanation << "\n";
        }
        if (report.linesNotShown > 0) {
            out << "  ... and " << report.linesNotShown << " more lines, none of them accepted\n";
        }
        if (report.stoppedAfterLine) {
            out << "  Reading stopped after line " << *report.stoppedAfterLine
                << ": every key was set; later lines are not read.\n";
        }
        out << "\n";
    }
    if (!report.defaults.empty()) {
        out << "Defaults for the keys the file left unset\n";
        for (const auto& [key, value] : report.defaults) out << "  " << key << " = \"" << value << "\"\n";
        out << "\n";
    }
    if (report.documentsFolder && !report.documentsFolderExists) {
        out << "The Documents folder \"" << *report.documentsFolder
            << "\" does not exist, so there is no default log directory.\n\n";
    }

    out << "Settings\n"
        << "  logging:         " << (report.loggingOn ? "on" : "off") << "\n"
        << "  level:           " << report.level << " (code " << report.levelCode
        << "; reported only, it filters nothing)\n"
        << "  threshold:       "
        << (report.threshold ? *report.threshold + " (messages of lower levels are dropped)"
                             : std::string("none (no message is dropped)"))
        << "\n"
        << "  dynamic logging: " << (report.dynamicLogging ? "on" : "off") << "\n"
        << "  log directory:   "
        << (report.logDirectory ? *report.logDirectory + " (" +
                                      (report.logDirectorySource == "configured"
                                           ? std::string("configured")
                                           : std::string("the Documents folder")) +
                                      ")"
                                : std::string("none"))
        << "\n"
        << "  logger list:     " << report.loggers.value_or("(not set)") << "\n"
        << "  file size limit: "
        << (report.maxFileBytes ? std::to_string(*report.maxFileBytes) +
                                      " bytes (the system logger's file moves on to a new one before it)"
                                : std::string("none (the file grows for as long as the process logs)"))
        << "\n"
        << "  retention:       " << RetentionText(report) << "\n";
    if (report.outcome == FileOutcome::kRead && !report.threshold && report.level != "DEBUG") {
        out << "  kiv.log.level is " << report.level << ", but the level filters nothing: every\n"
            << "  message is written. To drop messages below " << report.level
            << ", set kiv.log.threshold=" << report.level << ".\n";
    }
    if (report.resolvedLogDirectory) {
        out << "  The log directory is relative to the working directory "
            << report.workingDirectory << ": it is " << *report.resolvedLogDirectory
            << " for a process started there.\n";
    }
    out << "\n";

    const bool limited = report.maxFileBytes || report.maxFiles || report.maxTotalBytes || report.maxAgeDays;
    bool fileMember = false;
    for (const MemberReport& member : report.members) {
        fileMember = fileMember || (member.made && member.name == "plain.file");
    }
    if (limited && !fileMember) {
        out << "The disk limits act only on the system logger's plain.file member, which is not made here.\n\n";
    }
    if (report.retentionProblem) {
        out << "Retention: " << *report.retentionProblem << "; old log files stay.\n\n";
    } else if (report.maxFiles || report.maxTotalBytes || report.maxAgeDays) {
        if (report.retention.empty()) {
            out << "Retention would delete nothing in the log directory now.\n\n";
        } else {
            out << "Retention now (nothing was deleted; a process that starts also makes a new file)\n";
            for (const RetentionReport& file : report.retention) {
                out << "  " << file.action << ": " << kivtools::TerminalSafeName(file.path)
                    << (file.reason.empty() ? std::string() : " (" + file.reason + ")") << "\n";
            }
            out << "\n";
        }
    }

    if (report.systemLogger) {
        out << "System logger members\n";
        for (const MemberReport& member : report.members) {
            out << "  " << member.name << ": " << member.explanation << "\n";
        }
        if (report.membersNotShown > 0) {
            out << "  ... and " << report.membersNotShown << " more names that make no member\n";
        }
        if (report.defaultConsoleMember) {
            out << "  (no usable name: the default member, a console log, is used)\n";
        }
        out << "\n";
    } else {
        out << "There is no system logger: MsgLogFactory::GetGlobalSystemLogger() returns null.\n\n";
    }
    out << "Verdict: " << report.verdict << "\n";
    return out.str();
}

}  // namespace kivdoctor
