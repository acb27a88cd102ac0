// kivlog-doctor: explains the logging configuration an application started
// in this environment would get. Reads, never writes.
#include <cstdio>
#include <cstring>
#include <string>

#include "Report.h"

namespace {

constexpr char kUsage[] =
    "usage: kivlog-doctor [--exe PATH | --file PATH] [--json]\n"
    "  --exe PATH   look for CLASSIFIED/kiv.system.properties beside PATH\n"
    "               (default: beside kivlog-doctor itself)\n"
    "  --file PATH  check this properties file alone\n"
    "  --json       print the report as one JSON document\n"
    "exit status: 0 when the system logger writes somewhere, 1 when logging is off\n"
    "or there is no system logger, 2 for a usage error\n";

int UsageError(const char* problem) {
    std::fprintf(stderr, "kivlog-doctor: %s\n%s", problem, kUsage);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const char* executable = nullptr;
    const char* file = nullptr;
    bool json = false;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--json") {
            json = true;
        } else if ((option == "--exe" || option == "--file") && i + 1 < argc) {
            (option == "--exe" ? executable : file) = argv[++i];
        } else if (option == "--help" || option == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else {
            return UsageError(("unknown or incomplete option: " + option).c_str());
        }
    }
    if (executable != nullptr && file != nullptr) return UsageError("--exe and --file exclude each other");

    const kivdoctor::Report report = kivdoctor::Diagnose(executable, file);
    const std::string text = json ? kivdoctor::JsonReport(report) : kivdoctor::TextReport(report);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return report.exitCode;
}
