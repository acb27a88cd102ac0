// The disk limits in-process: where the file log moves on to a new file,
// which old files retention picks and deletes, and the values the keys take.
#include <gtest/gtest.h>
#include <logging/MsgLog.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "logs/FileMsgLog.h"
#include "properties/DiskLimits.h"
#include "retention/LogRetention.h"
#include "support/MessageMatching.h"
#include "support/PlatformFacts.h"
#include "support/ScopedLoggingSwitch.h"
#include "support/TempDirectory.h"

using namespace ORVA::KIV::System::Utility::Logging;
using kivtest::AsFileText;
using kivtest::MaskTimeStamps;
using kivtest::ReadFile;
using kivtest::kHeader;

namespace {

constexpr std::uint64_t k64K = 64 * 1024;
// A time stamp as written takes this many more bytes than its mask " [T] ".
constexpr size_t kStampWidth = std::string_view(" [2024/03/05 07:08:09] ").size() - std::string_view(" [T] ").size();

std::string Record(const std::string& text) {
    return "\n(U) INFO [T] Roll::Test:\n(U) " + text + "\n\n";
}

// Bytes on disk of a masked text holding stamps time stamps.
size_t OnDisk(const std::string& masked, size_t stamps) {
    return AsFileText(masked).size() + stamps * kStampWidth;
}

class RolloverTest : public ::testing::Test {
protected:
    FileMsgLog* NewLog(std::uint64_t maxFileBytes) {
        DiskLimits limits;
        limits.maxFileBytes = maxFileBytes;
        return new FileMsgLog(m_directory.DirectoryText(), limits);
    }
    static void Delete(FileMsgLog* log) {
        IMsgLog* doomed = log;
        FileMsgLog::DeleteFileMsgLog(&doomed);
    }
    // The default-named files of the directory, oldest first, masked.
    std::vector<std::string> Files() const {
        std::vector<Platform::DirectoryEntry> entries;
        std::string reason;
        EXPECT_TRUE(ListDefaultLogFiles(m_directory.DirectoryText(), &entries, &reason)) << reason;
        std::vector<std::string> contents;
        for (const Platform::DirectoryEntry& entry : entries) {
            const std::string content = ReadFile(m_directory.File(entry.name));
            EXPECT_LE(content.size(), m_limit) << entry.name;
            contents.push_back(MaskTimeStamps(content));
        }
        return contents;
    }

