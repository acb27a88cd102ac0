// Messages per second into the systemd journal: the system logger with only
// the journal member, against spdlog's systemd sink and against
// sd_journal_send called directly with the same fields, in one run.
//
// The system logger reads its configuration when the library loads, so the
// program writes one naming the journal and starts itself again with
// KIV_SYS_CONFIG_DIR pointing there.
#include <logging/MsgLog.h>
#include <unistd.h>
// The direct calls name the fields they send, and no more.
#define SD_JOURNAL_SUPPRESS_LOCATION
#include <systemd/sd-journal.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#if defined(KIVLOG_BENCH_WITH_SPDLOG)
#include <spdlog/sinks/systemd_sink.h>
#include <spdlog/spdlog.h>
#endif

using namespace ORVA::KIV::System::Utility::Logging;

namespace {

constexpr char kMethod[] = "Reader::Open";
constexpr char kMarking[] = "(U) ";
constexpr char kConfigVariable[] = "KIV_SYS_CONFIG_DIR";
// Names the configuration directory the bench made for its restart, the
// only directory it removes.
constexpr char kMadeVariable[] = "KIVLOG_JOURNAL_BENCH_CONFIG";

// Messages per second for `messages` calls of logOne.
double Rate(int messages, const std::function<void(int)>& logOne) {
    logOne(-1);
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < messages; ++i) logOne(i);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return messages / elapsed.count();
}

std::string MessageText(int i) {
    return "file missing " + std::to_string(i);
}

// Starts the program again with a configuration that makes the system
// logger a group of the journal member alone.
[[noreturn]] void RestartWithJournalConfiguration(char** argv) {
    const std::filesystem::path directory =
        std::filesystem::temp_directory_path() / ("kivlog-journal-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(directory);
    std::ofstream(directory / "kiv.system.properties")
        << "kiv.logging.status=on\nkiv.log.loggers=journal\n";
    setenv(kConfigVariable, directory.c_str(), 1);
    setenv(kMadeVariable, directory.c_str(), 1);
    execv("/proc/self/exe", argv);
    std::fprintf(stderr, "kivlog-journal-bench: cannot start itself again (errno %d)\n", errno);
    std::exit(2);
}

}  // namespace

int main(int argc, char** argv) {
    const char* made = std::getenv(kMadeVariable);
    if (made == nullptr || std::getenv(kConfigVariable) == nullptr ||
        std::string(made) != std::getenv(kConfigVariable)) {
        RestartWithJournalConfiguration(argv);
    }
    // The restarted program removes the configuration it made.
    std::filesystem::remove_all(made);

    int messages = 20000;
    int repetitions = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::string(argv[i]) == "--messages") messages = std::max(1, std::atoi(argv[i + 1]));
        if (std::string(argv[i]) == "--repetitions") repetitions = std::max(1, std::atoi(argv[i + 1]));
    }

    IMsgLog* system = MsgLogFactory::GetGlobalSystemLogger();
    if (system == nullptr || sd_journal_send("MESSAGE=kivlog-journal-bench starts", "PRIORITY=6",
                                             nullptr) < 0) {
        std::printf("no systemd journal answers here: nothing measured\n");
        return 0;
    }

    using Run = std::function<void(int)>;
    std::vector<std::pair<std::string, Run>> competitors = {
        {"kivlogging journal member", [&](int i) {
             system->Warn(kMethod, MessageText(i).c_str(), kMarking);
         }},
        {"sd_journal_send, the same fields", [&](int i) {
             sd_journal_send("MESSAGE=%s%s", kMarking, MessageText(i).c_str(), "PRIORITY=4",
                             "CODE_FUNC=%s", kMethod, "KIV_LEVEL=WARN", "KIV_MARKING=%s", kMarking,
                             "SYSLOG_IDENTIFIER=%s", program_invocation_short_name, nullptr);
         }},
    };
#if defined(KIVLOG_BENCH_WITH_SPDLOG)
    auto sink = std::make_shared<spdlog::sinks::systemd_sink_mt>(program_invocation_short_name);
    auto spdlogger = std::make_shared<spdlog::logger>("journal", sink);
    competitors.push_back({"spdlog systemd_sink_mt", [&](int i) {
                               spdlogger->warn("{}{}", kMarking, MessageText(i));
                           }});
#endif

    std::map<std::string, std::vector<double>> rates;
    for (int repetition = 0; repetition < repetitions; ++repetition) {
        for (const auto& [name, run] : competitors) rates[name].push_back(Rate(messages, run));
    }
    const auto median = [&](const std::string& name) {
        std::vector<double> values = rates[name];
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    std::printf("%d messages, %d repetitions, medians\n\n", messages, repetitions);
    std::printf("| workload | messages/s |\n|---|---:|\n");
    for (const auto& [name, run] : competitors) std::printf("| %s | %.0f |\n", name.c_str(), median(name));
    std::printf("\n| ratio | value | target |\n|---|---:|---:|\n");
    std::printf("| journal member / sd_journal_send | %.2f | >= 0.90 |\n",
                median("kivlogging journal member") / median("sd_journal_send, the same fields"));
#if defined(KIVLOG_BENCH_WITH_SPDLOG)
    std::printf("| journal member / spdlog systemd_sink_mt | %.2f | |\n",
                median("kivlogging journal member") / median("spdlog systemd_sink_mt"));
#endif
    return 0;
}
