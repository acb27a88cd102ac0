// kivlog-doctor over the same configurations as the loader: its verdicts,
// its exit status, and its agreement with a process that loads the library.
#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <sys/wait.h>
#endif

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <regex>

#include "scenarios/Scenario.h"
#include "support/PlatformFacts.h"

using kivtest::ProbeRun;
using kivtest::Scenario;

namespace {

std::string DoctorPath() {
    return KIVLOG_DOCTOR_PATH;
}

kivtest::ProcessResult RunDoctor(const Scenario& scenario, std::vector<std::string> arguments) {
    kivtest::EnvironmentChanges environment = scenario.environment;
    for (const char* variable : {"XDG_CONFIG_HOME", "XDG_DOCUMENTS_DIR"}) {
        environment.emplace(variable, std::nullopt);
    }
    kivtest::ProcessResult result = kivtest::RunProcess(DoctorPath(), arguments, environment);
    result.output = kivtest::FromFileText(result.output);
    return result;
}

// The value of a field of the JSON report, as written (a string keeps its
// quotes).
std::string Field(const std::string& json, const std::string& name) {
    const std::regex field("\"" + name + "\": (\"(?:[^\"\\\\]|\\\\.)*\"|[^,}\\n]+)");
    std::smatch match;
    return std::regex_search(json, match, field) ? match[1].str() : "(missing)";
}

// A field of the JSON report's entry for line number of the file, as
// written.
std::string LineField(const std::string& json, unsigned number, const std::string& name) {
    const std::regex line("\\{\"number\": " + std::to_string(number) + ", .*?\"" + name +
                          "\": (\"(?:[^\"\\\\]|\\\\.)*\"|[^,}]+)");
    std::smatch match;
    return std::regex_search(json, match, line) ? match[1].str() : "(missing)";
}

std::string JsonText(const std::string& text) {
    std::string escaped = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') escaped += '\\';
        escaped += c;
    }
    return escaped + "\"";
}

// Starts "exec COMMAND" in a shell in the scenario's root with the
// scenario's KIV_SYS_CONFIG_DIR, asks the doctor about the process once it
// runs sleep, and ends it by its id.
kivtest::ProcessResult DoctorOnProcess(const Scenario& scenario, const std::string& command,
                                       const std::vector<std::string>& options,
                                       const std::function<void()>& whileRunning = [] {}) {
    const std::string pidFile = scenario.Root().File("pid");
    const std::string shell = "cd '" + scenario.Root().Path().string() + "' && (KIV_SYS_CONFIG_DIR='" +
                              scenario.ConfigDirectory() + "' exec " + command + " & echo $! > '" +
                              pidFile + "')";
    EXPECT_EQ(std::system(shell.c_str()), 0);
    const std::string started = kivtest::ReadFile(pidFile);
    const std::string pid = started.substr(0, started.find('\n'));
    // Wait until the program runs (setpriv and unshare have done their part).
    std::system(("for i in $(seq 200); do [ \"$(cat /proc/" + pid +
                 "/comm)\" = sleep ] && break; sleep 0.05; done").c_str());
    whileRunning();
    std::vector<std::string> arguments = {"--pid", pid};
    arguments.insert(arguments.end(), options.begin(), options.end());
    kivtest::ProcessResult doctor = RunDoctor(scenario, arguments);
    std::system(("kill " + pid).c_str());
    return doctor;
}

