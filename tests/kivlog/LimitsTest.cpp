// kivlog under the limits of its process: few file descriptors and little
// memory, as a shell's ulimit sets them.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/MessageMatching.h"
#include "support/ProcessRunner.h"
#include "support/TempDirectory.h"

namespace {

std::string Message(const std::string& stamp, const std::string& text) {
    return "\n(U) INFO [" + stamp + "] m:\n" + text + "\n\n";
}

// kivlog's standard output and error, run under the ulimit settings.
kivtest::ProcessResult KivlogUnder(const std::string& limits, const std::string& arguments) {
    const std::string command = limits + " && exec " + std::string(KIVLOG_TOOL_PATH) + " " + arguments;
    return kivtest::RunProcess("/bin/sh", {"-c", command}, {}, kivtest::Captured::kOutputAndErrors);
}

// Under a descriptor limit far below the number of files, every file is
// still read, and merged in time order.
TEST(KivlogLimitsTest, ReadsMoreFilesThanItMayHoldOpen) {
    kivtest::TempDirectory logs;
    std::string expected;
    for (int i = 0; i < 100; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "kiv.log_2024-03-05_07_08_%02d_%d.log", i % 60, i + 2);
        char stamp[32];
        std::snprintf(stamp, sizeof stamp, "2024/03/05 08:%02d:%02d", i / 60, i % 60);
        kivtest::WriteFile(logs.File(name), Message(stamp, "file " + std::to_string(i)) +
                                                Message("2024/03/05 09:00:00", "late " + std::to_string(i)));
    }
    for (const char* limit : {"ulimit -n 40", "ulimit -n 20", "ulimit -n 12"}) {
        const kivtest::ProcessResult merged = KivlogUnder(limit, "--line " + logs.Path().string());
        EXPECT_EQ(merged.exitCode, 0) << limit << merged.output.substr(0, 2000);
        EXPECT_EQ(kivtest::CountOccurrences(merged.output, "\n"), 200u) << limit;
        size_t last = 0;
        for (int i = 0; i < 100; ++i) {
            const size_t at = merged.output.find("m: file " + std::to_string(i) + "\n");
            ASSERT_NE(at, std::string::npos) << limit << " " << i;
            EXPECT_GT(at, last) << i;
            last = at;
        }
    }
}

// The inputs of a large directory share the memory budget: each reads in
// smaller steps the more there are.
TEST(KivlogLimitsTest, MergesTenThousandFilesInLittleMemory) {
#ifdef KIVLOG_UNDER_SANITIZER
    GTEST_SKIP() << "a sanitizer reserves more address space than the limit";
#endif
    kivtest::TempDirectory logs;
    for (int i = 0; i < 10000; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "kiv.log_2024-03-05_07_08_09_%d.log", i + 2);
        kivtest::WriteFile(logs.File(name), Message("2024/03/05 08:00:00", "file " + std::to_string(i)));
    }
    const kivtest::ProcessResult merged = KivlogUnder("ulimit -v 65536", "--line " + logs.Path().string());
    EXPECT_EQ(merged.exitCode, 0) << merged.output.substr(0, 2000);
    EXPECT_EQ(kivtest::CountOccurrences(merged.output, "m: file "), 10000u);
}

// Long records whose every byte is escaped are converted within a small
// memory budget.
TEST(KivlogLimitsTest, ConvertsLongEscapedRecordsInLittleMemory) {
#ifdef KIVLOG_UNDER_SANITIZER
    GTEST_SKIP() << "a sanitizer reserves more address space than the limit";
#endif
    kivtest::TempDirectory directory;
    const std::string log = directory.File("controls.log");
    kivtest::WriteFile(log, Message("2024/03/05 08:00:00", std::string(50 << 20, '\x01')));
    const std::string json = directory.File("out.json");
    EXPECT_EQ(KivlogUnder("ulimit -v 131072", "--json " + log + " > " + json).exitCode, 0);
    // Every control character, in text and body, escaped; and the last
    // piece's closing line ends, a piece being raw text.
    const kivtest::ProcessResult escapes =
        kivtest::RunProcess("/bin/sh", {"-c", "tr -cd '\\\\' < " + json + " | wc -c"}, {});
    EXPECT_EQ(escapes.output, std::to_string(2 * (50 << 20) + 4) + "\n");

    // On one line, a long text whose every byte is escaped (a backslash is
    // written twice) is not held whole either.
    const std::string backslashes = directory.File("backslashes.log");
    kivtest::WriteFile(backslashes, Message("2024/03/05 08:00:00", std::string(8000000, '\\')));
    const std::string line = directory.File("out.txt");
    EXPECT_EQ(KivlogUnder("ulimit -v 40960", "--line " + backslashes + " > " + line).exitCode, 0);
    EXPECT_EQ(kivtest::ReadFile(line).size(), std::string("2024-03-05T08:00:00 INFO m: \n").size() + 16000000);
}

}  // namespace