    kivtest::TempDirectory m_directory;
    kivtest::ScopedLoggingSwitch m_on{true};
    std::uint64_t m_limit = k64K;
};

// As many messages as fit after the banner go into a file; the next one
// starts a new file with its own banner, and none is split.
TEST_F(RolloverTest, MovesOnBeforeTheMessageThatWouldPassTheLimit) {
    FileMsgLog* log = NewLog(m_limit);
    const std::string filler(1000, 'x');
    const auto text = [&filler](int i) { return std::to_string(1000 + i) + filler; };
    const size_t perMessage = OnDisk(Record(text(0)), 1);
    const size_t fit = (m_limit - OnDisk(kHeader, 1)) / perMessage;
    ASSERT_GT(fit, 10u);
    std::vector<std::string> expected(3, kHeader);
    for (size_t i = 0; i < 2 * fit + 1; ++i) {
        log->Info("Roll::Test", text(static_cast<int>(i)).c_str(), "(U) ");
        expected[i / fit] += Record(text(static_cast<int>(i)));
    }
    for (std::string& file : expected) file = AsFileText(file);
    EXPECT_EQ(Files(), expected);
    Delete(log);
}

// A message larger than the limit goes whole into a file of its own, and
// the next message into another.
TEST_F(RolloverTest, PutsAnOversizeMessageIntoAFileOfItsOwn) {
    FileMsgLog* log = NewLog(m_limit);
    const std::string huge(2 * m_limit, 'h');
    log->Info("Roll::Test", "before", "(U) ");
    log->Info("Roll::Test", huge.c_str(), "(U) ");
    log->Info("Roll::Test", "after", "(U) ");
    m_limit = 3 * k64K;
    EXPECT_EQ(Files(), (std::vector<std::string>{AsFileText(kHeader + Record("before")),
                                                 AsFileText(kHeader + Record(huge)),
                                                 AsFileText(kHeader + Record("after"))}));
    Delete(log);
}

// Retention at each new file keeps the newest files; a name it freed in
// this second is not taken again, so the names keep the order of writing.
TEST_F(RolloverTest, NamesKeepTheOrderOfWritingWhileRetentionFreesThem) {
    DiskLimits limits;
    limits.maxFileBytes = m_limit;
    limits.retention.maxFiles = 2;
    FileMsgLog* log = new FileMsgLog(m_directory.DirectoryText(), limits);
    const std::string filler(1000, 'x');
    for (int i = 0; i < 400; ++i) log->Info("Roll::Test", (std::to_string(1000 + i) + filler).c_str(), "(U) ");
    const std::vector<std::string> files = Files();
    ASSERT_EQ(files.size(), 2u);
    EXPECT_NE(files.back().find(std::to_string(1399) + filler), std::string::npos);
    EXPECT_EQ(files.front().find(std::to_string(1399) + filler), std::string::npos);
    Delete(log);
}

// Without a size limit, and for a log of a given name, a file never moves.
TEST_F(RolloverTest, StaysInOneFileWithoutALimit) {
    FileMsgLog* log = new FileMsgLog(m_directory.DirectoryText(), DiskLimits{});
    const std::string text(4000, 'y');
    for (int i = 0; i < 40; ++i) log->Info("Roll::Test", text.c_str(), "(U) ");
    m_limit = 1 << 20;
    EXPECT_EQ(Files().size(), 1u);
    Delete(log);
}

// When no new file can be made (its directory has gone), messages go on
// into the old one.
TEST_F(RolloverTest, KeepsWritingToTheOldFileWhenNoNewOneCanBeMade) {
    namespace fs = std::filesystem;
    const std::string logs = m_directory.File("logs");
    fs::create_directory(logs);
    DiskLimits limits;
    limits.maxFileBytes = m_limit;
    FileMsgLog* log = new FileMsgLog(logs + kivtest::kSeparator, limits);
    std::error_code moved;
    fs::rename(logs, m_directory.File("moved"), moved);
    if (moved) {
        Delete(log);
        GTEST_SKIP() << "a directory with an open file cannot be moved here";
    }
    const std::string text(3000, 'z');
    for (int i = 0; i < 60; ++i) log->Info("Roll::Test", (std::to_string(i) + text).c_str(), "(U) ");
    Delete(log);
    EXPECT_FALSE(fs::exists(logs));
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(m_directory.File("moved"))) files.push_back(entry.path().string());
    ASSERT_EQ(files.size(), 1u);
    const std::string content = ReadFile(files.front());
    EXPECT_EQ(kivtest::CountOccurrences(content, text), 60u);
    EXPECT_EQ(kivtest::CountOccurrences(content, "PLAIN-TEXT LOGGER"), 1u);
}

Platform::DirectoryEntry Entry(const std::string& stamp, std::uint64_t size, std::int64_t daysOld) {
    constexpr std::int64_t kNow = 2000000000;
    return {"kiv.log_" + stamp + ".log", true, size, kNow - daysOld * 86400};
}

