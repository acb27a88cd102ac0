// W5: N threads writing into one destination, every message handed to the
// operating system before its call returns, side by side in one run:
//   file     a kivlogging file log, against spdlog's basic_file_sink_mt
//            flushing every message, and against N threads each making one
//            write(2) per message on one O_APPEND descriptor (the limit of
//            writing every message on its own);
//   console  a kivlogging console log, against spdlog's stdout_sink_mt, with
//            standard output a pipe that a thread of its own drains.
// For N = 1, 2, 4 and 8. Competitors run interleaved, several repetitions
// each; medians are printed, with the ratios and their goals.
#include <fcntl.h>
#include <logging/MsgLog.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "Workload.h"

#if defined(KIVLOG_BENCH_WITH_SPDLOG)
#include <spdlog/sinks/basic_file_sink.h>
#include <spdlog/sinks/stdout_sinks.h>
#endif

using namespace ORVA::KIV::System::Utility::Logging;
using kivbench::kMarking;
using kivbench::kMethod;
using kivbench::MessageText;

namespace {

constexpr int kThreadCounts[] = {1, 2, 4, 8};

struct Options {
    int messages = 400000;
    int repetitions = 5;
    std::filesystem::path directory;
};

// Messages per second when threads threads share messages calls of
// logOne(thread, i), started together.
double TimeThreads(int threads, int messages, const std::function<void(int, int)>& logOne) {
    for (int thread = 0; thread < threads; ++thread) logOne(thread, -1);  // warm up
    std::atomic<int> ready{0};
    std::atomic<bool> go{false};
    std::vector<std::thread> writers;
    const int each = messages / threads;
    for (int thread = 0; thread < threads; ++thread) {
        writers.emplace_back([&, thread] {
            ready.fetch_add(1);
            while (!go.load()) std::this_thread::yield();
            for (int i = 0; i < each; ++i) logOne(thread, i);
        });
    }
    while (ready.load() < threads) std::this_thread::yield();
    const auto start = std::chrono::steady_clock::now();
    go.store(true);
    for (std::thread& writer : writers) writer.join();
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return each * threads / elapsed.count();
}

// Set when a competitor lost messages: its rate must not count.
bool c_messagesLost = false;

void ExpectMessages(const std::string& where, long found, long expected) {
    if (found == expected) return;
    std::fprintf(stderr, "%s holds %ld messages, not %ld\n", where.c_str(), found, expected);
    c_messagesLost = true;
}

// The messages a file holds, by their head lines.
void ExpectMessages(const std::filesystem::path& file, long expected) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    const std::string text = content.str();
    long count = 0;
    for (size_t at = text.find("\n(U) WARN ["); at != std::string::npos; at = text.find("\n(U) WARN [", at + 1)) {
        ++count;
    }
    ExpectMessages(file.string(), count, expected);
}

long Expected(int threads, int messages) {
    return (messages / threads) * threads + threads;  // with the warm-up
}

double RunKivFile(const Options& options, int threads) {
    const std::filesystem::path file = options.directory / "kiv.log";
    IMsgLog* log = MsgLogFactory::NewMsgLog(IMsgLog::MSG_LOG_PLAIN_FILE, file.c_str());
    const double rate = TimeThreads(threads, options.messages, [log](int, int i) {
        char text[64];
        log->Warn(kMethod, MessageText(text, i), kMarking);
    });
    MsgLogFactory::DeleteMsgLog(&log);
    ExpectMessages(file, Expected(threads, options.messages));
    return rate;
}

double RunDirectWrites(const Options& options, int threads) {
    const std::filesystem::path file = options.directory / "direct.log";
    const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND, 0644);
    std::vector<kivbench::DirectMessage> messages(static_cast<size_t>(threads));
    const double rate = TimeThreads(threads, options.messages, [&](int thread, int i) {
        char line[256];
        const size_t length = messages[static_cast<size_t>(thread)].Compose(line, i);
        if (write(fd, line, length) != static_cast<ssize_t>(length)) c_messagesLost = true;
    });
    close(fd);
    ExpectMessages(file, Expected(threads, options.messages));
    return rate;
}

// Standard output is a pipe, drained by a thread that counts the messages
// by their four line ends each, while the object lives.
class StdoutToPipe {
public:
    StdoutToPipe() {
        std::fflush(stdout);
        int ends[2];
        if (pipe(ends) != 0) std::abort();
        m_saved = dup(1);
        dup2(ends[1], 1);
        close(ends[1]);
        m_drain = std::thread([this, readEnd = ends[0]] {
            static char buffer[1 << 20];
            for (ssize_t got; (got = read(readEnd, buffer, sizeof buffer)) > 0;) {
                m_lineEnds += std::count(buffer, buffer + got, '\n');
            }
            close(readEnd);
        });
    }
    // Ends the drain; returns the messages it read.
    long Finish() {
        std::fflush(stdout);
        dup2(m_saved, 1);  // the pipe's last write end goes: the drain ends
        close(m_saved);
        m_drain.join();
        return m_lineEnds / 4;
    }

private:
    int m_saved = -1;
    long m_lineEnds = 0;
    std::thread m_drain;
};

