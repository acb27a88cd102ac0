// Throughput of logging that writes every message through to the operating
// system before the call returns, side by side in one run:
//   W1  a file log, against spdlog's basic_file_sink_mt flushing every
//       message and against a bare loop making one write(2) per message;
//   W2  a console log to standard output redirected to /dev/null, against
//       spdlog's stdout_sink_mt;
//   W3  a front end called while logging is switched off, and one below the
//       severity threshold;
//   W1  also the system logger's file member, without and with a size limit
//       (kiv.log.max.file.size), each in a child process of its own since
//       the settings are read when the library loads; and the cost of a
//       rollover that applies retention over a directory of 10,000 files;
//   W4  KIV_WARN formatting "order {} rejected: {}" into a file log, against
//       spdlog's logger->warn with the same format in the same layout, and
//       KIV_WARN called while logging is off, next to W3, and KIV_DEBUG
//       below the severity threshold.
// Competitors run interleaved, several repetitions each; medians are printed.
#include <fcntl.h>
#include <logging/MsgLog.h>
#include <logging/MsgLogFormat.h>
#include <logging/MsgLogThreshold.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "AllocationCounter.h"
#include "EmptyCall.h"
#include "Workload.h"

#if defined(KIVLOG_BENCH_WITH_SPDLOG)
#include <spdlog/sinks/basic_file_sink.h>
#include <spdlog/sinks/stdout_sinks.h>
#include <spdlog/spdlog.h>
#endif

using namespace ORVA::KIV::System::Utility::Logging;

namespace {

using kivbench::kMarking;
using kivbench::kMethod;
using kivbench::Median;
using kivbench::MessageText;

constexpr char kReason[] = "no stock";

struct Options {
    int messages = 200000;
    int repetitions = 5;
    long offCalls = 100000000;
    // Runs only the competitors whose name contains this text.
    std::string only;
    std::filesystem::path directory = std::filesystem::temp_directory_path() / "kivlog-bench";
};

// One timed run: messages per second, and heap allocations per message.
struct Sample {
    double perSecond = 0;
    double allocationsPerMessage = 0;
};

Sample Time(int messages, const std::function<void(int)>& logOne) {
    logOne(-1);  // warm up: buffers grown, time stamp converted
    const std::uint64_t allocationsBefore = kivbench::AllocationCount();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < messages; ++i) logOne(i);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    const std::uint64_t allocations = kivbench::AllocationCount() - allocationsBefore;
    return {messages / elapsed.count(), static_cast<double>(allocations) / messages};
}

// Counts the messages a file holds.
long CountMessages(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    const std::string text = content.str();
    long count = 0;
    for (size_t at = text.find("\n(U) WARN ["); at != std::string::npos;
         at = text.find("\n(U) WARN [", at + 1)) {
        ++count;
    }
    return count;
}

// Standard output goes to /dev/null while the object lives.
class StdoutToNull {
public:
    StdoutToNull() {
        std::fflush(stdout);
        m_saved = dup(1);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        close(null);
    }
    ~StdoutToNull() {
        std::fflush(stdout);
        dup2(m_saved, 1);
        close(m_saved);
    }

private:
    int m_saved = -1;
};

// The physical limit: the message composed in a stack buffer, one write.
Sample RunBareWrites(const Options& options, const std::filesystem::path& file) {
    const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND, 0644);
    kivbench::DirectMessage message;
    const Sample sample = Time(options.messages, [&](int i) {
        char line[256];
        const size_t length = message.Compose(line, i);
        if (write(fd, line, length) != static_cast<ssize_t>(length)) std::abort();
    });
    close(fd);
    return sample;
}

Sample RunKivFile(const Options& options, const std::filesystem::path& file) {
    IMsgLog* log = MsgLogFactory::NewMsgLog(IMsgLog::MSG_LOG_PLAIN_FILE, file.c_str());
    const Sample sample = Time(options.messages, [log](int i) {
        char text[64];
        log->Warn(kMethod, MessageText(text, i), kMarking);
    });
    MsgLogFactory::DeleteMsgLog(&log);
    return sample;
}

