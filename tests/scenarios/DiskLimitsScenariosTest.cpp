// The disk limits of the properties in processes of their own: the system
// logger's file moving on at the size limit, retention at start across
// processes, and file logs of a given name appended to by two processes.
#include <gtest/gtest.h>

#include <chrono>
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

namespace fs = std::filesystem;

void Configure(const Scenario& scenario, const std::string& limits) {
    scenario.WriteProperties("kiv.logging.status=on\nkiv.log.loggers=plain.file\nkiv.log.dir=" +
                             scenario.LogDirectory() + "\n" + limits);
}

// Waits up to 30 seconds for the path to exist.
bool WaitFor(const std::string& path) {
    for (int wait = 0; wait < 3000; ++wait) {
        if (fs::exists(path)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// Old log files of earlier runs, oldest first, each size bytes and written
// the given number of days ago.
void WriteOldFiles(const Scenario& scenario, const std::vector<std::pair<std::string, int>>& files, size_t size) {
    for (const auto& [name, days] : files) {
        const std::string path = scenario.LogDirectory() + name;
        kivtest::WriteFile(path, std::string(size, 'o'));
        fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::hours(24 * days));
    }
}

// At the size limit the system logger's file moves on to a new file with
// its own banner; every message lands whole, once, in order, and no file
// passes the limit.
TEST(DiskLimitsScenariosTest, SystemLoggerFileMovesOnAtTheSizeLimit) {
    Scenario scenario;
    Configure(scenario, "kiv.log.max.file.size=64K\n");
    constexpr int kCount = 200;
    const ProbeRun run = scenario.Run({"sysmany:" + std::to_string(kCount) + ":1000"});
    EXPECT_EQ(run.exitCode, 0);
    const std::vector<std::string> files = scenario.LogFiles();
    ASSERT_GE(files.size(), 3u);
    std::string messages;
    for (const std::string& name : files) {
        const std::string raw = kivtest::ReadFile(scenario.LogDirectory() + name);
        EXPECT_LE(raw.size(), 64u * 1024) << name;
        const std::string content = MaskTimeStamps(kivtest::FromFileText(raw));
        ASSERT_EQ(content.substr(0, kivtest::kHeader.size()), kivtest::kHeader) << name;
        messages += content.substr(kivtest::kHeader.size());
    }
    std::string expected;
    for (int i = 0; i < kCount; ++i) {
        char number[16];
        std::snprintf(number, sizeof number, "%06d ", i);
        std::string text = number;
        text.resize(1000, 'x');
        expected += "\n(U) INFO [T] Probe::Many:\n(U) " + text + "\n\n";
    }
    EXPECT_TRUE(messages == expected);

    // kivlog reads the files as one stream, in the order written.
    const kivtest::ProcessResult read = kivtest::RunProcess(KIVLOG_TOOL_PATH, {"--json", scenario.LogDirectory()}, {});
    EXPECT_EQ(read.exitCode, 0) << read.output;
    int next = 0;
    for (size_t at = read.output.find("\"text\":\""); at != std::string::npos;
         at = read.output.find("\"text\":\"", at + 1)) {
        EXPECT_EQ(std::stoi(read.output.substr(at + 8, 6)), next) << "out of order";
        ++next;
    }
    EXPECT_EQ(next, kCount);
}

// The messages of every log file after its banner, each file checked to
// start with one and to hold nothing but whole messages of the pattern.
std::vector<std::string> MessagesOfAllFiles(const Scenario& scenario, const std::regex& message) {
    std::vector<std::string> messages;
    for (const std::string& name : scenario.LogFiles()) {
        std::string content = MaskTimeStamps(kivtest::FromFileText(kivtest::ReadFile(scenario.LogDirectory() + name)));
        EXPECT_EQ(content.substr(0, kivtest::kHeader.size()), kivtest::kHeader) << name;
        content.erase(0, kivtest::kHeader.size());
        size_t consumed = 0;
        for (std::sregex_iterator it(content.begin(), content.end(), message), end; it != end; ++it) {
            if (static_cast<size_t>(it->position()) != consumed) break;
            consumed += static_cast<size_t>(it->length());
            messages.push_back(it->str());
        }
        EXPECT_EQ(consumed, content.size()) << "torn message in " << name;
    }
    return messages;
}

// Threads that log at once while the file moves on lose no message, split
// none, and keep each thread's order.
TEST(DiskLimitsScenariosTest, ThreadsLoggingAcrossRolloversLoseNothing) {
    Scenario scenario;
    Configure(scenario, "kiv.log.max.file.size=64K\n");
    scenario.Run({"threads:8:500"});
    EXPECT_GE(scenario.LogFiles().size(), 3u);
    for (const std::string& name : scenario.LogFiles()) {
        EXPECT_LE(kivtest::ReadFile(scenario.LogDirectory() + name).size(), 64u * 1024) << name;
    }
    static const std::regex message(R"(\n\(U\) INFO \[T\] Probe::Thread:\n\(U\) thread (\d) message (\d+)\n\n)");
    std::vector<int> next(8, 0);
    for (const std::string& text : MessagesOfAllFiles(scenario, message)) {
        std::smatch match;
        ASSERT_TRUE(std::regex_match(text, match, message));
        const int thread = std::stoi(match[1].str());
        EXPECT_EQ(std::stoi(match[2].str()), next[static_cast<size_t>(thread)]++) << "thread " << thread;
    }
    EXPECT_EQ(next, std::vector<int>(8, 500));
}

// A child forked with a nearly full file goes on writing to the parent's
// file until it rolls over; every child's message lands once, whole.
TEST(DiskLimitsScenariosTest, ForkedChildrenRollOverOnTheirOwn) {
    Scenario scenario;
    Configure(scenario, "kiv.log.max.file.size=64K\n");
    constexpr int kChildren = 8;
    const ProbeRun run =
        scenario.Run({"sysmany:61:1000", "sysfork:" + std::to_string(kChildren) + ":" + scenario.Root().File("own.log")});
    if (run["forked-children-finished"] == "-1") GTEST_SKIP() << "processes do not fork here";
    EXPECT_EQ(run["forked-children-finished"], std::to_string(kChildren)) << run.output;
    static const std::regex message(
        R"(\n\(U\) INFO \[T\] Probe::(Many:\n\(U\) \d{6} x+|Parent:\n\(U\) parent \d+|Child:\n\(U\) child \d+)\n\n)");
    std::map<std::string, int> seen;
    for (const std::string& text : MessagesOfAllFiles(scenario, message)) ++seen[text];
    for (int child = 0; child < kChildren; ++child) {
        const std::string text = "\n(U) INFO [T] Probe::Child:\n(U) child " + std::to_string(child) + "\n\n";
        EXPECT_EQ(seen.count(text) ? seen.at(text) : 0, 1) << child;
    }
    for (const auto& [text, count] : seen) EXPECT_EQ(count, 1) << text;
    EXPECT_GE(scenario.LogFiles().size(), 2u);
}

// Each limit alone and several together: the newest files that keep every
// limit stay, the process's own new file among them; other names and links
// are never touched.
TEST(DiskLimitsScenariosTest, RetentionAtStartKeepsTheNewestFilesWithinEveryLimit) {
    const std::vector<std::pair<std::string, int>> old = {{"kiv.log_2020-01-01_00_00_00.log", 40},
                                                          {"kiv.log_2020-01-02_00_00_00.log", 20},
                                                          {"kiv.log_2020-01-02_00_00_00_2.log", 2}};
    const struct {
        const char* limits;
        std::set<std::string> survivors;
    } cases[] = {
        {"kiv.log.max.files=3\n", {old[1].first, old[2].first}},
        {"kiv.log.max.files=1\n", {}},
        {"kiv.log.max.age=30\n", {old[1].first, old[2].first}},
        {"kiv.log.max.age=10\n", {old[2].first}},
        {"kiv.log.max.total.size=150K\n", {old[2].first}},
        {"kiv.log.max.total.size=64K\n", {}},
        {"kiv.log.max.files=3\nkiv.log.max.age=10\n", {old[2].first}},
        {"kiv.log.max.files=9\nkiv.log.max.total.size=250K\nkiv.log.max.age=30\n", {old[1].first, old[2].first}},
        {"kiv.log.max.files=0\nkiv.log.max.age=x\n", {old[0].first, old[1].first, old[2].first}},
    };
    for (const auto& c : cases) {
        Scenario scenario;
        Configure(scenario, c.limits);
        WriteOldFiles(scenario, old, 100 * 1024);
        const std::set<std::string> foreign = {"kiv.log_notes.log", "kiv.log_2019-01-01_00_00_00_1.log"};
        for (const std::string& name : foreign) kivtest::WriteFile(scenario.LogDirectory() + name, "keep");
        std::set<std::string> expected = c.survivors;
        expected.insert(foreign.begin(), foreign.end());
        if (kivtest::kHasFifosAndDevices) {
            kivtest::WriteFile(scenario.Root().File("target"), "target");
            fs::create_symlink(scenario.Root().File("target"), scenario.LogDirectory() + "kiv.log_2019-01-01_00_00_00.log");
            expected.insert("kiv.log_2019-01-01_00_00_00.log");
        }
        scenario.Run({"syslog:started"});
        std::set<std::string> left;
        std::string created;
        for (const std::string& name : scenario.LogFiles()) {
            if (kivtest::ReadFile(scenario.LogDirectory() + name).find("started") != std::string::npos) {
                created = name;
            } else {
                left.insert(name);
            }
        }
        EXPECT_FALSE(created.empty()) << c.limits;
        EXPECT_EQ(left, expected) << c.limits;
    }
}

// A file another live process writes survives retention that picks it,
// and that process goes on writing to it.
TEST(DiskLimitsScenariosTest, ALiveFileOfAnotherProcessSurvivesRetention) {
    Scenario scenario;
    Configure(scenario, "");
    WriteOldFiles(scenario, {{"kiv.log_2020-01-01_00_00_00.log", 5}}, 10);
    const std::string hold = scenario.Root().File("first");
    std::thread first([&scenario, &hold] { scenario.Run({"syslog:first before", "hold:" + hold, "syslog:first after"}); });
    ASSERT_TRUE(WaitFor(hold + ".ready"));
    // Limits for the second process only: the first read its settings.
    Configure(scenario, "kiv.log.max.files=1\n");
    scenario.Run({"syslog:second"});
    kivtest::WriteFile(hold + ".go", "");
    first.join();

    std::vector<std::string> contents;
    for (const std::string& name : scenario.LogFiles()) {
        contents.push_back(kivtest::ReadFile(scenario.LogDirectory() + name));
    }
    ASSERT_EQ(contents.size(), 2u) << "the old file goes, both live ones stay";
    const std::string both = contents[0] + contents[1];
    for (const char* text : {"first before", "first after", "second"}) {
        EXPECT_NE(both.find(text), std::string::npos) << text;
    }
}

// With rollover and a count limit together, only the newest files stay,
// the last message in the newest.
TEST(DiskLimitsScenariosTest, RolloverAppliesRetentionToEachNewFile) {
    Scenario scenario;
    Configure(scenario, "kiv.log.max.file.size=64K\nkiv.log.max.files=2\n");
    scenario.Run({"sysmany:300:1000"});
    const std::vector<std::string> files = scenario.LogFiles();
    ASSERT_EQ(files.size(), 2u);
    EXPECT_NE(kivtest::ReadFile(scenario.LogDirectory() + files.back()).find("000299 "), std::string::npos);
}

// A relative log directory names the directory the first file went to,
// also for the files of later rollovers and for retention, after the
// process has moved to another working directory.
TEST(DiskLimitsScenariosTest, ARelativeLogDirectoryStaysWhereItWasAtStart) {
    Scenario scenario;
    // The probe starts in the scenario's directory, where "logs" is its log
    // directory, and moves to one that has a "logs" of its own.
    const fs::path started = fs::current_path();
    fs::current_path(scenario.Root().Path());
    const fs::path logs = "logs";
    const fs::path elsewhere = scenario.Root().Path() / "elsewhere";
    fs::create_directories(elsewhere / logs);
    kivtest::WriteFile((elsewhere / logs / "kiv.log_2020-01-01_00_00_00.log").string(), "old log elsewhere");
    scenario.WriteProperties("kiv.logging.status=on\nkiv.log.loggers=plain.file\nkiv.log.dir=" + logs.string() +
                             "\nkiv.log.max.file.size=64K\nkiv.log.max.files=3\n");
    scenario.Run({"syslog:before moving", "cd:" + elsewhere.string(), "sysmany:300:1000"});
    fs::current_path(started);
    EXPECT_EQ(scenario.LogFiles().size(), 3u);
    EXPECT_TRUE(fs::exists(elsewhere / logs / "kiv.log_2020-01-01_00_00_00.log"));
    EXPECT_EQ(std::distance(fs::directory_iterator(elsewhere / logs), fs::directory_iterator()), 1);
}

// Two processes that open one file in append mode keep what it held and
// each other's messages, each whole, each after its own banner.
TEST(DiskLimitsScenariosTest, TwoProcessesAppendToOneFileKeepingItsContent) {
    Scenario scenario;
    scenario.WriteProperties("kiv.logging.status=on\n");
    const std::string path = scenario.Root().File("shared.log");
    kivtest::WriteFile(path, "previous run\n");
    constexpr int kCount = 100;
    std::vector<std::thread> processes;
    for (const char* tag : {"first", "second"}) {
        processes.emplace_back([&scenario, &path, tag] {
            scenario.Run({"append-keep:" + path + "|" + tag + "|" + std::to_string(kCount)});
        });
    }
    const bool ready = WaitFor(path + ".first.ready") && WaitFor(path + ".second.ready");
    kivtest::WriteFile(path + ".go", "");
    for (std::thread& process : processes) process.join();
    ASSERT_TRUE(ready);

    std::string content = MaskTimeStamps(kivtest::FromFileText(kivtest::ReadFile(path)));
    ASSERT_EQ(content.substr(0, 13), "previous run\n");
    content.erase(0, 13);
    EXPECT_EQ(kivtest::CountOccurrences(content, kivtest::kHeader), 2u);
    // Both banners come before any message: each process opened first.
    EXPECT_EQ(content.substr(0, 2 * kivtest::kHeader.size()), kivtest::kHeader + kivtest::kHeader);
    content.erase(0, 2 * kivtest::kHeader.size());
    static const std::regex message(R"(\n\(U\) INFO \[T\] Probe::Append:\n\(U\) (first|second) \d+ x{3000}\n\n)");
    size_t whole = 0;
    size_t consumed = 0;
    for (std::sregex_iterator it(content.begin(), content.end(), message), end; it != end; ++it) {
        if (static_cast<size_t>(it->position()) != consumed) break;
        consumed += static_cast<size_t>(it->length());
        ++whole;
    }
    EXPECT_EQ(consumed, content.size()) << "torn message";
    EXPECT_EQ(whole, 2u * kCount);
}

}  // namespace
