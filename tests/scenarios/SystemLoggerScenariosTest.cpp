// The system logger, built from the configuration of a process of its own.
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <thread>

#include "scenarios/Scenario.h"
#include "support/MessageMatching.h"
#include "support/PlatformFacts.h"

using kivtest::MaskTimeStamps;
using kivtest::ProbeRun;
using kivtest::Scenario;

namespace {

// Logging on, a console member and a file member writing to the scenario's
// log directory.
void ConfigureConsoleAndFile(const Scenario& scenario) {
    scenario.WriteProperties("kiv.logging.status=on\nkiv.log.loggers=console|plain.file\n"
                             "kiv.log.dir=" + scenario.LogDirectory() + "\n");
}

// The one file in the log directory, with line ends as line feeds.
std::string OnlyLogFileContent(const Scenario& scenario) {
    const std::vector<std::string> files = scenario.LogFiles();
    EXPECT_EQ(files.size(), 1u);
    if (files.size() != 1) return std::string();
    std::string content = kivtest::ReadFile(scenario.LogDirectory() + files.front());
    return std::regex_replace(content, std::regex("\r\n"), "\n");
}

// The messages of the output, each counted, after checking that the output
// is nothing but whole messages matching the pattern, one after another.
std::map<std::string, int> WholeMessages(const std::string& output, const std::regex& message) {
    const std::string masked = MaskTimeStamps(output);
    std::map<std::string, int> seen;
    size_t consumed = 0;
    for (std::sregex_iterator it(masked.begin(), masked.end(), message), end; it != end; ++it) {
        EXPECT_EQ(static_cast<size_t>(it->position()), consumed) << "torn message";
        if (static_cast<size_t>(it->position()) != consumed) break;
        consumed += static_cast<size_t>(it->length());
        ++seen[it->str()];
    }
    EXPECT_EQ(consumed, masked.size());
    return seen;
}

// The messages of a log file after its header.
std::string MessagesOfFile(const std::string& path) {
    const std::string file = std::regex_replace(kivtest::ReadFile(path), std::regex("\r\n"), "\n");
    return file.substr(file.find("] \n\n") + 4);
}

TEST(SystemLoggerScenariosTest, ForwardsEachMessageToConsoleAndFile) {
    Scenario scenario;
    ConfigureConsoleAndFile(scenario);
    const ProbeRun run = scenario.Run({"system", "syslog:disk almost full", "sysraw:raw text",
                                       "syslog:", "sysdelete"});
    EXPECT_EQ(run["system"], "present");
    EXPECT_EQ(run["system-type"], "1");
    EXPECT_EQ(run["system-can"], "1");
    EXPECT_EQ(run["system-name"], "Message Log Group");
    EXPECT_EQ(run["delete"], "0");
    EXPECT_EQ(run["delete-kept"], "1");

    const std::string message = "\n(U) WARN [T] Probe::Run:\n(U) disk almost full\n\n";
    EXPECT_EQ(MaskTimeStamps(run.Console()), message + "\n(U) raw text\n");

    const std::vector<std::string> files = scenario.LogFiles();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(std::regex_match(files.front(),
                                 std::regex(R"(kiv\.log_\d{4}-\d\d-\d\d_\d\d_\d\d_\d\d\.log)")))
        << files.front();
    const std::string content = MaskTimeStamps(OnlyLogFileContent(scenario));
    EXPECT_EQ(content.substr(content.find("DATE:")), "DATE: [T] \n\n" + message + "\n(U) raw text\n\n");
}

TEST(SystemLoggerScenariosTest, NeverTouchesAnExistingLogFile) {
    Scenario scenario;
    ConfigureConsoleAndFile(scenario);
    // Occupy the names of this second and the next few (the probe runs in UTC).
    std::set<std::string> occupied;
    const std::time_t now = std::time(nullptr);
    for (std::time_t second = now; second < now + 6; ++second) {
        char stamp[32];
        std::strftime(stamp, sizeof stamp, "%Y-%m-%d_%H_%M_%S", std::gmtime(&second));
        const std::string name = std::string("kiv.log_") + stamp + ".log";
        kivtest::WriteFile(scenario.LogDirectory() + name, "keep me");
        occupied.insert(name);
    }
    const ProbeRun run = scenario.Run({"syslog:into a new file"});
    std::vector<std::string> created;
    for (const std::string& name : scenario.LogFiles()) {
        if (occupied.count(name) == 1) {
            EXPECT_EQ(kivtest::ReadFile(scenario.LogDirectory() + name), "keep me") << name;
        } else {
            created.push_back(name);
        }
    }
    ASSERT_EQ(created.size(), 1u);
    EXPECT_TRUE(std::regex_match(created.front(),
                                 std::regex(R"(kiv\.log_\d{4}-\d\d-\d\d_\d\d_\d\d_\d\d(_\d+)?\.log)")))
        << created.front();
    EXPECT_NE(kivtest::ReadFile(scenario.LogDirectory() + created.front()).find("into a new file"),
              std::string::npos);
}

TEST(SystemLoggerScenariosTest, FallsBackToTheConsoleWithoutUsableMembers) {
    Scenario scenario;
    scenario.WriteProperties("kiv.logging.status=on\nkiv.log.loggers=html.file\n");
    ProbeRun run = scenario.Run({"system", "syslog:html made nothing"});
    EXPECT_EQ(run["system"], "present");
    EXPECT_EQ(run["system-can"], "1");
    EXPECT_EQ(MaskTimeStamps(run.Console()), "\n(U) WARN [T] Probe::Run:\n(U) html made nothing\n\n");

    // The log directory vanishes before the system logger is made.
    scenario.WriteProperties("kiv.logging.status=on\nkiv.log.loggers=plain.file\n"
                             "kiv.log.dir=" + scenario.LogDirectory() + "\n");
    run = scenario.Run({"rmdir:" + scenario.LogDirectory(), "system", "syslog:no directory"});
    EXPECT_EQ(run["system"], "present");
    EXPECT_EQ(MaskTimeStamps(run.Console()), "\n(U) WARN [T] Probe::Run:\n(U) no directory\n\n");
    EXPECT_FALSE(std::filesystem::exists(scenario.LogDirectory()));
}

TEST(SystemLoggerScenariosTest, IsDecidedOnceOnTheFirstCall) {
    Scenario scenario;
    scenario.WriteProperties("kiv.log.loggers=console\n");
    ProbeRun run = scenario.Run({"system", "on", "system"});
    EXPECT_EQ(run["system"], "absent");
    EXPECT_EQ(run.output.find("@ system=present"), std::string::npos);

    scenario.WriteProperties("kiv.logging.status=on\n");
    run = scenario.Run({"off", "system", "on", "system"});
    EXPECT_EQ(run["system"], "absent");

    run = scenario.Run({"first-calls:8"});
    EXPECT_EQ(run["first-calls-same"], "1");
    EXPECT_EQ(run["first-calls-present"], "1");
}

TEST(SystemLoggerScenariosTest, ForwardsOnlyWhatMembersWouldWrite) {
    Scenario scenario;
    scenario.WriteProperties("kiv.logging.status=on\n");
    const ProbeRun run = scenario.Run({"syslog:", "sysraw:", "off", "syslog:silenced",
                                       "sysraw:silenced raw", "on", "sysclose", "syslog:after close"});
    EXPECT_EQ(run["system-can"], "0");
    EXPECT_EQ(MaskTimeStamps(run.Console()),
              "\n(U) \n\n(U) WARN [T] Probe::Run:\n(U) after close\n\n");
}

TEST(SystemLoggerScenariosTest, EightThreadsWriteWholeMessagesToBothMembers) {
    Scenario scenario;
    ConfigureConsoleAndFile(scenario);
    const ProbeRun run = scenario.Run({"threads:8:250"});
    static const std::regex message(
        R"(\n\(U\) INFO \[T\] Probe::Thread:\n\(U\) thread (\d) message (\d+)\n\n)");
    const std::vector<std::string> files = scenario.LogFiles();
    ASSERT_EQ(files.size(), 1u);
    for (const std::string& output :
         {run.Console(), MessagesOfFile(scenario.LogDirectory() + files.front())}) {
        EXPECT_EQ(WholeMessages(output, message).size(), 8u * 250u);
    }
}

// A child forked while other threads hold the library's locks, or wait in a
// batch, must be able to log at once, and every message stays whole in every
// log and is written once.
TEST(SystemLoggerScenariosTest, ForkedChildrenLogAtOnceWhileEightThreadsLog) {
    Scenario scenario;
    scenario.WriteProperties("kiv.logging.status=on\nkiv.log.loggers=console|plain.file\n"
                             "kiv.log.dynamic.logging=on\nkiv.log.dir=" + scenario.LogDirectory() + "\n");
    const std::string own = scenario.Root().File("own.log");
    constexpr int kChildren = 20;
    const ProbeRun run = scenario.Run({"sysfork:" + std::to_string(kChildren) + ":" + own});
    if (run["forked-children-finished"] == "-1") GTEST_SKIP() << "processes do not fork here";
    EXPECT_EQ(run["forked-children-finished"], std::to_string(kChildren)) << run.output;

    static const std::regex message(
        R"(\n\(U\) INFO \[T\] Probe::(Parent:\n\(U\) parent \d+|Child:\n\(U\) child \d+)\n\n)");
    const std::vector<std::string> files = scenario.LogFiles();
    ASSERT_EQ(files.size(), 1u);
    const std::map<std::string, int> console = WholeMessages(run.Console(), message);
    const std::map<std::string, int> system = WholeMessages(MessagesOfFile(scenario.LogDirectory() + files.front()), message);
    const std::map<std::string, int> file = WholeMessages(MessagesOfFile(own), message);
    for (int child = 0; child < kChildren; ++child) {
        const std::string text =
            "\n(U) INFO [T] Probe::Child:\n(U) child " + std::to_string(child) + "\n\n";
        // The console log and the system logger's console member.
        EXPECT_EQ(console.count(text) ? console.at(text) : 0, 2) << child;
        EXPECT_EQ(system.count(text) ? system.at(text) : 0, 1) << child;
        EXPECT_EQ(file.count(text) ? file.at(text) : 0, 1) << child;
    }
    // A child never writes what the parent's threads had queued.
    for (const auto* messages : {&system, &file}) {
        for (const auto& [text, count] : *messages) EXPECT_EQ(count, 1) << text;
    }
}

// Two processes that append to one file at once, each from four threads
// whose messages go in batches, never overwrite or split each other's
// messages: each lands whole at the end of the file.
TEST(SystemLoggerScenariosTest, TwoProcessesAppendWholeMessagesToOneFile) {
    Scenario scenario;
    scenario.WriteProperties("kiv.logging.status=on\n");
    const std::string path = scenario.Root().File("shared.log");
    constexpr int kCount = 200;
    std::vector<std::thread> processes;
    for (const char* tag : {"first", "second"}) {
        processes.emplace_back([&scenario, &path, tag] {
            scenario.Run({"append:" + path + "|" + tag + "|" + std::to_string(kCount)});
        });
    }
    // Both have opened (and so emptied) the file before either writes.
    for (int wait = 0; wait < 6000; ++wait) {
        if (std::filesystem::exists(path + ".first.ready") &&
            std::filesystem::exists(path + ".second.ready")) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kivtest::WriteFile(path + ".go", "");
    for (std::thread& process : processes) process.join();

    // Each process wrote its header on opening; the later opening may have
    // emptied the file before or after the earlier header.
    std::string content = MaskTimeStamps(std::regex_replace(kivtest::ReadFile(path), std::regex("\r\n"), "\n"));
    for (size_t header = content.find(kivtest::kHeader); header != std::string::npos;
         header = content.find(kivtest::kHeader)) {
        content.erase(header, kivtest::kHeader.size());
    }
    static const std::regex message(
        R"(\n\(U\) INFO \[T\] Probe::Append:\n\(U\) (first|second) \d+ x{3000}\n\n)");
    EXPECT_EQ(WholeMessages(content, message).size(), 2u * kCount);
}

// Static destructors run after the main thread's thread-local objects are
// gone, and a worker's thread-local destructors run as it exits: messages
// logged there are written whole like any other.
TEST(SystemLoggerScenariosTest, LogsFromStaticAndThreadLocalDestructors) {
    Scenario scenario;
    ConfigureConsoleAndFile(scenario);
    const ProbeRun run = scenario.Run({"syslog:started", "sysdestructors"});
    const std::string expected = "\n(U) WARN [T] Probe::Run:\n(U) started\n\n"
                                 "\n(U) INFO [T] Worker::Run:\n(U) working\n\n"
                                 "\n(U) INFO [T] Service::~Service:\n(U) stopped at thread exit\n\n"
                                 "\n(U) INFO [T] Service::~Service:\n(U) stopped at exit\n\n";
    EXPECT_EQ(MaskTimeStamps(run.Console()), expected);
    const std::vector<std::string> files = scenario.LogFiles();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(MaskTimeStamps(MessagesOfFile(scenario.LogDirectory() + files.front())), expected);
}

}  // namespace