double RunKivConsole(const Options& options, int threads) {
    IMsgLog* log = SysOutMsgLog::NewSysOutMsgLog();
    StdoutToPipe toPipe;
    const double rate = TimeThreads(threads, options.messages, [log](int, int i) {
        char text[64];
        log->Warn(kMethod, MessageText(text, i), kMarking);
    });
    ExpectMessages("the console log's pipe", toPipe.Finish(), Expected(threads, options.messages));
    MsgLogFactory::DeleteMsgLog(&log);
    return rate;
}

#if defined(KIVLOG_BENCH_WITH_SPDLOG)
double RunSpdlog(const Options& options, int threads, spdlog::logger& logger) {
    kivbench::UseKivLayout(logger, kivbench::kKivLayout);
    return TimeThreads(threads, options.messages, [&logger](int, int i) {
        char text[64];
        logger.warn("{}:\n{}{}", kMethod, kMarking, MessageText(text, i));
    });
}

double RunSpdlogFile(const Options& options, int threads) {
    const std::filesystem::path file = options.directory / "spdlog.log";
    double rate = 0;
    {
        auto sink = std::make_shared<spdlog::sinks::basic_file_sink_mt>(file.string(), true);
        spdlog::logger logger("file", sink);
        rate = RunSpdlog(options, threads, logger);
    }
    ExpectMessages(file, Expected(threads, options.messages));
    return rate;
}

double RunSpdlogConsole(const Options& options, int threads) {
    StdoutToPipe toPipe;
    auto sink = std::make_shared<spdlog::sinks::stdout_sink_mt>();
    spdlog::logger logger("console", sink);
    const double rate = RunSpdlog(options, threads, logger);
    ExpectMessages("spdlog's pipe", toPipe.Finish(), Expected(threads, options.messages));
    return rate;
}
#endif

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        if (name == "--messages") options.messages = std::atoi(argv[i + 1]);
        else if (name == "--repetitions") options.repetitions = std::atoi(argv[i + 1]);
    }
    options.messages = std::max(options.messages, 8);
    options.repetitions = std::max(options.repetitions, 1);
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    Options options = ParseOptions(argc, argv);
    // The files go into a directory of this run's own, removed at the end.
    std::string pattern = (std::filesystem::temp_directory_path() / "kivlog-threads-bench.XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    options.directory = pattern;
    IMsgLog::TurnLoggingOn();

    using Run = std::function<double(const Options&, int)>;
    std::vector<std::pair<std::string, Run>> competitors = {
        {"kivlogging file log", RunKivFile},
        {"write(2) per message", RunDirectWrites},
        {"kivlogging console log", RunKivConsole},
    };
#if defined(KIVLOG_BENCH_WITH_SPDLOG)
    competitors.push_back({"spdlog basic_file_sink_mt", RunSpdlogFile});
    competitors.push_back({"spdlog stdout_sink_mt", RunSpdlogConsole});
#endif
    std::map<std::string, std::map<int, std::vector<double>>> rates;
    for (int repetition = 0; repetition < options.repetitions; ++repetition) {
        for (const int threads : kThreadCounts) {
            for (const auto& [name, run] : competitors) rates[name][threads].push_back(run(options, threads));
        }
    }
    std::filesystem::remove_all(options.directory);
    if (c_messagesLost) return 1;

    const auto median = [&](const std::string& name, int threads) {
        const auto found = rates.find(name);
        return found == rates.end() ? 0.0 : kivbench::Median(found->second[threads]);
    };
    std::printf("W5, %d messages per run, medians of %d runs, messages per second\n\n", options.messages,
                options.repetitions);
    std::printf("| threads |");
    for (const auto& [name, run] : competitors) std::printf(" %s |", name.c_str());
    std::printf("\n|---|");
    for (size_t i = 0; i < competitors.size(); ++i) std::printf("---|");
    std::printf("\n");
    for (const int threads : kThreadCounts) {
        std::printf("| %d |", threads);
        for (const auto& [name, run] : competitors) std::printf(" %.0f |", median(name, threads));
        std::printf("\n");
    }
    std::printf("\n| ratio | value | goal |\n|---|---|---|\n");
    const auto ratio = [&](const char* label, const std::string& of, const std::string& to, int threads,
                           const char* goal) {
        const double denominator = median(to, threads);
        if (denominator > 0) std::printf("| %s | %.2f | %s |\n", label, median(of, threads) / denominator, goal);
    };
    for (const int threads : kThreadCounts) {
        const std::string label = std::to_string(threads) + (threads == 1 ? " thread" : " threads");
        const char* limitGoal = threads == 8 ? ">= 1.50" : threads == 2 ? ">= 1.30" : threads == 1 ? ">= 0.85" : "";
        ratio((label + ": file log / write(2) per message").c_str(), "kivlogging file log", "write(2) per message",
              threads, limitGoal);
        ratio((label + ": file log / spdlog").c_str(), "kivlogging file log", "spdlog basic_file_sink_mt", threads,
              threads == 8 ? ">= 2.00" : "");
        ratio((label + ": console log / spdlog").c_str(), "kivlogging console log", "spdlog stdout_sink_mt", threads,
              threads == 8 ? ">= 1.50" : "");
    }
    return 0;
}