TEST(RetentionTest, KeepsTheNewestFilesThatHoldEveryLimit) {
    constexpr std::int64_t kNow = 2000000000;
    // Oldest first: 300 bytes 10 days old, ... the newest 100 bytes of today.
    const std::vector<Platform::DirectoryEntry> files = {
        Entry("2024-01-01_00_00_00", 300, 10), Entry("2024-01-02_00_00_00", 300, 8),
        Entry("2024-01-02_00_00_00_2", 200, 5), Entry("2024-01-03_00_00_00", 100, 0)};
    const struct {
        const char* what;
        RetentionLimits limits;
        std::vector<bool> picked;
    } cases[] = {
        {"no limit", {}, {false, false, false, false}},
        {"two files", {2, {}, {}}, {true, true, false, false}},
        {"more files than there are", {9, {}, {}}, {false, false, false, false}},
        {"600 bytes", {{}, 600, {}}, {true, false, false, false}},
        {"exactly all bytes", {{}, 900, {}}, {false, false, false, false}},
        {"8 days", {{}, {}, 8}, {true, true, false, false}},
        {"1 day", {{}, {}, 1}, {true, true, true, false}},
        {"3 files, 300 bytes", {3, 300, {}}, {true, true, false, false}},
        {"3 files, 9 days", {3, {}, 9}, {true, false, false, false}},
        {"every limit, the widest", {4, 1000, 100000}, {false, false, false, false}},
        {"a total beyond any disk", {{}, kMostRetentionBytes, {}}, {false, false, false, false}},
    };
    for (const auto& c : cases) EXPECT_EQ(PickedByLimits(c.limits, files, kNow), c.picked) << c.what;
}

TEST(RetentionTest, OrdersByTheTimeInTheNameThenByTheNumber) {
    kivtest::TempDirectory directory;
    // Days no calendar has name no file the log makes: they are not listed.
    for (const char* name : {"kiv.log_2024-01-02_00_00_00_10.log", "kiv.log_2024-01-02_00_00_00.log",
                             "kiv.log_2024-01-01_23_59_59.log", "kiv.log_2024-01-02_00_00_00_9.log",
                             "kiv.log_2000-02-29_00_00_00.log", "kiv.log_2024-02-29_00_00_00.log",
                             "kiv.log_2024-02-30_00_00_00.log", "kiv.log_2023-02-29_00_00_00.log",
                             "kiv.log_1900-02-29_00_00_00.log", "kiv.log_2024-04-31_00_00_00.log",
                             "kiv.log_2024-11-31_00_00_00_2.log", "kiv.log_2024-12-31_00_00_00.log"}) {
        kivtest::WriteFile(directory.File(name), "x");
    }
    std::vector<Platform::DirectoryEntry> files;
    std::string reason;
    ASSERT_TRUE(ListDefaultLogFiles(directory.DirectoryText(), &files, &reason));
    std::vector<std::string> names;
    for (const auto& file : files) names.push_back(file.name);
    EXPECT_EQ(names, (std::vector<std::string>{"kiv.log_2000-02-29_00_00_00.log", "kiv.log_2024-01-01_23_59_59.log",
                                               "kiv.log_2024-01-02_00_00_00.log", "kiv.log_2024-01-02_00_00_00_9.log",
                                               "kiv.log_2024-01-02_00_00_00_10.log", "kiv.log_2024-02-29_00_00_00.log",
                                               "kiv.log_2024-12-31_00_00_00.log"}));
}