TEST(DoctorScenariosTest, NamesEachMistakeOnItsLineAndWhatWasMeant) {
    Scenario scenario;
    const struct {
        std::string text;
        std::string verdict;
        std::string suggestion;
    } lines[] = {
        {"\xEF\xBB\xBFkiv.log.dynamic.logging=off", "\"byte-order-mark\"", "null"},
        {"\tkiv.log.level=WARN", "\"white-space-before-key\"", "null"},
        {"kiv.logging.status=on # note", "\"rejected-value\"", "null"},
        {"KIV.LOG.LEVEL=INFO", "\"key-in-other-case\"", "null"},
        {"kiv.log.loggers=console|plain.fil|consle|Plain.file|bogus|jornal", "\"accepted\"", "null"},
        {"kiv.log.dir=" + scenario.Root().File("missing"), "\"missing-directory\"", "null"},
        {"kiv.logging.status=on", "\"accepted\"", "null"},
        {"kiv.logging.status=off", "\"key-already-taken\"", "null"},
        {"no equals sign", "\"no-equals-sign\"", "null"},
        {"=value", "\"empty-key\"", "null"},
        {"# comment", "\"comment\"", "null"},
        {"kiv.log.levels=INFO", "\"unknown-key\"", "\"kiv.log.level\""},
        {"kiv.log.directory=/var/log", "\"unknown-key\"", "\"kiv.log.dir\""},
        {"kiv.logging.satus=on", "\"unknown-key\"", "\"kiv.logging.status\""},
        {"kiv.log.colour=on", "\"unknown-key\"", "null"},
        {"kiv.log.level=warning", "\"rejected-value\"", "\"WARN\""},
        {"kiv.log.level= err", "\"rejected-value\"", "\"ERROR\""},
        {"kiv.log.level=TRACE", "\"rejected-value\"", "null"},
        {"kiv.log.dynamic.logging=onn", "\"rejected-value\"", "\"on\""},
        {"kiv.log.dynamic.logging=no", "\"rejected-value\"", "\"off\""},
        {"kiv.log.dynamic.logging=of", "\"rejected-value\"", "null"},
        {std::string("kiv.log.dir=/tmp\0junk", 21), "\"nul-in-value\"", "null"},
        {"kiv.log.dir=~/logs", "\"missing-directory\"", "null"},
        {"kiv.log.treshold=WARN", "\"unknown-key\"", "\"kiv.log.threshold\""},
        {"kiv.log.threshold=warning", "\"rejected-value\"", "\"WARN\""},
        {"kiv.\x1b]0;owned\x07\x1b[2J=on", "\"unknown-key\"", "null"},
        {"kiv.log.max.file.size=10 MB", "\"rejected-value\"", "\"10M\""},
        {"kiv.log.max.file.size=1K", "\"rejected-value\"", "\"64K\""},
        {"kiv.log.max.file.size=99999999999G", "\"rejected-value\"", "null"},
        {"kiv.log.max.total.size=2gb", "\"rejected-value\"", "\"2G\""},
        {"kiv.log.max.files=0", "\"rejected-value\"", "null"},
        {"kiv.log.max.age=100001", "\"rejected-value\"", "null"},
        {"kiv.log.max.file=1M", "\"unknown-key\"", "\"kiv.log.max.files\""},
        {"kiv.log.maxage=30", "\"unknown-key\"", "\"kiv.log.max.age\""},

    };
    std::string properties;
    for (const auto& line : lines) properties += line.text + "\n";
    scenario.WriteProperties(properties);
    const kivtest::ProcessResult doctor = RunDoctor(scenario, {"--json"});
    // The console member is made; plain.fil, consle, Plain.file, bogus and
    // jornal make none.
    EXPECT_EQ(doctor.exitCode, 3) << doctor.output;
    for (unsigned number = 1; number <= std::size(lines); ++number) {
        EXPECT_EQ(LineField(doctor.output, number, "verdict"), lines[number - 1].verdict) << number;
        EXPECT_EQ(LineField(doctor.output, number, "suggestion"), lines[number - 1].suggestion)
            << number;
    }
    EXPECT_EQ(Field(doctor.output, "logDirectorySource"), "\"documents\"");

    const kivtest::ProcessResult text = RunDoctor(scenario, {});
    for (const char* expected :
         {"(\"#\" starts no comment inside a line)", "write \"kiv.log.level\"",
          "\"plain.fil\" is no kind name (names are case-sensitive); did you mean \"plain.file\"?",
          "\"consle\" is no kind name (names are case-sensitive); did you mean \"console\"?",
          "\"Plain.file\" is no kind name (names are case-sensitive); did you mean \"plain.file\"?",
          "\"bogus\" is no kind name (names are case-sensitive); \"jornal\"",
          "\"jornal\" is no kind name (names are case-sensitive); did you mean \"journal\"?",
          "\"kiv.log.directory\" is no key of the file; did you mean \"kiv.log.dir\"?",
          "takes DEBUG, INFO, WARN, ERROR or FATAL, in any case; did you mean \"WARN\"?",
          "\"~\" is not expanded: write the full path",
          "the value holds a NUL byte, which no key accepts",
          // Control characters from the file reach no terminal raw.
          "kiv.\\x1b]0;owned\\x07\\x1b[2J",
          "Verdict: messages will be written to standard output, but not every configured member "
          "is made: plain.fil, consle, Plain.file, bogus, jornal"}) {
        EXPECT_NE(text.output.find(expected), std::string::npos) << expected << text.output;
    }
    EXPECT_EQ(text.output.find('\x1b'), std::string::npos);
    EXPECT_EQ(text.output.find('\x07'), std::string::npos);

    // A megabyte line is close to nothing (and costs no megabyte-squared).
    scenario.WriteProperties("kiv.log.level=" + std::string(1 << 20, 'W') + "\nkiv.log.dirr" +
                             std::string(1 << 20, 'x') + "=/\nkiv.log.loggers=console|" +
                             std::string(1 << 20, 'c') + "\n");
    EXPECT_EQ(RunDoctor(scenario, {}).output.find("did you mean"), std::string::npos);
}

