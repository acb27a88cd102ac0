// kivlog-doctor: explains the logging configuration an application started
// in this environment would get. Reads, never writes.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "Report.h"
#include "TerminalText.h"
#include "TargetProcess.h"
#include "platform/PathText.h"

namespace {

constexpr char kUsage[] =
    "usage: kivlog-doctor [--exe PATH | --pid PID | --file PATH] [--json]\n"
    "  --exe PATH   look for CLASSIFIED/kiv.system.properties beside the program PATH\n"
    "               (default: beside kivlog-doctor itself, which tells little about\n"
    "               an application)\n"
    "  --pid PID    judge the running process PID (Linux): its program, its\n"
    "               KIV_SYS_CONFIG_DIR, HOME and XDG folders, its working directory,\n"
    "               its files and its real user (setuid programs are refused)\n"
    "  --file PATH  check this properties file alone\n"
    "  --json       print the report as one JSON document\n"
    "  --help       print this text\n"
    "exit status:\n"
    "  0  the system logger writes, with every configured member\n"
    "  1  logging is off, or there is no system logger\n"
    "  2  usage error, --pid could not read or refuses to judge the process, or the\n"
    "     report could not be written\n"
    "  3  the system logger writes, but some configured member is not made\n";

// Messages name files and values from the system; they reach the terminal
// with control characters escaped.
void Complain(const std::string& problem) {
    const std::string safe = kivtools::TerminalSafe(problem);
    std::fprintf(stderr, "kivlog-doctor: %s\n", safe.c_str());
}

int UsageError(const std::string& problem) {
    Complain(problem);
    std::fputs(kUsage, stderr);
    return kivdoctor::kUsageError;
}

// Prints the report and returns its exit status, or kUsageError with a
// message when standard output refuses it (a full disk, a closed pipe), so
// that a script never takes a lost report for a verdict.
int Print(const kivdoctor::Report& report, bool json) {
    // The JSON report escapes every control character itself.
    const std::string text = json ? kivdoctor::JsonReport(report)
                                  : kivtools::TerminalSafe(kivdoctor::TextReport(report));
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0) {
        Complain(std::string("cannot write the report: ") + std::strerror(errno));
        return kivdoctor::kUsageError;
    }
    return report.exitCode;
}

}  // namespace

int main(int argc, char** argv) {
    const char* executable = nullptr;
    const char* file = nullptr;
    const char* pid = nullptr;
    bool json = false;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--json") {
            json = true;
        } else if ((option == "--exe" || option == "--file" || option == "--pid") && i + 1 < argc) {
            (option == "--exe" ? executable : option == "--file" ? file : pid) = argv[++i];
        } else if (option == "--help" || option == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else {
            return UsageError("unknown or incomplete option: " + option);
        }
    }
    if ((executable != nullptr) + (file != nullptr) + (pid != nullptr) > 1) {
        return UsageError("--exe, --pid and --file exclude each other");
    }
    if (pid != nullptr) {
        return kivdoctor::JudgeTargetProcess(pid, [json](const kivdoctor::TargetProcess& target) {
            return Print(kivdoctor::Diagnose(target.executable.c_str(), nullptr, &target), json);
        });
    }
    // Paths on the command line are text in the code page; the library
    // looks them up in its path encoding.
    using ORVA::KIV::System::Utility::Logging::Platform::PathFromText;
    const std::string executablePath = executable == nullptr ? std::string() : PathFromText(executable);
    const std::string filePath = file == nullptr ? std::string() : PathFromText(file);
    return Print(kivdoctor::Diagnose(executable == nullptr ? nullptr : executablePath.c_str(),
                                     file == nullptr ? nullptr : filePath.c_str(), nullptr),
                 json);
}
