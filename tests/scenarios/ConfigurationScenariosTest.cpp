// How the properties file and the environment become the settings of a
// process. Each run is a new process that loads the library afresh.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "scenarios/Scenario.h"
#include "support/PlatformFacts.h"

using kivtest::ProbeRun;
using kivtest::Scenario;

namespace {

const std::vector<std::string> kEverySetting = {
    "settings",
    "prop:kiv.logging",
    "prop:kiv.logging.status",
    "prop:kiv.log.level",
    "prop:kiv.log.dynamic.logging",
    "prop:kiv.log.dir",
    "prop:kiv.log.loggers",
};

void ExpectSettings(const ProbeRun& run, const std::string& logging, const std::string& level,
                    const std::string& code) {
    EXPECT_EQ(run["logging"], logging) << run.output;
    EXPECT_EQ(run["level"], level) << run.output;
    EXPECT_EQ(run["code"], code) << run.output;
}

TEST(ConfigurationScenariosTest, ReadsStatusLevelAndLoggerList) {
    Scenario scenario;
    scenario.WriteProperties(
        "kiv.logging.status=on\nkiv.log.level=warn\nkiv.log.loggers= console | plain.file \n");
    const ProbeRun run = scenario.Run(kEverySetting);
    ExpectSettings(run, "on", "WARN", "4");
    EXPECT_EQ(run["debug"], "0");
    EXPECT_EQ(run["info"], "0");
    EXPECT_EQ(run["prop[kiv.log.loggers]"], "console|plain.file");
    EXPECT_EQ(run["prop[kiv.log.dir]"], scenario.Documents());
    EXPECT_EQ(run["prop[kiv.log.dynamic.logging]"], "off");
    EXPECT_EQ(run["prop[kiv.logging]"], "(null)");
}

TEST(ConfigurationScenariosTest, WithoutAPropertiesFileLoggingIsOffAtLevelFatal) {
    Scenario scenario;
    std::vector<std::string> steps = kEverySetting;
    steps.insert(steps.end(), {"system", "on", "system"});
    const ProbeRun run = scenario.Run(steps);
    EXPECT_EQ(run["system"], "absent");
    EXPECT_EQ(run.output.find("@ system=present"), std::string::npos);
    ExpectSettings(run, "off", "FATAL", "2");
    EXPECT_EQ(run["prop[kiv.logging]"], "false");
    for (const char* key : {"kiv.logging.status", "kiv.log.level", "kiv.log.dir",
                            "kiv.log.loggers", "kiv.log.dynamic.logging"}) {
        EXPECT_EQ(run[std::string("prop[") + key + "]"], "(null)") << key;
    }
}

TEST(ConfigurationScenariosTest, AppliesTheLineSyntaxAndFirstAcceptedLineWins) {
    Scenario scenario;
    scenario.WriteProperties(
        "# comment\n"
        "   kiv.logging.status  =  ON   \n"
        "kiv.logging.status=off\n"
        "\tkiv.log.level=ERROR\n"
        "KIV.LOG.LEVEL=FATAL\n"
        "kiv.log.level=TRACE\n"
        "#kiv.log.level=FATAL\n"
        "=WARN\n"
        "kiv.log.level\n"
        "kiv.log.level = Info\n"
        "kiv.log.level=WARN\n"
        "kiv.log.dynamic.logging=on # note\n"
        "kiv.log.dir=" + scenario.Root().File("missing") + "\n"
        "kiv.log.dir= " + scenario.Root().File("logs") + "/ \n"
        "kiv.log.dir=" + scenario.Home() + "\n"
        "kiv.log.loggers=Console\n"
        "kiv.log.loggers=console\n");
    const ProbeRun run = scenario.Run(kEverySetting);
    ExpectSettings(run, "on", "INFO", "3");
    EXPECT_EQ(run["info"], "1");
    EXPECT_EQ(run["debug"], "0");
    EXPECT_EQ(run["prop[kiv.log.dynamic.logging]"], "off");
    EXPECT_EQ(run["prop[kiv.log.dir]"], scenario.LogDirectory());
    EXPECT_EQ(run["prop[kiv.log.loggers]"], "Console");
}

TEST(ConfigurationScenariosTest, RejectedValuesLeaveTheKeyOpen) {
    Scenario scenario;
    scenario.WriteProperties("kiv.logging.status=yes\nkiv.logging.status=on\n"
                             "kiv.log.level=\nkiv.log.level=debug\n");
    ExpectSettings(scenario.Run({"settings"}), "on", "DEBUG", "0");

    scenario.WriteProperties("kiv.logging.status=off\nkiv.logging.status=on\n");
    ExpectSettings(scenario.Run({"settings"}), "off", "DEBUG", "0");
}

TEST(ConfigurationScenariosTest, AnEmptyFileGivesTheDefaults) {
    Scenario scenario;
    scenario.WriteProperties("");
    const ProbeRun run = scenario.Run(kEverySetting);
    ExpectSettings(run, "off", "DEBUG", "0");
    EXPECT_EQ(run["prop[kiv.logging]"], "(null)");
    EXPECT_EQ(run["prop[kiv.logging.status]"], "off");
    EXPECT_EQ(run["prop[kiv.log.level]"], "DEBUG");
    EXPECT_EQ(run["prop[kiv.log.dynamic.logging]"], "off");
    EXPECT_EQ(run["prop[kiv.log.dir]"], scenario.Documents());
    EXPECT_EQ(run["prop[kiv.log.loggers]"], "(null)");
}

TEST(ConfigurationScenariosTest, ReadsLineEndsAndOddBytesSafely) {
    Scenario scenario;
    scenario.WriteProperties("kiv.log.level=ERROR\r\nkiv.logging.status=on");
    ExpectSettings(scenario.Run({"settings"}), "on", "ERROR", "1");

    scenario.WriteProperties("\xEF\xBB\xBFkiv.logging.status=on\n");
    ExpectSettings(scenario.Run({"settings"}), "off", "DEBUG", "0");

    std::string binary(5000, '\0');
    for (size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<char>((i * 131) % 256);
    scenario.WriteProperties(binary + "\nkiv.logging.status=on\n" + std::string(100000, 'x'));
    ExpectSettings(scenario.Run({"settings"}), "on", "DEBUG", "0");
}

// What is no regular file of a sensible size is not read: the process
// starts at once (a FIFO without a writer would block it before main, a
// device would be read until memory runs out) with an empty store.
TEST(ConfigurationScenariosTest, OnlyARegularFileOfSensibleSizeIsRead) {
    std::vector<std::function<void(const Scenario&)>> makers = {
        [](const Scenario& scenario) { std::filesystem::create_directory(scenario.PropertiesFile()); },
        [](const Scenario& scenario) {
            scenario.WriteProperties("kiv.logging.status=on\n" + std::string(17u << 20, '#'));
        },
    };
    if (kivtest::kHasFifosAndDevices) {
        makers.push_back([](const Scenario& scenario) { kivtest::MakeFifo(scenario.PropertiesFile()); });
        makers.push_back([](const Scenario& scenario) {
            std::filesystem::create_symlink("/dev/zero", scenario.PropertiesFile());
        });
    }
    for (size_t i = 0; i < makers.size(); ++i) {
        Scenario scenario;
        makers[i](scenario);
        const ProbeRun run = scenario.Run(kEverySetting);
        ExpectSettings(run, "off", "DEBUG", "0");
        for (const char* key : {"kiv.logging", "kiv.logging.status", "kiv.log.level", "kiv.log.dir"}) {
            EXPECT_EQ(run[std::string("prop[") + key + "]"], "(null)") << key << " in case " << i;
        }
    }
}

// A NUL byte would cut the stored value short: a log directory ".../logs"
// followed by NUL and more would make files named ".../logskiv.log_..."
// beside the directory. The line is passed over like any rejected value.
TEST(ConfigurationScenariosTest, AValueWithANulByteIsRejected) {
    Scenario scenario;
    const std::string cut = scenario.Root().File("logs");
    scenario.WriteProperties("kiv.logging.status=on\nkiv.log.loggers=plain.file\nkiv.log.dir=" + cut +
                             std::string(1, '\0') + "junk\nkiv.log.level=WA" + std::string(1, '\0') +
                             "RN\n");
    const ProbeRun run = scenario.Run({"settings", "prop:kiv.log.dir", "syslog:into the documents"});
    EXPECT_EQ(run["prop[kiv.log.dir]"], scenario.Documents());
    EXPECT_EQ(run["level"], "DEBUG");
    for (const auto& entry : std::filesystem::directory_iterator(scenario.Root().Path())) {
        EXPECT_EQ(entry.path().filename().string().find("logskiv.log_"), std::string::npos)
            << entry.path();
    }
}

// The messages of every level and form that reached the console, as
// "level-form" texts in order.
std::vector<std::string> WrittenLevels(const ProbeRun& run) {
    std::vector<std::string> written;
    const std::string console = run.Console();
    for (const char* level : {"debug", "info", "warn", "error", "fatal"}) {
        for (const char* form : {"-3", "-2", "-1", "-system"}) {
            const std::string text = std::string(level) + form;
            if (console.find(text) != std::string::npos) written.push_back(text);
        }
    }
    for (const char* raw : {"raw-write", "raw-console"}) {
        if (console.find(raw) != std::string::npos) written.push_back(raw);
    }
    return written;
}

// The levels from the given one up, every form, then the raw texts.
std::vector<std::string> LevelsFrom(const std::string& lowest) {
    std::vector<std::string> levels;
    bool reached = false;
    for (const char* level : {"debug", "info", "warn", "error", "fatal"}) {
        reached = reached || lowest == level;
        if (!reached) continue;
        for (const char* form : {"-3", "-2", "-1", "-system"}) levels.push_back(std::string(level) + form);
    }
    levels.insert(levels.end(), {"raw-write", "raw-console"});
    return levels;
}

// kiv.log.threshold drops the front ends below it, on every log and the
// system logger alike; raw writes pass. A value that names no level, or no
// key, drops nothing.
TEST(ConfigurationScenariosTest, TheThresholdDropsLowerLevels) {
    const struct {
        std::string line;
        std::string stored;
        std::string lowest;
    } cases[] = {
        {"", "(null)", "debug"},
        {"kiv.log.threshold=WARN", "WARN", "warn"},
        {"kiv.log.threshold= error ", "ERROR", "error"},
        {"kiv.log.threshold=fatal", "FATAL", "fatal"},
        {"kiv.log.threshold=Info", "INFO", "info"},
        {"kiv.log.threshold=DEBUG", "DEBUG", "debug"},
        {"kiv.log.threshold=TRACE", "(null)", "debug"},
        {"kiv.log.threshold=warning", "(null)", "debug"},
    };
    for (const auto& c : cases) {
        Scenario scenario;
        scenario.WriteProperties("kiv.logging.status=on\nkiv.log.loggers=console\n" + c.line + "\n");
        const ProbeRun run = scenario.Run({"prop:kiv.log.threshold", "syslevels"});
        EXPECT_EQ(run["prop[kiv.log.threshold]"], c.stored) << c.line;
        EXPECT_EQ(WrittenLevels(run), LevelsFrom(c.lowest)) << c.line;
    }
}

// Reloads under dynamic logging store a new threshold but leave the one in
// force; the run-time setter changes it.
TEST(ConfigurationScenariosTest, OnlyTheSetterChangesTheThresholdInForce) {
    Scenario scenario;
    scenario.WriteProperties("kiv.logging.status=on\nkiv.log.loggers=console\nkiv.log.dynamic.logging=on\n"
                             "kiv.log.threshold=WARN\n");
    const std::string reloaded = "kiv.logging.status=on\nkiv.log.loggers=console\n"
                                 "kiv.log.dynamic.logging=on\nkiv.log.threshold=FATAL\n";
    ProbeRun run = scenario.Run({"threshold", "write:" + scenario.PropertiesFile() + "|" + reloaded,
                                 "prop:kiv.log.threshold", "threshold"});
    EXPECT_EQ(run["prop[kiv.log.threshold]"], "FATAL");
    EXPECT_EQ(run["threshold"], "2");

    scenario.WriteProperties("kiv.logging.status=on\nkiv.log.loggers=console\n");
    run = scenario.Run({"threshold:3", "syslevels"});
    EXPECT_EQ(run["threshold"], "3");
    EXPECT_EQ(WrittenLevels(run), LevelsFrom("error"));
}

TEST(ConfigurationScenariosTest, LooksUpKeysExactlyAfterTrimmingBlanks) {
    Scenario scenario;
    scenario.WriteProperties("kiv.logging.status=on\n");
    const ProbeRun run = scenario.Run({"prop: kiv.logging.status ", "prop:KIV.LOGGING.STATUS",
                                       "prop:", "prop:   ", "prop:\tkiv.logging.status"});
    EXPECT_EQ(run["prop[ kiv.logging.status ]"], "on");
    EXPECT_EQ(run["prop[KIV.LOGGING.STATUS]"], "(null)");
    EXPECT_EQ(run["prop[]"], "(null)");
    EXPECT_EQ(run["prop[   ]"], "(null)");
    EXPECT_EQ(run["prop[\tkiv.logging.status]"], "(null)");
}

TEST(ConfigurationScenariosTest, DynamicLoggingRereadsTheFileUntilItIsSwitchedOff) {
    Scenario scenario;
    const std::string file = scenario.PropertiesFile();
    const std::string dynamicOn =
        "kiv.logging.status=on\nkiv.log.dynamic.logging=on\nkiv.log.dir=" + scenario.LogDirectory() +
        "\nkiv.log.loggers=console\n";
    scenario.WriteProperties(dynamicOn);
    const ProbeRun run = scenario.Run({
        "prop:kiv.logging.status",
        "write:" + file + "|kiv.logging.status=off\\nkiv.log.dynamic.logging=on\\nkiv.log.level=WARN\\n"
                          "kiv.log.dir=" + scenario.Home() + "\\nkiv.log.loggers=plain.file\\n",
        "prop:kiv.logging.status",
        "prop:kiv.log.level",
        "prop:kiv.log.dir",
        "prop:kiv.log.loggers",
        "prop-stable:kiv.logging.status",
        "settings",
        "write:" + file + "|kiv.logging.status=on\\nkiv.log.dynamic.logging=off\\n",
        "prop:kiv.log.dynamic.logging",
        "write:" + file + "|kiv.logging.status=off\\nkiv.log.dynamic.logging=on\\n",
        "prop:kiv.log.dynamic.logging",
        "prop:kiv.logging.status",
    });
    EXPECT_EQ(run["stable[kiv.logging.status]"], "1");
    EXPECT_EQ(run["prop[kiv.log.level]"], "WARN");
    EXPECT_EQ(run["prop[kiv.log.dir]"], scenario.LogDirectory());
    EXPECT_EQ(run["prop[kiv.log.loggers]"], "console");
    // Settings keep their load-time values: on, DEBUG.
    ExpectSettings(run, "on", "DEBUG", "0");
    // The last reading switched dynamic logging off; later changes go unread.
    EXPECT_EQ(run["prop[kiv.log.dynamic.logging]"], "off");
    EXPECT_EQ(run["prop[kiv.logging.status]"], "on");
    EXPECT_NE(run.output.find("@ prop[kiv.logging.status]=off"), std::string::npos) << run.output;
}

TEST(ConfigurationScenariosTest, ConcurrentLookupsUnderDynamicLoggingAreSafe) {
    Scenario scenario;
    scenario.WriteProperties("kiv.logging.status=on\nkiv.log.dynamic.logging=on\nkiv.log.dir=" +
                             scenario.LogDirectory() + "\n");
    // Each lookup re-reads the file; a sanitizer build fails the probe on a race.
    EXPECT_EQ(scenario.Run({"lookups:8:100"})["lookups-answered"], "800");
}

TEST(ConfigurationScenariosTest, ConfiguredAndDefaultLogDirectories) {
    Scenario scenario;
    scenario.WriteProperties("kiv.log.dir=" + scenario.Root().File("missing") + "\n");
    EXPECT_EQ(scenario.Run({"prop:kiv.log.dir"})["prop[kiv.log.dir]"], scenario.Documents());

    EXPECT_EQ(scenario.Run({"home"})["home"], scenario.Documents());
    if (!kivtest::kDocumentsFollowHome) return;
    std::filesystem::remove(scenario.Home() + "Documents");
    EXPECT_EQ(scenario.Run({"prop:kiv.log.dir"})["prop[kiv.log.dir]"], "(null)");
}

TEST(ConfigurationScenariosTest, FindsTheFileOnlyInClassifiedBesideTheExecutable) {
    Scenario scenario;
    const std::filesystem::path bin = scenario.Root().Path() / "bin";
    std::filesystem::create_directories(bin / "CLASSIFIED");
    scenario.probe = kivtest::CopyProbeTo(bin);
    kivtest::WriteFile((bin / "kiv.system.properties").string(), "kiv.logging.status=on\n");

    scenario.environment["KIV_SYS_CONFIG_DIR"] = std::nullopt;
    ExpectSettings(scenario.Run({"settings"}), "off", "FATAL", "2");

    kivtest::WriteFile((bin / "CLASSIFIED" / "kiv.system.properties").string(),
                       "kiv.logging.status=on\nkiv.log.level=FATAL\n");
    ExpectSettings(scenario.Run({"settings"}), "on", "FATAL", "2");

    scenario.environment["KIV_SYS_CONFIG_DIR"] = "   ";
    ExpectSettings(scenario.Run({"settings"}), "on", "FATAL", "2");

    // A set variable decides alone, even when its directory lacks the file.
    scenario.environment["KIV_SYS_CONFIG_DIR"] = scenario.ConfigDirectory();
    const ProbeRun decided = scenario.Run({"settings", "prop:kiv.logging"});
    ExpectSettings(decided, "off", "FATAL", "2");
    EXPECT_EQ(decided["prop[kiv.logging]"], "false");
}

// The path of a directory as UTF-8, the way the test harness passes paths
// to programs and environments.
std::string Utf8Of(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::filesystem::path PathOfUtf8(const char* text) {
    return std::filesystem::path(std::u8string(reinterpret_cast<const char8_t*>(text)));
}

// Directories named in scripts that a Western code page cannot spell hold
// the executable with its CLASSIFIED directory, or the configuration that
// the variable names; the library finds the file in each.
TEST(ConfigurationScenariosTest, FindsTheFileInDirectoriesOfAnyScript) {
    const char* const names[] = {"\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e",          // Japanese
                                 "\xce\x95\xce\xbb\xce\xbb\xce\xb7\xce\xbd\xce\xb9\xce\xba\xce\xac"};  // Greek
    for (const char* name : names) {
        SCOPED_TRACE(name);
        Scenario scenario;
        const std::filesystem::path bin = scenario.Root().Path() / PathOfUtf8(name) / "bin";
        std::filesystem::create_directories(bin / "CLASSIFIED");
        const std::filesystem::path probe = std::filesystem::path(kivtest::ProbePath()).filename();
        std::filesystem::copy_file(kivtest::ProbePath(), bin / probe);
        if (kivtest::kLibraryBesideProgram) {
            const std::filesystem::path library(KIVLOG_LIBRARY_PATH);
            std::filesystem::copy_file(library, bin / library.filename());
        }
        scenario.probe = Utf8Of(bin / probe);
        std::ofstream(bin / "CLASSIFIED" / "kiv.system.properties")
            << "kiv.logging.status=on\nkiv.log.loggers=console|plain.file\nkiv.log.dir="
            << scenario.LogDirectory() << "\n";
        scenario.environment["KIV_SYS_CONFIG_DIR"] = std::nullopt;
        const ProbeRun beside = scenario.Run({"system", "syslog:beside the executable"});
        EXPECT_EQ(beside["system"], "present");
        EXPECT_NE(beside.Console().find("(U) beside the executable"), std::string::npos) << beside.output;
        EXPECT_EQ(scenario.LogFiles().size(), 1u);

        const std::filesystem::path config = scenario.Root().Path() / PathOfUtf8(name) / "config";
        std::filesystem::create_directories(config);
        std::ofstream(config / "kiv.system.properties") << "kiv.logging.status=on\nkiv.log.level=WARN\n";
        scenario.environment["KIV_SYS_CONFIG_DIR"] = Utf8Of(config);
        ExpectSettings(scenario.Run({"settings"}), "on", "WARN", "4");
    }
}

}  // namespace