// The limits are reported, and what retention would delete now, deleting
// nothing.
TEST(DoctorScenariosTest, ReportsDiskLimitsAndWhatRetentionWouldDelete) {
    Scenario scenario;
    scenario.WriteProperties("kiv.logging.status=on\nkiv.log.loggers=plain.file\nkiv.log.dir=" +
                             scenario.LogDirectory() + "\n");
    kivtest::ProcessResult doctor = RunDoctor(scenario, {});
    EXPECT_NE(doctor.output.find("file size limit: none"), std::string::npos) << doctor.output;
    EXPECT_NE(doctor.output.find("retention:       none (old log files stay)"), std::string::npos);
    EXPECT_EQ(Field(RunDoctor(scenario, {"--json"}).output, "maxFiles"), "null");

    const std::vector<std::string> names = {"kiv.log_2020-01-01_00_00_00.log", "kiv.log_2020-01-02_00_00_00.log",
                                            "kiv.log_2020-01-03_00_00_00.log", "kiv.log_notes.log"};
    for (const std::string& name : names) kivtest::WriteFile(scenario.LogDirectory() + name, "old");
    scenario.WriteProperties("kiv.logging.status=on\nkiv.log.loggers=plain.file\nkiv.log.dir=" +
                             scenario.LogDirectory() + "\nkiv.log.max.file.size=1M\nkiv.log.max.files=2\n"
                             "kiv.log.max.age=30\n");
    doctor = RunDoctor(scenario, {});
    for (const std::string expected :
         {std::string("file size limit: 1048576 bytes"), std::string("retention:       at most 2 files, none older "
                                                                      "than 30 days"),
          "delete: " + scenario.LogDirectory() + names[0]}) {
        EXPECT_NE(doctor.output.find(expected), std::string::npos) << expected << doctor.output;
    }
    // The newest two stay as they are now.
    EXPECT_EQ(doctor.output.find(names[1]), std::string::npos) << doctor.output;
    EXPECT_EQ(doctor.output.find(names[2]), std::string::npos) << doctor.output;
    const std::string json = RunDoctor(scenario, {"--json"}).output;
    EXPECT_EQ(Field(json, "maxFileSize"), "1048576");
    EXPECT_EQ(Field(json, "maxFiles"), "2");
    EXPECT_EQ(Field(json, "maxTotalSize"), "null");
    EXPECT_EQ(Field(json, "action"), "\"delete\"");
    for (const std::string& name : names) EXPECT_TRUE(std::filesystem::exists(scenario.LogDirectory() + name)) << name;

    scenario.WriteProperties("kiv.logging.status=on\nkiv.log.loggers=console\nkiv.log.max.files=2\n");
    doctor = RunDoctor(scenario, {});
    EXPECT_NE(doctor.output.find("act only on the system logger's plain.file member, which is not made"),
              std::string::npos) << doctor.output;
}

// The threshold is reported; a level other than DEBUG without a threshold
// gets the note that the level filters nothing.
TEST(DoctorScenariosTest, ReportsTheThresholdAndWhatTheLevelDoesNot) {
    Scenario scenario;
    scenario.WriteProperties("kiv.logging.status=on\nkiv.log.level=ERROR\n");
    kivtest::ProcessResult doctor = RunDoctor(scenario, {});
    EXPECT_NE(doctor.output.find("threshold:       none (no message is dropped)"), std::string::npos)
        << doctor.output;
    EXPECT_NE(doctor.output.find("set kiv.log.threshold=ERROR"), std::string::npos) << doctor.output;
    EXPECT_EQ(Field(RunDoctor(scenario, {"--json"}).output, "threshold"), "null");

    scenario.WriteProperties("kiv.logging.status=on\nkiv.log.level=ERROR\nkiv.log.threshold= warn \n");
    doctor = RunDoctor(scenario, {});
    EXPECT_NE(doctor.output.find("threshold:       WARN (messages of lower levels are dropped)"),
              std::string::npos) << doctor.output;
    EXPECT_EQ(doctor.output.find("set kiv.log.threshold"), std::string::npos);
    EXPECT_EQ(Field(RunDoctor(scenario, {"--json"}).output, "threshold"), "\"WARN\"");
}

