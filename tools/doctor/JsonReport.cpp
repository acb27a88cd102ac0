#include <sstream>

#include "JsonText.h"
#include "Report.h"

namespace kivdoctor {
namespace {

// Bytes above 126 are taken as Latin-1, so that the output is valid UTF-8
// whatever the file holds.
std::string Json(const std::string& text) {
    return kivtools::JsonString(text, kivtools::JsonBytes::kLatin1);
}

std::string Json(const std::optional<std::string>& text) {
    return text ? Json(*text) : "null";
}

const char* Json(bool value) {
    return value ? "true" : "false";
}

const char* VariableName(VariableState state) {
    switch (state) {
        case VariableState::kUnset: return "unset";
        case VariableState::kBlank: return "blank";
        case VariableState::kSet: return "set";
    }
    return "";
}

const char* OutcomeName(FileOutcome outcome) {
    switch (outcome) {
        case FileOutcome::kNoDirectory: return "no-directory";
        case FileOutcome::kMissing: return "missing";
        case FileOutcome::kUnreadable: return "unreadable";
        case FileOutcome::kNotRegularFile: return "not-regular-file";
        case FileOutcome::kTooLarge: return "too-large";
        case FileOutcome::kRead: return "read";
    }
    return "";
}

const char* VerdictName(LineVerdict verdict) {
    switch (verdict) {
        case LineVerdict::kAccepted: return "accepted";
        case LineVerdict::kEmpty: return "empty";
        case LineVerdict::kComment: return "comment";
        case LineVerdict::kNoEqualsSign: return "no-equals-sign";
        case LineVerdict::kEmptyKey: return "empty-key";
        case LineVerdict::kUnknownKey: return "unknown-key";
        case LineVerdict::kKeyInOtherCase: return "key-in-other-case";
        case LineVerdict::kWhiteSpaceBeforeKey: return "white-space-before-key";
        case LineVerdict::kByteOrderMark: return "byte-order-mark";
        case LineVerdict::kRejectedValue: return "rejected-value";
        case LineVerdict::kNulInValue: return "nul-in-value";
        case LineVerdict::kMissingDirectory: return "missing-directory";
        case LineVerdict::kKeyAlreadyTaken: return "key-already-taken";
    }
    return "";
}

std::string Number(const std::optional<std::uint64_t>& number) {
    return number ? std::to_string(*number) : std::string("null");
}

}  // namespace

std::string JsonReport(const Report& report) {
    std::ostringstream out;
    out << "{\n  \"search\": ";
    if (report.searched) {
        out << "{\"variable\": {\"state\": \"" << VariableName(report.variable)
            << "\", \"value\": " << Json(report.variableValue)
            << ", \"namesFileInDirectory\": " << Json(report.variableNamesFile) << "}, \"classified\": ";
        if (report.classifiedDirectory) {
            out << "{\"directory\": " << Json(*report.classifiedDirectory)
                << ", \"hasFile\": " << Json(report.classifiedHasFile) << "}";
        } else {
            out << "null";
        }
        out << ", \"directory\": "
            << (report.candidateExists ? Json(report.candidate) : std::string("null"))
            << ", \"resolvedDirectory\": " << Json(report.resolvedConfigDirectory)
            << ", \"lookedBesideDoctor\": " << Json(report.lookedBesideDoctor)
            << ", \"misplacedFiles\": [";
        for (size_t i = 0; i < report.misplacedFiles.size(); ++i) {
            out << (i == 0 ? "" : ", ") << "{\"path\": " << Json(report.misplacedFiles[i].path)
                << ", \"mustGoTo\": " << Json(report.misplacedFiles[i].mustGoTo)
                << ", \"orSetVariable\": " << Json(report.misplacedFiles[i].orSetVariable) << "}";
        }
        out << "]}";
    } else {
        out << "null";
    }
    out << ",\n  \"file\": {\"path\": " << Json(report.file) << ", \"outcome\": \""
        << OutcomeName(report.outcome) << "\", \"changedSinceStart\": " << Json(report.changedSinceStart)
        << "},\n  \"lines\": [";
    for (size_t i = 0; i < report.lines.size(); ++i) {
        const LineReport& line = report.lines[i];
        out << (i == 0 ? "\n" : ",\n") << "    {\"number\": " << line.number
            << ", \"text\": " << Json(line.text) << ", \"verdict\": \"" << VerdictName(line.verdict)
            << "\", \"key\": " << Json(line.key) << ", \"stored\": "
            << (line.verdict == LineVerdict::kAccepted ? Json(line.stored) : std::string("null"))
            << ", \"explanation\": " << Json(line.explanation)
            << ", \"suggestion\": " << Json(line.suggestion) << "}";
    }
    out << (report.lines.empty() ? "]" : "\n  ]") << ",\n  \"linesNotShown\": " << report.linesNotShown
        << ",\n  \"stoppedAfterLine\": "
        << (report.stoppedAfterLine ? std::to_string(*report.stoppedAfterLine) : "null")
        << ",\n  \"defaults\": {";
    for (size_t i = 0; i < report.defaults.size(); ++i) {
        out << (i == 0 ? "" : ", ") << Json(report.defaults[i].first) << ": "
            << Json(report.defaults[i].second);
    }
    out << "},\n  \"settings\": {\"logging\": " << Json(report.loggingOn)
        << ", \"level\": " << Json(report.level) << ", \"code\": " << report.levelCode
        << ", \"threshold\": " << Json(report.threshold)
        << ", \"dynamicLogging\": " << Json(report.dynamicLogging)
        << ", \"logDirectory\": " << Json(report.logDirectory)
        << ", \"resolvedLogDirectory\": " << Json(report.resolvedLogDirectory)
        << ", \"workingDirectory\": " << Json(report.workingDirectory)
        << ", \"logDirectorySource\": \""
        << report.logDirectorySource << "\", \"loggers\": " << Json(report.loggers)
        << "},\n  \"diskLimits\": {\"maxFileSize\": " << Number(report.maxFileBytes)
        << ", \"maxFiles\": " << Number(report.maxFiles) << ", \"maxTotalSize\": " << Number(report.maxTotalBytes)
        << ", \"maxAgeDays\": " << Number(report.maxAgeDays) << ", \"retentionProblem\": "
        << Json(report.retentionProblem) << ", \"retention\": [";
    for (size_t i = 0; i < report.retention.size(); ++i) {
        const RetentionReport& file = report.retention[i];
        out << (i == 0 ? "" : ", ") << "{\"path\": " << Json(file.path) << ", \"action\": " << Json(file.action)
            << ", \"reason\": " << Json(file.reason) << "}";
    }
    out << "]},\n  \"systemLogger\": " << Json(report.systemLogger) << ",\n  \"members\": [";
    for (size_t i = 0; i < report.members.size(); ++i) {
        const MemberReport& member = report.members[i];
        out << (i == 0 ? "" : ", ") << "{\"name\": " << Json(member.name)
            << ", \"made\": " << Json(member.made) << ", \"explanation\": "
            << Json(member.explanation) << ", \"suggestion\": " << Json(member.suggestion) << "}";
    }
    out << "],\n  \"membersNotShown\": " << report.membersNotShown << ",\n  \"openLogFiles\": ";
    if (report.judgedProcess) {
        out << "[";
        for (size_t i = 0; i < report.openLogFiles.size(); ++i) {
            out << (i == 0 ? "" : ", ") << Json(report.openLogFiles[i]);
        }
        out << "]";
    } else {
        out << "null";
    }
    out << ",\n  \"defaultConsoleMember\": " << Json(report.defaultConsoleMember)
        << ",\n  \"verdict\": " << Json(report.verdict) << ",\n  \"exitCode\": "
        << static_cast<int>(report.exitCode)
        << "\n}\n";
    return out.str();
}

}  // namespace kivdoctor
