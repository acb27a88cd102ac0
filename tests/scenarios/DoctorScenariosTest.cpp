// kivlog-doctor over the same configurations as the loader: its verdicts,
// its exit status, and its agreement with a process that loads the library.
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
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

// The verdict the JSON report gives line number of the file.
std::string LineVerdict(const std::string& json, unsigned number) {
    const std::regex line("\\{\"number\": " + std::to_string(number) +
                          ", \"text\": \"(?:[^\"\\\\]|\\\\.)*\", \"verdict\": \"([a-z-]+)\"");
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

TEST(DoctorScenariosTest, NamesEachMistakeOnItsLine) {
    Scenario scenario;
    scenario.WriteProperties(
        "\xEF\xBB\xBFkiv.log.dynamic.logging=off\n"
        "\tkiv.log.level=WARN\n"
        "kiv.logging.status=on # note\n"
        "KIV.LOG.LEVEL=INFO\n"
        "kiv.log.loggers=console|plain.fil\n"
        "kiv.log.dir=" + scenario.Root().File("missing") + "\n"
        "kiv.logging.status=on\n"
        "kiv.logging.status=off\n"
        "no equals sign\n"
        "=value\n"
        "# comment\n"
        "kiv.log.levels=INFO\n");
    const kivtest::ProcessResult doctor = RunDoctor(scenario, {"--json"});
    EXPECT_EQ(doctor.exitCode, 0) << doctor.output;
    const std::vector<std::string> expected = {
        "byte-order-mark", "white-space-before-key", "rejected-value", "key-in-other-case",
        "accepted", "missing-directory", "accepted", "key-already-taken", "no-equals-sign",
        "empty-key", "comment", "unknown-key"};
    for (unsigned line = 1; line <= expected.size(); ++line) {
        EXPECT_EQ(LineVerdict(doctor.output, line), expected[line - 1]) << "line " << line;
    }
    EXPECT_EQ(Field(doctor.output, "logDirectorySource"), "\"documents\"");

    const kivtest::ProcessResult text = RunDoctor(scenario, {});
    EXPECT_NE(text.output.find("(\"#\" starts no comment inside a line)"), std::string::npos);
    EXPECT_NE(text.output.find("write \"kiv.log.level\""), std::string::npos);
    EXPECT_NE(text.output.find("\"plain.fil\" is no kind name"), std::string::npos);
    EXPECT_NE(text.output.find("Verdict: messages will be written to standard output"),
              std::string::npos);
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

    EXPECT_EQ(RunDoctor(scenario, {"--unknown"}).exitCode, 2);
    EXPECT_EQ(RunDoctor(scenario, {"--file"}).exitCode, 2);
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