TEST(DoctorScenariosTest, ExitStatusTellsWhetherAnythingIsLogged) {
    Scenario scenario;
    kivtest::ProcessResult doctor = RunDoctor(scenario, {});
    EXPECT_EQ(doctor.exitCode, 1);
    EXPECT_NE(doctor.output.find("Verdict: logging is off: the configuration directory has no "
                                 "kiv.system.properties"),
              std::string::npos)
        << doctor.output;

    scenario.WriteProperties("kiv.logging.status=off\n");
    doctor = RunDoctor(scenario, {});
    EXPECT_EQ(doctor.exitCode, 1);
    EXPECT_NE(doctor.output.find("Verdict: logging is off: no line set kiv.logging.status to on"),
              std::string::npos);

    // A misspelt key loses the log directory for a user without a Documents
    // folder (a home directory that does not exist): the file member is
    // missing. Where the Documents folder does not follow HOME (Windows)
    // only the test's own directories may be touched, so that case is left.
    if (kivtest::kDocumentsFollowHome) {
        kivtest::Scenario homeless;
        homeless.environment["HOME"] = homeless.Root().File("no-home");
        homeless.WriteProperties("kiv.logging.status=on\nkiv.log.loggers=console|plain.file\n"
                                 "kiv.log.directory=" + homeless.LogDirectory() + "\n");
        doctor = RunDoctor(homeless, {});
        EXPECT_EQ(doctor.exitCode, 3);
        EXPECT_NE(doctor.output.find("but not every configured member is made: plain.file"),
                  std::string::npos) << doctor.output;
    }
    scenario.WriteProperties("kiv.logging.status=on\nkiv.log.loggers=console|plain.fil\n");
    EXPECT_EQ(RunDoctor(scenario, {}).exitCode, 3);
    scenario.WriteProperties("kiv.logging.status=on\nkiv.log.loggers=console, plain.file\n");
    doctor = RunDoctor(scenario, {});
    EXPECT_EQ(doctor.exitCode, 3);
    EXPECT_NE(doctor.output.find("kinds are separated by \"|\": write \"console|plain.file\""),
              std::string::npos) << doctor.output;

    // What the library does not read, the doctor does not read either, and
    // it says why.
    scenario.WriteProperties("kiv.logging.status=on\n" + std::string(17u << 20, '#'));
    doctor = RunDoctor(scenario, {"--json"});
    EXPECT_EQ(doctor.exitCode, 1);
    EXPECT_EQ(Field(doctor.output, "outcome"), "\"too-large\"");
    if (kivtest::kHasFifosAndDevices) {
        std::filesystem::remove(scenario.PropertiesFile());
        ASSERT_TRUE(kivtest::MakeFifo(scenario.PropertiesFile()));
        doctor = RunDoctor(scenario, {});
        EXPECT_EQ(doctor.exitCode, 1);
        EXPECT_NE(doctor.output.find("no regular file (a FIFO, device or socket)"), std::string::npos)
            << doctor.output;
        std::filesystem::remove(scenario.PropertiesFile());
    }
    scenario.WriteProperties("kiv.logging.status=on\nkiv.log.loggers=console|plain.file\n"
                             "kiv.log.dir=" + scenario.LogDirectory() + "\n");
    EXPECT_EQ(RunDoctor(scenario, {}).exitCode, 0);

    EXPECT_EQ(RunDoctor(scenario, {"--unknown"}).exitCode, 2);
    EXPECT_EQ(RunDoctor(scenario, {"--file"}).exitCode, 2);
    EXPECT_EQ(RunDoctor(scenario, {"--exe", "a", "--pid", "1"}).exitCode, 2);
#if !defined(_WIN32)
    // A report that cannot be written is no verdict.
    for (const char* redirection : {"> /dev/full", "--json > /dev/full", ">&-"}) {
        const std::string command =
            "'" + DoctorPath() + "' --file '" + scenario.PropertiesFile() + "' " + redirection + " 2>/dev/null";
        const int status = std::system(command.c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << redirection;
    }
#endif
    doctor = RunDoctor(scenario, {"--pid", "\x1b[2J"});
    EXPECT_EQ(doctor.exitCode, 2);
    EXPECT_EQ(doctor.errors.find('\x1b'), std::string::npos) << doctor.errors;
}

TEST(DoctorScenariosTest, SearchesBesideTheNamedExecutableOnlyWhenTheVariableIsUnset) {
    Scenario scenario;
    const std::filesystem::path bin = scenario.Root().Path() / "bin";
    std::filesystem::create_directories(bin / "CLASSIFIED");
    kivtest::WriteFile((bin / "CLASSIFIED" / "kiv.system.properties").string(),
                       "kiv.logging.status=on\n");
    const std::string executable = (bin / "app").string();

    scenario.environment["KIV_SYS_CONFIG_DIR"] = "  ";
    kivtest::ProcessResult doctor = RunDoctor(scenario, {"--exe", executable, "--json"});
    EXPECT_EQ(doctor.exitCode, 0) << doctor.output;
    EXPECT_EQ(Field(doctor.output, "state"), "\"blank\"");
    EXPECT_EQ(Field(doctor.output, "hasFile"), "true");

    scenario.environment["KIV_SYS_CONFIG_DIR"] = scenario.ConfigDirectory();
    doctor = RunDoctor(scenario, {"--exe", executable, "--json"});
    EXPECT_EQ(doctor.exitCode, 1);
    EXPECT_EQ(Field(doctor.output, "state"), "\"set\"");
    EXPECT_EQ(Field(doctor.output, "outcome"), "\"missing\"");
    EXPECT_EQ(Field(doctor.output, "lookedBesideDoctor"), "false");

    // Files left where the library does not look are named, with the place
    // they must go to: beside the program instead of in CLASSIFIED, and in
    // the configuration directory's parent.
    const std::string misplaced = (bin / "kiv.system.properties").string();
    std::filesystem::rename(bin / "CLASSIFIED" / "kiv.system.properties", misplaced);
    kivtest::WriteFile(scenario.Root().File("kiv.system.properties"), "");
    doctor = RunDoctor(scenario, {"--exe", executable});
    EXPECT_NE(doctor.output.find("Found " + scenario.Root().File("kiv.system.properties") +
                                 ", but the library does not look there:\n  it must be " +
                                 scenario.PropertiesFile()),
              std::string::npos) << doctor.output;
    scenario.environment["KIV_SYS_CONFIG_DIR"] = std::nullopt;
    doctor = RunDoctor(scenario, {"--exe", executable});
    EXPECT_NE(doctor.output.find("Found " + misplaced + ", but the library does not look there:\n"
                                 "  it must be " + (bin / "CLASSIFIED" / "kiv.system.properties").string()),
              std::string::npos) << doctor.output;

    EXPECT_NE(doctor.output.find("or the program must run with KIV_SYS_CONFIG_DIR=" + bin.string()),
              std::string::npos) << doctor.output;

    // The variable must name the directory, not the file in it.
    scenario.WriteProperties("kiv.logging.status=on\n");
    scenario.environment["KIV_SYS_CONFIG_DIR"] = scenario.PropertiesFile();
    doctor = RunDoctor(scenario, {"--exe", executable});
    EXPECT_EQ(doctor.exitCode, 1);
    std::string directory = scenario.ConfigDirectory();
    directory.pop_back();
    EXPECT_NE(doctor.output.find("It names the properties file itself, but it must name the directory\n"
                                 "     that holds it: set KIV_SYS_CONFIG_DIR=" + directory + "\n"),
              std::string::npos) << doctor.output;
    EXPECT_EQ(doctor.output.find("kiv.system.properties" + std::string(1, kivtest::kSeparator) +
                                 "kiv.system.properties"),
              std::string::npos) << doctor.output;
    scenario.environment["KIV_SYS_CONFIG_DIR"] = std::nullopt;

    doctor = RunDoctor(scenario, {"--json"});
    EXPECT_EQ(Field(doctor.output, "lookedBesideDoctor"), "true");
    EXPECT_NE(RunDoctor(scenario, {}).output.find("Run kivlog-doctor --exe PROGRAM"), std::string::npos);
}

// --pid judges a running process by its own program, environment and
// working directory, against which a relative log directory resolves.
TEST(DoctorScenariosTest, JudgesARunningProcessAsItStarted) {
    Scenario scenario;
    scenario.WriteProperties("kiv.logging.status=on\nkiv.log.loggers=plain.file\nkiv.log.dir=logs\n");
    if (!kivtest::kProcessesCanBeInspected) {
        EXPECT_EQ(RunDoctor(scenario, {"--pid", "1"}).exitCode, 2);
        return;
    }
    // The doctor itself runs elsewhere, without the variable.
    scenario.environment["KIV_SYS_CONFIG_DIR"] = std::nullopt;
    const kivtest::ProcessResult doctor = DoctorOnProcess(scenario, "sleep 60", {});
    EXPECT_EQ(doctor.exitCode, 0) << doctor.output;
    EXPECT_NE(doctor.output.find("The log directory is relative to the working directory " +
                                 scenario.Root().Path().string() + ": it is " +
                                 scenario.Root().File("logs") + "/"),
              std::string::npos) << doctor.output;
    EXPECT_EQ(RunDoctor(scenario, {"--pid", "999999999"}).exitCode, 2);

    // A process of another user may not create files in root's directory,
    // whoever runs the doctor.
    if (std::system("[ \"$(id -u)\" = 0 ] && command -v setpriv > /dev/null") != 0) return;
    std::filesystem::permissions(scenario.Root().Path(), std::filesystem::perms::others_read |
                                 std::filesystem::perms::others_exec, std::filesystem::perm_options::add);
    const kivtest::ProcessResult json = DoctorOnProcess(
        scenario, "setpriv --reuid=nobody --regid=nogroup --clear-groups sleep 60", {"--json"});
    EXPECT_EQ(json.exitCode, 3) << json.output;
    EXPECT_EQ(Field(json.output, "made"), "false");
}

// --pid sees what the process sees and reads nothing with more rights than
// its user: its own mount namespace, its real user, the file as it stands
// now against the process's start, and the log file it really writes.
TEST(DoctorScenariosTest, JudgesARunningProcessOnItsOwnTerms) {
    if (!kivtest::kProcessesCanBeInspected) GTEST_SKIP() << "no /proc";
    namespace fs = std::filesystem;
    Scenario scenario;
    scenario.environment["KIV_SYS_CONFIG_DIR"] = std::nullopt;
    scenario.WriteProperties("kiv.logging.status=on\nkiv.log.loggers=plain.file\nkiv.log.dir=" +
                             scenario.LogDirectory() + "\n");
    const std::string logFile = scenario.LogDirectory() + "kiv.log_2026-12-09_13_00_00.log";
    kivtest::ProcessResult doctor =
        DoctorOnProcess(scenario, "sleep 60 3>>'" + logFile + "'", {"--json"}, [&scenario] {
            fs::last_write_time(scenario.PropertiesFile(),
                                fs::file_time_type::clock::now() + std::chrono::seconds(5));
        });
    EXPECT_EQ(doctor.exitCode, 0) << doctor.output;
    EXPECT_EQ(Field(doctor.output, "changedSinceStart"), "true");
    EXPECT_NE(doctor.output.find("\"openLogFiles\": [" + JsonText(logFile) + "]"), std::string::npos)
        << doctor.output;
    EXPECT_NE(doctor.output.find("the process writes to " + logFile), std::string::npos);
    scenario.WriteProperties("kiv.logging.status=on\nkiv.log.loggers=console\n");
    doctor = DoctorOnProcess(scenario, "sleep 60", {"--json"});
    EXPECT_EQ(Field(doctor.output, "changedSinceStart"), "false") << doctor.output;
    EXPECT_EQ(Field(doctor.output, "openLogFiles"), "[]");

    if (std::system("[ \"$(id -u)\" = 0 ] && command -v setpriv > /dev/null") != 0) return;
    fs::permissions(scenario.Root().Path(), fs::perms::others_read | fs::perms::others_exec,
                    fs::perm_options::add);
    // A setuid program started by another user reads its configuration with
    // root's rights; the doctor must not lend those rights to that user.
    const std::string secret = scenario.Root().File("secret");
    kivtest::WriteFile(secret, "SECRET-LINE=1\n");
    fs::permissions(secret, fs::perms::owner_read | fs::perms::owner_write);
    fs::remove(scenario.PropertiesFile());
    fs::create_symlink(secret, scenario.PropertiesFile());
    fs::create_directory(scenario.Root().Path() / "suid");
    const fs::path sleeper = scenario.Root().Path() / "suid" / "sleep";
    fs::copy_file("/bin/sleep", sleeper);
    fs::permissions(sleeper, fs::perms::set_uid | fs::perms::owner_all | fs::perms::group_read |
                                 fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    doctor = DoctorOnProcess(
        scenario, "setpriv --reuid=nobody --regid=nogroup --clear-groups " + sleeper.string() + " 60", {});
    EXPECT_EQ(doctor.output.find("SECRET-LINE"), std::string::npos) << doctor.output;
    EXPECT_EQ(doctor.errors.find("SECRET-LINE"), std::string::npos) << doctor.errors;
    if (!kivtest::IsOnNoSuidMount(sleeper.string())) {
        EXPECT_EQ(doctor.exitCode, 2) << doctor.output;
        EXPECT_NE(doctor.errors.find("setuid"), std::string::npos) << doctor.errors;
    }

    // A process in a mount namespace of its own reads the configuration
    // mounted there, not the one the doctor would see.
    if (std::system("unshare -m true 2> /dev/null") != 0) return;
    Scenario isolated;
    isolated.environment["KIV_SYS_CONFIG_DIR"] = std::nullopt;
    isolated.WriteProperties("kiv.logging.status=off\n");
    const std::string mounted = isolated.Root().File("mounted");
    fs::create_directory(mounted);
    kivtest::WriteFile(mounted + "/kiv.system.properties", "kiv.logging.status=on\nkiv.log.loggers=console\n");
    doctor = DoctorOnProcess(isolated,
                             "unshare -m --propagation private sh -c \"mount --bind '" + mounted + "' '" +
                                 isolated.ConfigDirectory() + "' && exec sleep 60\"",
                             {});
    EXPECT_EQ(doctor.exitCode, 0) << doctor.output;
    EXPECT_EQ(RunDoctor(isolated, {"--file", isolated.PropertiesFile()}).exitCode, 1);

    // No code of the process's file system runs in the doctor: a name
    // service module that the process's own nsswitch.conf names (asked for
    // the home directory, as HOME is unset) is never loaded.
    const std::string hesiod = "/usr/lib/x86_64-linux-gnu/libnss_hesiod.so.2";
    if (!fs::exists(hesiod) || std::system("command -v cc > /dev/null") != 0) return;
    Scenario hostile;
    hostile.environment["KIV_SYS_CONFIG_DIR"] = std::nullopt;
    hostile.WriteProperties("kiv.logging.status=on\n");
    const std::string marker = hostile.Root().File("module-ran");
    const std::string source = hostile.Root().File("module.c");
    kivtest::WriteFile(source, "#include <nss.h>\n#include <pwd.h>\n#include <stdio.h>\n"
                               "enum nss_status _nss_hesiod_getpwuid_r(uid_t u, struct passwd* p, char* b,\n"
                               "                                       size_t l, int* e) {\n"
                               "    FILE* f = fopen(\"" + marker + "\", \"w\");\n"
                               "    if (f) fclose(f);\n"
                               "    return NSS_STATUS_NOTFOUND;\n}\n");
    const std::string module = hostile.Root().File("libnss_hesiod.so.2");
    ASSERT_EQ(std::system(("cc -shared -fPIC -o '" + module + "' '" + source + "'").c_str()), 0);
    const std::string nsswitch = hostile.Root().File("nsswitch.conf");
    kivtest::WriteFile(nsswitch, "passwd: hesiod\n");
    doctor = DoctorOnProcess(hostile,
                             "env -u HOME unshare -m --propagation private sh -c \"mount --bind '" + nsswitch +
                                 "' /etc/nsswitch.conf && mount --bind '" + module + "' " + hesiod +
                                 " && exec sleep 60\"",
                             {});
    EXPECT_FALSE(fs::exists(marker)) << doctor.output;
    EXPECT_EQ(doctor.exitCode, 0) << doctor.output;
}

// However large the file, the report is short and the doctor's memory a
// small multiple of the file.
TEST(DoctorScenariosTest, StaysSmallOnAHugeFile) {
    Scenario scenario;
    std::string names;
    for (int i = 0; names.size() < (6u << 20); ++i) names += "name" + std::to_string(i) + "|";
    const std::string properties = "kiv.logging.status=on\nkiv.log.loggers=" + names +
                                   "\nkiv.log.level=" + std::string(6u << 20, '\x1b') + "\n";
    scenario.WriteProperties(properties);
    for (const char* format : {"--text", "--json"}) {
        std::vector<std::string> options;
        if (std::string(format) == "--json") options.push_back(format);
        const kivtest::ProcessResult doctor = RunDoctor(scenario, options);
        EXPECT_EQ(doctor.exitCode, 3) << format;
        EXPECT_LT(doctor.output.size(), 64u << 10) << format;
        EXPECT_NE(doctor.output.find("more names"), std::string::npos) << format;
    }
    // A sanitizer's own memory would hide the doctor's.
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
    if (const std::optional<size_t> peak = kivtest::LargestChildMemory()) {
        EXPECT_LE(*peak, 4 * properties.size());
    }
#endif
}

TEST(DoctorScenariosTest, AgreesWithAProcessThatLoadsTheLibrary) {
    Scenario scenario;
    const std::string logs = scenario.LogDirectory();
    for (const std::string& properties :
         {std::string("kiv.logging.status=on\nkiv.log.level=warn\nkiv.log.loggers= console | plain.file \n"),
          "kiv.logging.status=ON\nkiv.log.level=Info\nkiv.log.dir=" + logs + "\n",
          std::string("kiv.log.level=ERROR\nkiv.log.dynamic.logging=on\n"),
          std::string("\xEF\xBB\xBFkiv.logging.status=on\nkiv.log.loggers=html.file\n"),
          std::string("")}) {
        scenario.WriteProperties(properties);
        const ProbeRun probe = scenario.Run({"settings", "prop:kiv.log.loggers", "prop:kiv.log.dir"});
        const std::string doctor = RunDoctor(scenario, {"--json"}).output;
        const std::string logging = Field(doctor, "logging") == "true" ? "on" : "off";
        EXPECT_EQ(logging, probe["logging"]) << properties;
        EXPECT_EQ(Field(doctor, "level"), JsonText(probe["level"])) << properties;
        EXPECT_EQ(Field(doctor, "code"), probe["code"]) << properties;
        const std::string loggers = probe["prop[kiv.log.loggers]"];
        EXPECT_EQ(Field(doctor, "loggers"), loggers == "(null)" ? "null" : JsonText(loggers));
        const std::string directory = probe["prop[kiv.log.dir]"];
        EXPECT_EQ(Field(doctor, "logDirectory"),
                  directory == "(null)" ? "null" : JsonText(directory));
    }
    scenario.environment["KIV_SYS_CONFIG_DIR"] = scenario.Root().File("nowhere");
    const ProbeRun probe = scenario.Run({"settings"});
    const std::string doctor = RunDoctor(scenario, {"--json"}).output;
    EXPECT_EQ(Field(doctor, "level"), JsonText(probe["level"]));
    EXPECT_EQ(Field(doctor, "outcome"), "\"no-directory\"");
}

TEST(DoctorScenariosTest, WritesNothing) {
    Scenario scenario;
    scenario.WriteProperties("kiv.logging.status=on\nkiv.log.loggers=plain.file\nkiv.log.dir=" +
                             scenario.LogDirectory() + "\n");
    const kivtest::ProcessResult doctor = RunDoctor(scenario, {});
    EXPECT_EQ(doctor.exitCode, 0);
    EXPECT_NE(doctor.output.find("plain.file: file log: a new file"), std::string::npos);
    EXPECT_TRUE(scenario.LogFiles().empty());
}

// The doctor promises a log file only where the library makes one: a
// directory that refuses new files, or one where every name of the second is
// taken, makes the system logger fall back to the console.
TEST(DoctorScenariosTest, PromisesALogFileOnlyWhereTheLibraryMakesOne) {
    Scenario scenario;
    const std::string logs = scenario.LogDirectory();
    scenario.WriteProperties("kiv.logging.status=on\nkiv.log.loggers=plain.file\nkiv.log.dir=" +
                             logs + "\n");
    const auto doctorAgrees = [&](const std::string& situation) {
        const std::string doctor = RunDoctor(scenario, {"--json"}).output;
        const size_t filesBefore = scenario.LogFiles().size();
        scenario.Run({"syslog:where does this go?"});
        const bool made = scenario.LogFiles().size() > filesBefore;
        EXPECT_EQ(Field(doctor, "made"), made ? "true" : "false") << situation << doctor;
        return made;
    };
    EXPECT_TRUE(doctorAgrees("a writable directory"));

    namespace fs = std::filesystem;
    fs::permissions(logs, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    // A process with the right to ignore permissions may still create files.
    doctorAgrees("a directory without write permission");
    fs::permissions(logs, fs::perms::owner_write, fs::perm_options::add);

    if (!kivtest::kFilesAreCheapToCreate) return;
    // The probe runs in UTC; occupy every name of this second and the next.
    const std::time_t now = std::time(nullptr);
    for (std::time_t second = now; second < now + 8; ++second) {
        char stamp[32];
        std::strftime(stamp, sizeof stamp, "%Y-%m-%d_%H_%M_%S", std::gmtime(&second));
        for (int variant = 1; variant <= 999; ++variant) {
            const std::string suffix = variant > 1 ? "_" + std::to_string(variant) : "";
            kivtest::WriteFile(logs + "kiv.log_" + stamp + suffix + ".log", "");
        }
    }
    EXPECT_FALSE(doctorAgrees("every name taken"));
}

}  // namespace