Sample RunKivConsole(const Options& options) {
    IMsgLog* log = SysOutMsgLog::NewSysOutMsgLog();
    StdoutToNull toNull;
    const Sample sample = Time(options.messages, [log](int i) {
        char text[64];
        log->Warn(kMethod, MessageText(text, i), kMarking);
    });
    MsgLogFactory::DeleteMsgLog(&log);
    return sample;
}

// The message of W4; the macro names the method "RejectOrder".
void RejectOrder(IMsgLog* log, int id, const char* reason) {
    KIV_WARN(log, "(U) ", "order {} rejected: {}", id, reason);
}

Sample RunKivFormat(const Options& options, const std::filesystem::path& file) {
    const MsgLogPtr log = MakeMsgLog(IMsgLog::MSG_LOG_PLAIN_FILE, file.c_str());
    return Time(options.messages, [&log](int i) { RejectOrder(log.get(), i, kReason); });
}

#if defined(KIVLOG_BENCH_WITH_SPDLOG)
using kivbench::kKivLayout;
using kivbench::UseKivLayout;

constexpr char kRejectOrderLayout[] = "\n(U) WARN [%Y/%m/%d %H:%M:%S] RejectOrder:\n(U) %v";

Sample RunSpdlog(const Options& options, spdlog::logger& logger) {
    UseKivLayout(logger, kKivLayout);
    return Time(options.messages, [&logger](int i) {
        char text[64];
        logger.warn("{}:\n{}{}", kMethod, kMarking, MessageText(text, i));
    });
}

Sample RunSpdlogFile(const Options& options, const std::filesystem::path& file) {
    auto sink = std::make_shared<spdlog::sinks::basic_file_sink_mt>(file.string(), true);
    spdlog::logger logger("file", sink);
    return RunSpdlog(options, logger);
}

Sample RunSpdlogFormat(const Options& options, const std::filesystem::path& file) {
    auto sink = std::make_shared<spdlog::sinks::basic_file_sink_mt>(file.string(), true);
    spdlog::logger logger("format", sink);
    UseKivLayout(logger, kRejectOrderLayout);
    return Time(options.messages, [&logger](int i) { logger.warn("order {} rejected: {}", i, kReason); });
}

Sample RunSpdlogConsole(const Options& options) {
    StdoutToNull toNull;
    auto sink = std::make_shared<spdlog::sinks::stdout_sink_mt>();
    spdlog::logger logger("console", sink);
    return RunSpdlog(options, logger);
}
#endif

// How a message is kept from being written: logging switched off, or a
// threshold above its level.
enum class Silence { kSwitchedOff, kBelowThreshold };

// Runs calls() in the silence and returns nanoseconds per call.
template <class Calls>
double TimeSilenced(const Options& options, Silence silence, Calls calls) {
    if (silence == Silence::kSwitchedOff) IMsgLog::TurnLoggingOff();
    if (silence == Silence::kBelowThreshold) MsgLogThreshold::Set(MsgSeverity::Error);
    const auto start = std::chrono::steady_clock::now();
    calls();
    const std::chrono::duration<double, std::nano> elapsed = std::chrono::steady_clock::now() - start;
    IMsgLog::TurnLoggingOn();
    MsgLogThreshold::Set(MsgSeverity::Debug);
    return elapsed.count() / static_cast<double>(options.offCalls);
}

// Nanoseconds per Info front-end call that writes nothing.
double RunSilencedFrontEnd(const Options& options, Silence silence) {
    IMsgLog* log = SysOutMsgLog::NewSysOutMsgLog();
    const double nanoseconds = TimeSilenced(options, silence, [&] {
        for (long i = 0; i < options.offCalls; ++i) log->Info(kMethod, "file missing", kMarking);
    });
    MsgLogFactory::DeleteMsgLog(&log);
    return nanoseconds;
}

// Nanoseconds per KIV_WARN while logging is off, or per KIV_DEBUG below the
// threshold; counts the evaluations of an argument, which must stay at zero.
double RunSilencedMacro(const Options& options, Silence silence, long& evaluations) {
    const MsgLogPtr log(SysOutMsgLog::NewSysOutMsgLog());
    return TimeSilenced(options, silence, [&] {
        for (long i = 0; i < options.offCalls; ++i) {
            if (silence == Silence::kSwitchedOff) {
                KIV_WARN(log, "(U) ", "order {} rejected: {}", ++evaluations, kReason);
            } else {
                KIV_DEBUG(log, "(U) ", "order {} rejected: {}", ++evaluations, kReason);
            }
        }
    });
}

