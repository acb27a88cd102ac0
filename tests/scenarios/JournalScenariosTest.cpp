// The system logger's journal member. Whether a journal answers depends on
// the machine, so each test first asks the doctor, and then checks that the
// library agrees with it: a journal that answers gets the messages (read
// back with journalctl on Linux), a missing one leaves the other members
// writing as before.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <thread>

#include "scenarios/Scenario.h"
#include "support/PlatformFacts.h"

using kivtest::ProbeRun;
using kivtest::Scenario;

namespace {

struct JournalState {
    bool answers = false;
    // The doctor's line about the member.
    std::string memberLine;
    int doctorExit = -1;
};

// The doctor's view of a configuration that names the journal member.
JournalState AskTheDoctor(const Scenario& scenario) {
    kivtest::EnvironmentChanges environment = scenario.environment;
    const kivtest::ProcessResult doctor =
        kivtest::RunProcess(KIVLOG_DOCTOR_PATH, {"--file", scenario.PropertiesFile()}, environment);
    const std::string output = kivtest::FromFileText(doctor.output);
    JournalState state;
    state.doctorExit = doctor.exitCode;
    const size_t line = output.find("\n  journal: ");
    if (line == std::string::npos) return state;
    state.memberLine = output.substr(line + 3, output.find('\n', line + 1) - line - 3);
    state.answers = state.memberLine.rfind("journal: journal log: ", 0) == 0;
    return state;
}

TEST(JournalScenarioTest, TheOtherMembersWriteWhateverTheJournalDoes) {
    Scenario scenario;
    scenario.WriteProperties("kiv.logging.status=on\nkiv.log.loggers=console|journal|plain.file\n"
                             "kiv.log.dir=" + scenario.LogDirectory() + "\n");
    const JournalState journal = AskTheDoctor(scenario);
    ASSERT_FALSE(journal.memberLine.empty()) << "the doctor lists no journal member";
    if (journal.answers) {
        EXPECT_EQ(journal.doctorExit, 0) << journal.memberLine;
    } else {
        // "no systemd journal socket", "built without libsystemd", or a
        // socket that a stopped journald left behind.
        EXPECT_EQ(journal.memberLine.rfind("journal: no member: ", 0), 0u) << journal.memberLine;
        EXPECT_EQ(journal.doctorExit, 3);
    }

    const ProbeRun run = scenario.Run({"system", "syslog:beside the journal"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run["system-can"], "1");
    EXPECT_NE(run.Console().find("beside the journal"), std::string::npos);
    const std::vector<std::string> files = scenario.LogFiles();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_NE(kivtest::ReadFile(scenario.LogDirectory() + files.front()).find("beside the journal"),
              std::string::npos);
}

TEST(JournalScenarioTest, AJournalAloneFallsBackToTheConsoleOnlyWhenMissing) {
    Scenario scenario;
    scenario.WriteProperties("kiv.logging.status=on\nkiv.log.loggers=journal\n");
    const JournalState journal = AskTheDoctor(scenario);
    const ProbeRun run = scenario.Run({"system", "syslog:journal only"});
    EXPECT_EQ(run["system-can"], "1");
    const bool onConsole = run.Console().find("journal only") != std::string::npos;
    EXPECT_EQ(onConsole, !journal.answers) << journal.memberLine;
}

#if !defined(_WIN32)

// A journal entry as journalctl -o json shows it: the fields with text
// values, decoded. Fields with other values (binary data, repeated fields)
// hold their JSON text.
using Entry = std::map<std::string, std::string>;

// Appends the code point as UTF-8.
void AppendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The JSON string starting at text[i] (a quote); i ends past its end.
std::string JsonString(const std::string& text, size_t& i) {
    std::string value;
    for (++i; i < text.size() && text[i] != '"'; ++i) {
        if (text[i] != '\\') {
            value += text[i];
            continue;
        }
        const char code = text[++i];
        switch (code) {
            case 'n': value += '\n'; break;
            case 't': value += '\t'; break;
            case 'r': value += '\r'; break;
            case 'b': value += '\b'; break;
            case 'f': value += '\f'; break;
            case 'u':
                AppendUtf8(value, static_cast<unsigned>(std::stoul(text.substr(i + 1, 4), nullptr, 16)));
                i += 4;
                break;
            default: value += code; break;
        }
    }
    ++i;
    return value;
}

Entry ParseEntry(const std::string& line) {
    Entry entry;
    size_t i = line.find('{');
    while (i != std::string::npos && i < line.size()) {
        i = line.find('"', i);
        if (i == std::string::npos) break;
        const std::string name = JsonString(line, i);
        i = line.find_first_not_of(" :", i);
        if (i == std::string::npos) break;
        if (line[i] == '"') {
            entry[name] = JsonString(line, i);
        } else {
            const size_t end = line[i] == '[' ? line.find(']', i) + 1 : line.find_first_of(",}", i);
            entry[name] = line.substr(i, end - i);
            i = end;
        }
        i = line.find_first_of(",}", i);
        if (i == std::string::npos || line[i] == '}') break;
    }
    return entry;
}

// The output of a command line.
std::string CommandOutput(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return output;
    char buffer[4096];
    size_t read = 0;
    while ((read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, read);
    pclose(pipe);
    return output;
}

// The entries of the program name, once there are at least `expected` of
// them (journald stores what it receives a little later).
std::vector<Entry> EntriesOf(const std::string& program, size_t expected) {
    std::vector<Entry> entries;
    for (int attempt = 0; attempt < 100 && entries.size() < expected; ++attempt) {
        if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(100));
        entries.clear();
        const std::string output =
            CommandOutput("journalctl --no-pager -o json -t '" + program + "' 2>/dev/null");
        for (size_t start = 0; start < output.size();) {
            const size_t end = std::min(output.find('\n', start), output.size());
            if (end > start) entries.push_back(ParseEntry(output.substr(start, end - start)));
            start = end + 1;
        }
    }
    return entries;
}

// The fields a test compares; "-" for a field the entry must not have.
struct ExpectedEntry {
    const char* message;
    const char* priority;
    const char* method;
    const char* level;
    const char* marking;
};

std::string FieldOrDash(const Entry& entry, const std::string& name) {
    const auto field = entry.find(name);
    return field == entry.end() ? "-" : field->second;
}

// A journal that answers, with journalctl to read it back; else the reason
// to skip. Run with a journal started for it, the test fails instead.
std::string WhyNoReadableJournal(const Scenario& scenario) {
    const JournalState journal = AskTheDoctor(scenario);
    if (!journal.answers) return "no journal answers here: " + journal.memberLine;
    if (CommandOutput("command -v journalctl").empty()) return "journalctl is missing";
    return std::string();
}

// Runs the scenario with a copy of the probe under a name of its own, which
// picks out the run's entries from everything else in the journal (the
// journal names the program, and _EXE is lost for a process that ends
// before journald looks it up); returns that name.
std::string RenamedProbe(Scenario& scenario) {
    const std::filesystem::path copy = kivtest::CopyProbeTo(scenario.Root().Path());
    const std::string name = "kivlog-probe-" + scenario.Root().Path().filename().string();
    std::filesystem::rename(copy, copy.parent_path() / name);
    scenario.probe = (copy.parent_path() / name).string();
    return name;
}

TEST(JournalScenarioTest, EachMessageIsOneEntryWithItsOwnFields) {
    Scenario scenario;
    scenario.WriteProperties("kiv.logging.status=on\nkiv.log.loggers=journal\n");
    if (const std::string why = WhyNoReadableJournal(scenario); !why.empty()) {
        if (std::getenv("KIVLOG_TEST_JOURNALD") != nullptr) FAIL() << why;
        GTEST_SKIP() << why;
    }
    const std::string program = RenamedProbe(scenario);
    const ProbeRun run = scenario.Run(
        {"syslevels", "syslog:two\\nlines\\n", "sysraw:raw text", "sysplain:plain \\xc3\\xa9"});
    ASSERT_EQ(run.exitCode, 0);

    const ExpectedEntry expected[] = {
        {"(U) debug-system", "7", "Probe::Levels", "DEBUG", "(U) "},
        {"(U) info-system", "6", "Probe::Levels", "INFO", "(U) "},
        {"(U) warn-system", "4", "Probe::Levels", "WARN", "(U) "},
        {"(U) error-system", "3", "Probe::Levels", "ERROR", "(U) "},
        {"(U) fatal-system", "2", "Probe::Levels", "FATAL", "(U) "},
        {"(U) two\nlines\n", "4", "Probe::Run", "WARN", "(U) "},
        // Raw text: the group joins the marking and the text.
        {"(U) raw text", "6", "-", "-", "-"},
        {"(U) plain \xc3\xa9", "3", "-", "ERROR", "(U) "},
    };
    const std::vector<Entry> entries = EntriesOf(program, std::size(expected));
    ASSERT_EQ(entries.size(), std::size(expected));
    for (size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE("entry " + std::to_string(i));
        EXPECT_EQ(FieldOrDash(entries[i], "MESSAGE"), expected[i].message);
        EXPECT_EQ(FieldOrDash(entries[i], "PRIORITY"), expected[i].priority);
        EXPECT_EQ(FieldOrDash(entries[i], "CODE_FUNC"), expected[i].method);
        EXPECT_EQ(FieldOrDash(entries[i], "KIV_LEVEL"), expected[i].level);
        EXPECT_EQ(FieldOrDash(entries[i], "KIV_MARKING"), expected[i].marking);
        EXPECT_EQ(FieldOrDash(entries[i], "SYSLOG_IDENTIFIER"), program);
        EXPECT_EQ(FieldOrDash(entries[i], "CODE_FILE"), "-");
    }
}

TEST(JournalScenarioTest, TheThresholdHoldsBackEntriesToo) {
    Scenario scenario;
    scenario.WriteProperties("kiv.logging.status=on\nkiv.log.loggers=journal\nkiv.log.threshold=ERROR\n");
    if (const std::string why = WhyNoReadableJournal(scenario); !why.empty()) {
        if (std::getenv("KIVLOG_TEST_JOURNALD") != nullptr) FAIL() << why;
        GTEST_SKIP() << why;
    }
    const std::string program = RenamedProbe(scenario);
    ASSERT_EQ(scenario.Run({"syslevels", "sysraw:raw passes"}).exitCode, 0);
    std::vector<std::string> priorities;
    for (const Entry& entry : EntriesOf(program, 3)) priorities.push_back(FieldOrDash(entry, "PRIORITY"));
    EXPECT_EQ(priorities, (std::vector<std::string>{"3", "2", "6"}));
}

#endif

}  // namespace