// Retention deletes old default-named files, and nothing else: not the file
// spared, not one a log has open, no link, FIFO, directory or other name.
TEST(RetentionTest, DeletesOnlyOldClosedLogFilesOfItsOwnNames) {
    kivtest::TempDirectory directory;
    kivtest::ScopedLoggingSwitch on(true);
    const std::vector<std::string> old = {"kiv.log_2024-01-01_00_00_00.log", "kiv.log_2024-01-03_00_00_00_2.log"};
    std::vector<std::string> stay = {"kiv.log_2024-01-09_00_00_00.log", "kiv.log_notes.log",
                                     "kiv.log_2024-01-01_00_00_00_1.log", "other.log", "target.txt",
                                     "kiv.log_2023-02-29_00_00_00.log", "kiv.log_2023-06-31_00_00_00_2.log"};
    for (const std::string& name : old) kivtest::WriteFile(directory.File(name), "old");
    for (const std::string& name : stay) kivtest::WriteFile(directory.File(name), "stay");
    std::filesystem::create_directory(directory.File("kiv.log_2023-01-03_00_00_00.log"));
    stay.push_back("kiv.log_2023-01-03_00_00_00.log");
    if (kivtest::kHasFifosAndDevices) {
        ASSERT_TRUE(kivtest::MakeFifo(directory.File("kiv.log_2023-01-02_00_00_00.log")));
        std::filesystem::create_symlink("target.txt", directory.File("kiv.log_2023-01-01_00_00_00.log"));
        stay.insert(stay.end(), {"kiv.log_2023-01-02_00_00_00.log", "kiv.log_2023-01-01_00_00_00.log"});
    }
    const std::string live = "kiv.log_2024-01-02_00_00_00.log";
    IMsgLog* log = MsgLogFactory::NewMsgLog(IMsgLog::MSG_LOG_PLAIN_FILE, directory.File(live).c_str());
    stay.push_back(live);

    RetentionLimits limits;
    limits.maxFiles = 1;
    std::vector<RetentionOutcome> outcomes;
    std::string reason;
    ASSERT_TRUE(ApplyRetention(directory.DirectoryText(), limits, "kiv.log_2024-01-09_00_00_00.log", true,
                               &outcomes, &reason));
    ASSERT_EQ(outcomes.size(), 3u);
    EXPECT_EQ(outcomes[1].path, directory.DirectoryText() + live);
    EXPECT_EQ(outcomes[1].removal, Platform::Removal::kInUse) << outcomes[1].reason;
    for (const std::string& name : old) EXPECT_TRUE(std::filesystem::exists(directory.File(name))) << name;

    outcomes.clear();
    ASSERT_TRUE(ApplyRetention(directory.DirectoryText(), limits, "kiv.log_2024-01-09_00_00_00.log", false,
                               &outcomes, &reason));
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(directory.Path())) {
        left.push_back(entry.path().filename().string());
    }
    std::sort(left.begin(), left.end());
    std::sort(stay.begin(), stay.end());
    EXPECT_EQ(left, stay);
    EXPECT_EQ(ReadFile(directory.File("target.txt")), "stay");
    MsgLogFactory::DeleteMsgLog(&log);
}

TEST(DiskLimitsTest, KeysTakeAmountsWithinTheirBounds) {
    const struct {
        const char* key;
        const char* value;
        const char* stored;
    } cases[] = {
        {kMaxFileSizeKey, "64K", "65536"},
        {kMaxFileSizeKey, "1m", "1048576"},
        {kMaxFileSizeKey, " 2G ", "2147483648"},
        {kMaxFileSizeKey, "65536", "65536"},
        {kMaxFileSizeKey, "65535", nullptr},
        {kMaxFileSizeKey, "63K", nullptr},
        {kMaxFileSizeKey, "99999999999G", nullptr},
        {kMaxFileSizeKey, "999999999999999999999999", nullptr},
        {kMaxFileSizeKey, "1073741824G", "1152921504606846976"},
        {kMaxFileSizeKey, "1073741825G", nullptr},
        {kMaxFileSizeKey, "10MB", nullptr},
        {kMaxFileSizeKey, "1.5M", nullptr},
        {kMaxFileSizeKey, "-1M", nullptr},
        {kMaxFileSizeKey, "", nullptr},
        {kMaxFileSizeKey, "M", nullptr},
        {kMaxTotalSizeKey, "10M", "10485760"},
        {kMaxTotalSizeKey, "1K", nullptr},
        {kMaxFilesKey, "3", "3"},
        {kMaxFilesKey, "0", nullptr},
        {kMaxFilesKey, "3K", nullptr},
        {kMaxAgeKey, "30", "30"},
        {kMaxAgeKey, "100000", "100000"},
        {kMaxAgeKey, "100001", nullptr},
        {kMaxAgeKey, "0", nullptr},
    };
    for (const auto& c : cases) {
        const std::optional<std::string> stored = AcceptedDiskLimit(c.key, c.value);
        EXPECT_EQ(stored.value_or("(rejected)"), c.stored != nullptr ? c.stored : "(rejected)")
            << c.key << "=" << c.value;
        // What is stored is what the limits hold, the largest amount too.
        if (c.stored == nullptr || std::string(c.key) != kMaxFileSizeKey) continue;
        const PropertyMap store{{kMaxFileSizeKey, c.stored}};
        EXPECT_EQ(DiskLimitsOf(store).maxFileBytes, std::optional<std::uint64_t>(std::stoull(c.stored))) << c.value;
    }
}

}  // namespace