// Nanoseconds per call of a virtual function that does nothing.
double RunEmptyCalls(const Options& options) {
    kivbench::EmptyCall* call = &kivbench::TheEmptyCall();
    const auto start = std::chrono::steady_clock::now();
    for (long i = 0; i < options.offCalls; ++i) call->Info(kMethod, "file missing", kMarking);
    const std::chrono::duration<double, std::nano> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count() / static_cast<double>(options.offCalls);
}

// The child's side: times each message through the system logger and
// prints the rate, then the slowest calls in microseconds, slowest first.
int RunSystemLoggerChild(int messages) {
    IMsgLog* system = MsgLogFactory::GetGlobalSystemLogger();
    if (system == nullptr) return 1;
    char text[64];
    system->Warn(kMethod, MessageText(text, -1), kMarking);
    std::vector<double> micros(static_cast<size_t>(messages));
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < messages; ++i) {
        const auto before = std::chrono::steady_clock::now();
        system->Warn(kMethod, MessageText(text, i), kMarking);
        micros[static_cast<size_t>(i)] =
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - before).count();
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    std::sort(micros.begin(), micros.end(), std::greater<>());
    std::printf("%.0f", messages / elapsed.count());
    for (size_t i = 0; i < micros.size() && i < 256; ++i) std::printf(" %.1f", micros[i]);
    std::printf("\n");
    return 0;
}

struct ChildSample {
    double perSecond = 0;
    std::vector<double> slowestMicros;
};

// Runs this program as a child whose system logger writes into
// directory/logs with the properties given besides.
ChildSample RunSystemLogger(const std::filesystem::path& directory, const std::string& limits, int messages) {
    const std::filesystem::path config = directory / "config";
    std::filesystem::create_directories(config);
    std::filesystem::create_directories(directory / "logs");
    std::ofstream(config / "kiv.system.properties")
        << "kiv.logging.status=on\nkiv.log.loggers=plain.file\nkiv.log.dir=" << (directory / "logs").string()
        << "\n" << limits;
    const std::string command = "KIV_SYS_CONFIG_DIR='" + config.string() + "' '" +
                                std::filesystem::read_symlink("/proc/self/exe").string() +
                                "' --system-logger-child " + std::to_string(messages);
    ChildSample sample;
    FILE* child = popen(command.c_str(), "r");
    if (child == nullptr) return sample;
    char line[8192] = {};
    if (std::fgets(line, sizeof line, child) != nullptr) {
        std::istringstream values(line);
        values >> sample.perSecond;
        for (double micros = 0; values >> micros;) sample.slowestMicros.push_back(micros);
    }
    pclose(child);
    return sample;
}

// Messages in the default-named files of the directory.
long CountMessagesIn(const std::filesystem::path& directory) {
    long count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) count += CountMessages(entry.path());
    return count;
}

