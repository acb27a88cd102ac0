// The system logger, built from the configuration of a process of its own.
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <regex>
#include <set>

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
    const std::string file = OnlyLogFileContent(scenario);
    const std::string fileMessages = file.substr(file.find("] \n\n") + 4);
    for (const std::string& output : {run.Console(), fileMessages}) {
        const std::string masked = MaskTimeStamps(output);
        std::set<std::string> seen;
        size_t consumed = 0;
        for (std::sregex_iterator it(masked.begin(), masked.end(), message), end; it != end; ++it) {
            ASSERT_EQ(static_cast<size_t>(it->position()), consumed) << "torn message";
            consumed += static_cast<size_t>(it->length());
            seen.insert(it->str());
        }
        EXPECT_EQ(consumed, masked.size());
        EXPECT_EQ(seen.size(), 8u * 250u);
    }
}

}  // namespace
