// kivlog: reads, filters, merges, converts and follows the logs that the
// library writes; summarises them (stats) and deletes old log files (prune).
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "LastRecords.h"
#include "Options.h"
#include "Output.h"
#include "Prune.h"
#include "Reading.h"
#include "RecordWriter.h"
#include "Stats.h"
#include "ProblemReport.h"
#include "ToolPlatform.h"

namespace {

constexpr char kUsage[] =
    "usage: kivlog [OPTIONS] [--] [PATH...]   print the records of log files\n"
    "       kivlog stats [FILTERS] [PATH...]  summarise them\n"
    "       kivlog prune DIR [--keep N] [--older-than DAYS] [--max-total-size SIZE]\n"
    "                    [--dry-run]          delete old log files\n"
    "PATH: a log file, a directory (its kiv.log_*.log files) or - for standard\n"
    "input (the default); several inputs are merged in time order.\n"
    "output: the library's own layout (default), --line one line per record,\n"
    "  --json JSON Lines; -f/--follow keeps reading as files grow and new ones\n"
    "  appear; -n N/--lines N the last N records only (then follows with -f);\n"
    "  --raw-bytes writes control characters unescaped to a terminal; --utc\n"
    "  writes the times of --line and --json in UTC, by this machine's zone\n"
    "filters (all must pass): --level LEVEL (and above), --since TIME,\n"
    "  --until TIME (YYYY-MM-DD[Thh:mm[:ss]], now, today, yesterday, -N[smhd]),\n"
    "  --method REGEX, --grep REGEX (over the body), --marking TEXT,\n"
    "  --raw (raw text only), --no-raw\n"
    "  An option's value may also follow '=' (--level=ERROR).\n"
    "prune deletes only names the file log makes, never a file that a running\n"
    "  program is logging to; SIZE takes K, M or G.\n"
    "--help prints this text.\n"
    "exit status: 0 when every input was read, 1 when some could not be,\n"
    "2 for a usage error\n";

int UsageError(const std::string& problem) {
    const std::string line = "kivlog: " + kivlog::TerminalSafeName(problem) + "\n";
    std::fputs(line.c_str(), stderr);
    std::fputs(kUsage, stderr);
    return 2;
}

int PrintUsage() {
    if (std::fputs(kUsage, stdout) < 0 || std::fflush(stdout) != 0) {
        std::fprintf(stderr, "kivlog: cannot write to standard output\n");
        return 1;
    }
    return 0;
}

int RunRead(const kivlog::ReadOptions& options) {
    kivlog::Output output(!options.rawBytes && kivlog::StandardOutputIsTerminal());
    kivlog::RecordWriter writer(output, options.form);
    if (options.utc) writer.WriteUtc();
    // With -n, the history is kept back until it has been read, then its
    // last records are written.
    std::optional<kivlog::LastRecords> history;
    if (options.lastRecords) history.emplace(*options.lastRecords);
    const auto endHistory = [&] {
        if (!history) return;
        history->Release([&](const kivlog::Record& record) { writer.Write(record); });
        history.reset();
    };
    kivlog::RecordSinks sinks;
    sinks.onInput = [&](int input, const std::string& path) { writer.AddInput(input, path); };
    sinks.onRecord = [&](const kivlog::Record& record) {
        if (!history) {
            writer.Write(record);
        } else if (writer.Shows(record)) {
            // -n counts the records shown.
            history->Keep(record);
        }
    };
    sinks.onBannerLeftOut = [&](const kivlog::Record& banner) { writer.KeepBanner(banner); };
    sinks.onCaughtUp = endHistory;
    sinks.onIdle = [&] { return output.Flush(); };
    sinks.onInputsMayAppear = [&] { writer.NameInputs(); };
    const int status = kivlog::ReadRecords(options, sinks);
    endHistory();
    if (!output.Flush()) {
        std::fprintf(stderr, "kivlog: cannot write to standard output\n");
        return 1;
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    kivlog::PrepareStandardStreams();
    const std::vector<std::string> arguments(argv, argv + argc);
    const std::string command = arguments.size() > 1 ? arguments[1] : "";
    std::string problem;
    if (command == "prune") {
        kivlog::PruneOptions options;
        if (!kivlog::ParsePruneOptions(arguments, 2, &options, &problem)) return UsageError(problem);
        return options.help ? PrintUsage() : kivlog::RunPrune(options);
    }
    const bool stats = command == "stats";
    kivlog::ReadOptions options;
    if (!kivlog::ParseReadOptions(arguments, stats ? 2 : 1, !stats, &options, &problem)) {
        return UsageError(problem);
    }
    if (options.help) return PrintUsage();
    return stats ? kivlog::RunStats(options) : RunRead(options);
}