// Milliseconds per rollover that applies retention (kiv.log.max.files) over
// a directory of 10,000 old log files: the slowest calls, one per new file.
double RetentionMillisecondsPerRollover(const std::filesystem::path& directory) {
    constexpr int kOldFiles = 10000;
    std::filesystem::remove_all(directory);
    std::filesystem::create_directories(directory / "logs");
    for (int i = 0; i < kOldFiles; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "kiv.log_2020-01-%02d_%02d_%02d_%02d.log", 1 + i / 86400, i / 3600 % 24,
                      i / 60 % 60, i % 60);
        std::ofstream(directory / "logs" / name) << "old";
    }
    const ChildSample sample =
        RunSystemLogger(directory, "kiv.log.max.file.size=64K\nkiv.log.max.files=" + std::to_string(kOldFiles) + "\n",
                        20000);
    size_t newFiles = 0;
    for (const auto& entry : std::filesystem::directory_iterator(directory / "logs")) {
        if (entry.path().filename().string().rfind("kiv.log_2020-", 0) != 0) ++newFiles;
    }
    // The first file was made at start; each later one by a rollover.
    const size_t rollovers = std::min(newFiles > 0 ? newFiles - 1 : 0, sample.slowestMicros.size());
    if (rollovers == 0) return -1;
    double total = 0;
    for (size_t i = 0; i < rollovers; ++i) total += sample.slowestMicros[i];
    return total / static_cast<double>(rollovers) / 1000.0;
}

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        if (name == "--messages") options.messages = std::atoi(argv[i + 1]);
        else if (name == "--repetitions") options.repetitions = std::atoi(argv[i + 1]);
        else if (name == "--off-calls") options.offCalls = std::atol(argv[i + 1]);
        else if (name == "--dir") options.directory = argv[i + 1];
        else if (name == "--only") options.only = argv[i + 1];
    }
    options.messages = std::max(options.messages, 1);
    options.repetitions = std::max(options.repetitions, 1);
    options.offCalls = std::max(options.offCalls, 1L);
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--system-logger-child") return RunSystemLoggerChild(std::atoi(argv[2]));
    const Options options = ParseOptions(argc, argv);
    std::filesystem::create_directories(options.directory);
    IMsgLog::TurnLoggingOn();

    using Run = std::function<Sample()>;
    std::vector<std::pair<std::string, Run>> competitors = {
        {"W1 kivlogging file log", [&] { return RunKivFile(options, options.directory / "kiv.log"); }},
        {"W1 one write(2) per message", [&] { return RunBareWrites(options, options.directory / "bare.log"); }},
        {"W2 kivlogging console log", [&] { return RunKivConsole(options); }},
        {"W4 kivlogging KIV_WARN file log", [&] { return RunKivFormat(options, options.directory / "kivfmt.log"); }},
    };
    // The system logger, in children: the rate includes timing each call.
    const std::filesystem::path unlimited = options.directory / "system";
    const std::filesystem::path limited = options.directory / "system-limited";
    const auto systemLogger = [&options](const std::filesystem::path& directory, const std::string& limits) {
        std::filesystem::remove_all(directory / "logs");
        return Sample{RunSystemLogger(directory, limits, options.messages).perSecond, 0};
    };
    competitors.push_back({"W1 system logger file", [&] { return systemLogger(unlimited, ""); }});
    competitors.push_back({"W1 system logger file, 4M size limit",
                           [&] { return systemLogger(limited, "kiv.log.max.file.size=4M\n"); }});
#if defined(KIVLOG_BENCH_WITH_SPDLOG)
    competitors.insert(competitors.begin() + 1,
                       {"W1 spdlog basic_file_sink_mt", [&] {
                            return RunSpdlogFile(options, options.directory / "spdlog.log");
                        }});
    competitors.insert(competitors.end() - 1,
                       {"W2 spdlog stdout_sink_mt", [&] { return RunSpdlogConsole(options); }});
    competitors.push_back({"W4 spdlog logger->warn file", [&] {
                               return RunSpdlogFormat(options, options.directory / "spdlogfmt.log");
                           }});
#endif

    std::erase_if(competitors, [&](const auto& competitor) {
        return competitor.first.find(options.only) == std::string::npos;
    });

    std::map<std::string, std::vector<double>> rates;
    std::map<std::string, double> allocations;
    for (int repetition = 0; repetition < options.repetitions; ++repetition) {
        for (const auto& [name, run] : competitors) {
            const Sample sample = run();
            rates[name].push_back(sample.perSecond);
            allocations[name] = std::max(allocations[name], sample.allocationsPerMessage);
        }
    }
    std::vector<double> offNanoseconds;
    std::vector<double> belowNanoseconds;
    std::vector<double> emptyNanoseconds;
    std::vector<double> offMacroNanoseconds;
    std::vector<double> belowMacroNanoseconds;
    long offEvaluations = 0;
    for (int repetition = 0; options.only.empty() && repetition < options.repetitions; ++repetition) {
        offNanoseconds.push_back(RunSilencedFrontEnd(options, Silence::kSwitchedOff));
        belowNanoseconds.push_back(RunSilencedFrontEnd(options, Silence::kBelowThreshold));
        offMacroNanoseconds.push_back(RunSilencedMacro(options, Silence::kSwitchedOff, offEvaluations));
        belowMacroNanoseconds.push_back(RunSilencedMacro(options, Silence::kBelowThreshold, offEvaluations));
        emptyNanoseconds.push_back(RunEmptyCalls(options));
    }

    std::printf("%d messages, %d repetitions, medians\n\n", options.messages, options.repetitions);
    std::printf("| workload | messages/s | heap allocations per message |\n|---|---:|---:|\n");
    for (const auto& [name, run] : competitors) {
        std::printf("| %s | %.0f | %.2f |\n", name.c_str(), Median(rates[name]), allocations[name]);
    }
    // A partial run (--only) has nothing to compare.
    if (!options.only.empty()) return 0;
    const double kivFile = Median(rates["W1 kivlogging file log"]);
    std::printf("\n| ratio | value | target |\n|---|---:|---:|\n");
    std::printf("| W1 kivlogging / one write(2) per message | %.2f | >= 0.85 |\n",
                kivFile / Median(rates["W1 one write(2) per message"]));
#if defined(KIVLOG_BENCH_WITH_SPDLOG)
    std::printf("| W1 kivlogging / spdlog | %.2f | >= 1.00 |\n",
                kivFile / Median(rates["W1 spdlog basic_file_sink_mt"]));
    std::printf("| W2 kivlogging / spdlog | %.2f | >= 1.00 |\n",
                Median(rates["W2 kivlogging console log"]) / Median(rates["W2 spdlog stdout_sink_mt"]));
#endif
    std::printf("| W3 front end while off, ns per call | %.2f | <= 2.00 |\n", Median(offNanoseconds));
    std::printf("| W3 floor: an empty virtual call, ns | %.2f | |\n", Median(emptyNanoseconds));
    std::printf("| W3 below threshold, ns per call | %.2f | |\n", Median(belowNanoseconds));
    std::printf("| W3 below threshold / W3 front end while off | %.2f | <= 1.20 |\n",
                Median(belowNanoseconds) / Median(offNanoseconds));
#if defined(KIVLOG_BENCH_WITH_SPDLOG)
    std::printf("| W4 KIV_WARN / spdlog logger->warn | %.2f | >= 1.00 |\n",
                Median(rates["W4 kivlogging KIV_WARN file log"]) / Median(rates["W4 spdlog logger->warn file"]));
#endif
    std::printf("| W4 KIV_WARN while off, ns per call | %.2f | |\n", Median(offMacroNanoseconds));
    std::printf("| W4 KIV_WARN while off / W3 front end while off | %.2f | <= 1.20 |\n",
                Median(offMacroNanoseconds) / Median(offNanoseconds));
    std::printf("| W4 KIV_DEBUG below threshold, ns per call | %.2f | |\n", Median(belowMacroNanoseconds));
    std::printf("| W4 KIV_DEBUG below threshold / KIV_WARN while off | %.2f | <= 1.20 |\n",
                Median(belowMacroNanoseconds) / Median(offMacroNanoseconds));
    std::printf("| W4 arguments evaluated while off or below threshold | %ld | 0 |\n", offEvaluations);
    std::printf("| W1 system logger with size limit / without | %.2f | >= 0.95 |\n",
                Median(rates["W1 system logger file, 4M size limit"]) /
                    Median(rates["W1 system logger file"]));
    std::printf("| retention over 10,000 files, ms per rollover | %.2f | <= 100 |\n",
                RetentionMillisecondsPerRollover(options.directory / "retention"));

    // Every message of the last repetition must be in its file.
    int missing = 0;
    for (const char* file : {"kiv.log", "bare.log", "kivfmt.log"
#if defined(KIVLOG_BENCH_WITH_SPDLOG)
                             , "spdlog.log", "spdlogfmt.log"
#endif
         }) {
        const long count = CountMessages(options.directory / file);
        if (count != options.messages + 1) {
            std::printf("%s holds %ld messages, expected %d\n", file, count, options.messages + 1);
            ++missing;
        }
    }
    for (const std::filesystem::path& directory : {unlimited, limited}) {
        const long count = CountMessagesIn(directory / "logs");
        if (count != options.messages + 1) {
            std::printf("%s holds %ld messages, expected %d\n", directory.c_str(), count, options.messages + 1);
            ++missing;
        }
    }
    std::printf("\nevery message arrived: %s\n", missing == 0 ? "yes" : "no");
    std::filesystem::remove_all(options.directory);
    return missing == 0 && offEvaluations == 0 ? 0 : 1;
}
