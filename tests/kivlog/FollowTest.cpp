// kivlog following files as they grow, are replaced, truncated and
// deleted, directories as files appear, and pipes as they trickle.
#include <gtest/gtest.h>
#include <logging/MsgLog.h>

#if !defined(_WIN32)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "support/BackgroundProcess.h"
#include "support/MessageMatching.h"
#include "support/ProcessRunner.h"
#include "support/ScopedLoggingSwitch.h"
#include "support/TempDirectory.h"

using namespace ORVA::KIV::System::Utility::Logging;

namespace {

// Waits up to ten seconds (or the given time) for the file to hold the
// text.
bool Eventually(const std::string& file, const std::string& text,
                std::chrono::milliseconds within = std::chrono::seconds(10)) {
    constexpr std::chrono::milliseconds kStep(50);
    for (auto waited = kStep - kStep; waited < within; waited += kStep) {
        if (kivtest::ReadFile(file).find(text) != std::string::npos) return true;
        std::this_thread::sleep_for(kStep);
    }
    return false;
}

// Within a second: at once, not at the next look every few seconds.
bool Soon(const std::string& file, const std::string& text) {
    return Eventually(file, text, std::chrono::seconds(1));
}

TEST(KivlogFollowTest, ShowsEachMessageAcrossANewFileOfTheDirectory) {
    kivtest::TempDirectory logs;
    kivtest::TempDirectory output;
    const std::string lines = output.File("lines.txt");
    kivtest::ScopedLoggingSwitch on(true);
    IMsgLog* first = MsgLogFactory::NewMsgLog(IMsgLog::MSG_LOG_PLAIN_FILE,
                                              logs.File("kiv.log_2024-03-05_07_08_09.log").c_str());
    first->Info("First::Run", "before kivlog started", "(U) ");
    kivtest::BackgroundProcess follower(KIVLOG_TOOL_PATH, {"-f", "--line", logs.Path().string()}, lines);
    EXPECT_TRUE(Eventually(lines, "First::Run: (U) before kivlog started\n"));
    first->Warn("First::Run", "while following", "(U) ");
    EXPECT_TRUE(Eventually(lines, "First::Run: (U) while following\n"));
    IMsgLog* second = MsgLogFactory::NewMsgLog(IMsgLog::MSG_LOG_PLAIN_FILE,
                                               logs.File("kiv.log_2024-03-05_07_08_10.log").c_str());
    second->Error("Second::Run", "after a restart", "(U) ");
    EXPECT_TRUE(Eventually(lines, "ERROR Second::Run: (U) after a restart\n")) << kivtest::ReadFile(lines);
    MsgLogFactory::DeleteMsgLog(&first);
    MsgLogFactory::DeleteMsgLog(&second);
}

// A record that arrives in pieces, after the follower has waited on its
// first piece, and console raw text, which ends in one line end.
TEST(KivlogFollowTest, ReadsOnAfterARecordArrivesInPieces) {
    kivtest::TempDirectory directory;
    const std::string capture = directory.File("console.txt");
    const std::string lines = directory.File("lines.txt");
    kivtest::WriteFile(capture, "\n(U) INFO [2024/03/05 08:00:00] b:\n(U) three\n\n");
    kivtest::BackgroundProcess follower(KIVLOG_TOOL_PATH, {"-f", "--line", capture}, lines);
    EXPECT_TRUE(Eventually(lines, "b: (U) three\n"));
    kivtest::AppendFile(capture, "\n(U) INFO [2024/03/05 08:00:01] b:\n(U) four\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    kivtest::AppendFile(capture, "\n\n(U) INFO [2024/03/05 08:00:02] b:\n(U) five\n\n\nconsole raw line\n");
    EXPECT_TRUE(Eventually(lines, "b: (U) five\n")) << kivtest::ReadFile(lines);
    EXPECT_TRUE(Eventually(lines, "RAW: console raw line\n")) << kivtest::ReadFile(lines);
    EXPECT_NE(kivtest::ReadFile(lines).find("b: (U) four\n"), std::string::npos);
}

std::string Message(const std::string& stamp, const std::string& text) {
    return "\n(U) INFO [" + stamp + "] m:\n" + text + "\n\n";
}

// The last record of a file is held back until the file stands still, as it
// may grow; a newer record of another file shows that its writer has moved
// on (a rollover), and it goes on first, in time order.
TEST(KivlogFollowTest, ShowsTheLastRecordOfAnOlderFileBeforeNewerFiles) {
    kivtest::TempDirectory logs;
    kivtest::TempDirectory output;
    const std::string lines = output.File("lines.txt");
    kivtest::WriteFile(logs.File("kiv.log_2024-03-05_07_00_00.log"),
                       Message("2024/03/05 07:00:00", "old one") + Message("2024/03/05 07:00:01", "old last"));
    kivtest::WriteFile(logs.File("kiv.log_2024-03-05_07_00_05.log"),
                       Message("2024/03/05 07:00:05", "new one") + Message("2024/03/05 07:00:06", "new last"));
    kivtest::BackgroundProcess follower(KIVLOG_TOOL_PATH, {"-f", "--line", logs.Path().string()}, lines);
    ASSERT_TRUE(Eventually(lines, "m: new last\n"));
    const std::string shown = kivtest::ReadFile(lines);
    EXPECT_LT(shown.find("m: old last\n"), shown.find("m: new one\n")) << shown;
}

// The rest replace followed files by rename, which Windows refuses while a
// reader holds the file open, or use FIFOs, /proc and SIGPIPE.
#if !defined(_WIN32)

// A file replaced under its name by a smaller and then a larger one (as mv
// does), then truncated in place: each record is shown once.
TEST(KivlogFollowTest, FollowsThePathAcrossReplacementAndTruncation) {
    kivtest::TempDirectory directory;
    const std::string log = directory.File("app.log");
    const std::string lines = directory.File("lines.txt");
    kivtest::WriteFile(log, Message("2024/03/05 08:00:00", "old one") + Message("2024/03/05 08:00:01", "old two"));
    kivtest::BackgroundProcess follower(KIVLOG_TOOL_PATH, {"-f", "--line", log}, lines);
    EXPECT_TRUE(Eventually(lines, "m: old two\n"));
    const std::string replacement = directory.File("new.log");
    kivtest::WriteFile(replacement, Message("2024/03/05 09:00:00", "small"));
    std::filesystem::rename(replacement, log);
    // A name that never went away is no file that is gone.
    EXPECT_TRUE(Soon(lines, "m: small\n")) << kivtest::ReadFile(lines);
    std::string larger;
    for (int i = 0; i < 50; ++i) larger += Message("2024/03/05 10:00:00", "large " + std::to_string(i));
    kivtest::WriteFile(replacement, larger);
    std::filesystem::rename(replacement, log);
    EXPECT_TRUE(Eventually(lines, "m: large 49\n")) << kivtest::ReadFile(lines);
    kivtest::WriteFile(log, Message("2024/03/05 11:00:00", "truncated"));
    EXPECT_TRUE(Eventually(lines, "m: truncated\n")) << kivtest::ReadFile(lines);
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    const std::string shown = kivtest::ReadFile(lines);
    for (const char* text : {"old one\n", "small\n", "large 0\n", "large 49\n", "truncated\n"}) {
        EXPECT_EQ(kivtest::CountOccurrences(shown, text), 1u) << text << "\n" << shown;
    }
}

// Writes messages of random texts (line ends, empty lines, a CR at the end)
// through the library's file log.
void LogRandomMessages(IMsgLog* log, std::mt19937& random, int count) {
    static const char* const kSeparators[] = {" ", "\n", "\n\n", " "};
    static const char* const kEndings[] = {"", "\r", "\n", ""};
    for (int i = 0; i < count; ++i) {
        std::string text = "w" + std::to_string(random() % 1000);
        for (unsigned words = random() % 5; words > 0; --words) {
            text += kSeparators[random() % 4] + std::string("x") + std::to_string(random() % 100);
        }
        text += kEndings[random() % 4];
        if (random() % 6 == 0) {
            log->LogMessage(text.c_str(), "(U) ");
        } else {
            log->Warn(("M" + std::to_string(i) + "::Run").c_str(), text.c_str(), "(U) ");
        }
    }
}

// Followed across growth, replacement and truncation, the output is the
// bytes of each file the name held, in turn, exactly.
TEST(KivlogFollowTest, GivesBackEveryFileTheNameHeldByteForByte) {
    kivtest::TempDirectory directory;
    const std::string path = directory.File("kiv.log_2024-03-05_07_08_09.log");
    const std::string output = directory.File("out.log");
    std::mt19937 random(7);
    kivtest::ScopedLoggingSwitch on(true);
    IMsgLog* first = MsgLogFactory::NewMsgLog(IMsgLog::MSG_LOG_PLAIN_FILE, path.c_str());
    LogRandomMessages(first, random, 30);
    kivtest::BackgroundProcess follower(KIVLOG_TOOL_PATH, {"-f", path}, output);
    for (int burst = 0; burst < 3; ++burst) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        LogRandomMessages(first, random, 10);
    }
    MsgLogFactory::DeleteMsgLog(&first);
    const std::string firstBytes = kivtest::ReadFile(path);
    EXPECT_TRUE(Eventually(output, firstBytes));

    const std::string replacement = directory.File("replacement.log");
    IMsgLog* second = MsgLogFactory::NewMsgLog(IMsgLog::MSG_LOG_PLAIN_FILE, replacement.c_str());
    LogRandomMessages(second, random, 20);
    MsgLogFactory::DeleteMsgLog(&second);
    const std::string secondBytes = kivtest::ReadFile(replacement);
    std::filesystem::rename(replacement, path);
    EXPECT_TRUE(Eventually(output, firstBytes + secondBytes));

    std::filesystem::resize_file(path, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    IMsgLog* third = MsgLogFactory::NewMsgLog(IMsgLog::MSG_LOG_PLAIN_FILE, path.c_str());
    LogRandomMessages(third, random, 20);
    MsgLogFactory::DeleteMsgLog(&third);
    const std::string thirdBytes = kivtest::ReadFile(path);
    EXPECT_TRUE(Eventually(output, firstBytes + secondBytes + thirdBytes));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_TRUE(kivtest::ReadFile(output) == firstBytes + secondBytes + thirdBytes);
}

// A file deleted from a followed directory (by prune) is closed, so that
// its space is freed; the lines keep one shape as files come.
TEST(KivlogFollowTest, ClosesDeletedFilesAndKeepsOneLineShape) {
    if (!std::filesystem::exists("/proc/self/fd")) GTEST_SKIP() << "no /proc here";
    kivtest::TempDirectory logs;
    kivtest::TempDirectory output;
    const std::string lines = output.File("lines.txt");
    const std::string first = logs.File("kiv.log_2024-03-05_07_08_09.log");
    kivtest::WriteFile(first, Message("2024/03/05 08:00:00", "first"));
    kivtest::BackgroundProcess follower(KIVLOG_TOOL_PATH, {"-f", "--line", logs.Path().string()}, lines);
    EXPECT_TRUE(Eventually(lines, "m: first\n"));
    kivtest::WriteFile(logs.File("kiv.log_2024-03-05_07_08_10.log"), Message("2024/03/05 08:00:01", "second"));
    EXPECT_TRUE(Eventually(lines, "m: second\n"));
    std::filesystem::remove(first);
    const std::string descriptors = "/proc/" + std::to_string(follower.Id()) + "/fd";
    bool closed = false;
    for (int tries = 0; tries < 100 && !closed; ++tries) {
        closed = true;
        for (const auto& entry : std::filesystem::directory_iterator(descriptors)) {
            std::error_code error;
            const std::string target = std::filesystem::read_symlink(entry.path(), error).string();
            if (target.find("kiv.log_2024-03-05_07_08_09.log") != std::string::npos) closed = false;
        }
        if (!closed) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_TRUE(closed);
    // A new file of the same name is read as a new file.
    kivtest::WriteFile(first, Message("2024/03/05 08:00:02", "first again"));
    EXPECT_TRUE(Eventually(lines, "m: first again\n")) << kivtest::ReadFile(lines);
    const std::string shown = kivtest::ReadFile(lines);
    EXPECT_EQ(shown.find(first + ":2: 2024-03-05T08:00:00 INFO m: first\n"), 0u) << shown;
}

// A pipe that stays open shows each record as it comes, and a writer that
// died inside a record has that record shown, torn, after a while.
TEST(KivlogFollowTest, ShowsRecordsOfAQuietPipeAndTornRecordsOfAQuietFile) {
    kivtest::TempDirectory directory;
    const std::string fifo = directory.File("pipe");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string lines = directory.File("lines.txt");
    kivtest::BackgroundProcess reader(KIVLOG_TOOL_PATH, {"--level", "ERROR", "--line", fifo}, lines);
    const int writer = open(fifo.c_str(), O_WRONLY);
    ASSERT_GE(writer, 0);
    const std::string records = "\n(U) INFO [2024/03/05 08:00:00] m:\nquiet\n\n"
                                "\n(U) ERROR [2024/03/05 08:00:01] m:\nboom\n\n";
    ASSERT_EQ(write(writer, records.data(), records.size()), static_cast<ssize_t>(records.size()));
    EXPECT_TRUE(Eventually(lines, "ERROR m: boom\n")) << kivtest::ReadFile(lines);
    // A busy writer, never quiet for long: each error still shows as it
    // happens, not when the writer stops.
    bool shownWhileBusy = false;
    for (int i = 0; i < 40 && !shownWhileBusy; ++i) {
        const std::string busy = "\n(U) " + std::string(i == 0 ? "ERROR" : "INFO") +
                                 " [2024/03/05 08:00:02] m:\nbusy " + std::to_string(i) + "\n\n";
        ASSERT_EQ(write(writer, busy.data(), busy.size()), static_cast<ssize_t>(busy.size()));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        shownWhileBusy = kivtest::ReadFile(lines).find("ERROR m: busy 0\n") != std::string::npos;
    }
    EXPECT_TRUE(shownWhileBusy) << kivtest::ReadFile(lines);
    close(writer);

    const std::string log = directory.File("died.log");
    kivtest::WriteFile(log, Message("2024/03/05 08:00:00", "whole") + "\n(U) ERROR [2024/03/05 08:00:01] m:\ncut sho");
    const std::string followed = directory.File("followed.txt");
    kivtest::BackgroundProcess follower(KIVLOG_TOOL_PATH, {"-f", "--line", log}, followed);
    EXPECT_TRUE(Eventually(followed, "ERROR m: cut sho [torn]\n")) << kivtest::ReadFile(followed);

    // A file given as standard input, which no change watch sees.
    const std::string given = directory.File("given.log");
    kivtest::WriteFile(given, Message("2024/03/05 08:00:00", "given"));
    const std::string fromInput = directory.File("from-input.txt");
    kivtest::BackgroundProcess inputFollower(
        "/bin/bash", {"-c", "exec " + std::string(KIVLOG_TOOL_PATH) + " -f --line < '" + given + "'"}, fromInput);
    EXPECT_TRUE(Eventually(fromInput, "m: given\n"));
    kivtest::AppendFile(given, Message("2024/03/05 08:00:01", "appended"));
    EXPECT_TRUE(Soon(fromInput, "m: appended\n")) << kivtest::ReadFile(fromInput);

    // A quiet pipe followed beside a file does not hold the file up.
    const std::string quietFifo = directory.File("quiet-pipe");
    ASSERT_EQ(mkfifo(quietFifo.c_str(), 0600), 0);
    const std::string beside = directory.File("beside.log");
    kivtest::WriteFile(beside, Message("2024/03/05 08:00:00", "beside one"));
    const std::string both = directory.File("both.txt");
    kivtest::BackgroundProcess pipeAndFile(
        "/bin/bash",
        {"-c", "exec " + std::string(KIVLOG_TOOL_PATH) + " -f --line - '" + beside + "' < '" + quietFifo + "'"},
        both);
    const int quietWriter = open(quietFifo.c_str(), O_WRONLY);
    ASSERT_GE(quietWriter, 0);
    EXPECT_TRUE(Eventually(both, "m: beside one\n"));
    kivtest::AppendFile(beside, Message("2024/03/05 08:00:01", "beside two"));
    EXPECT_TRUE(Soon(both, "m: beside two\n")) << kivtest::ReadFile(both);
    // Nor does a pipe that stopped inside a record, which goes on torn
    // after a while, as a file's would.
    const std::string partial = "\n(U) INFO [2024/03/05 08:00:02] m:\npipe partial";
    ASSERT_EQ(write(quietWriter, partial.data(), partial.size()), static_cast<ssize_t>(partial.size()));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    kivtest::AppendFile(beside, Message("2024/03/05 08:00:03", "beside three"));
    EXPECT_TRUE(Soon(both, "m: beside three\n")) << kivtest::ReadFile(both);
    EXPECT_TRUE(Eventually(both, "m: pipe partial [torn]\n")) << kivtest::ReadFile(both);
    // Nor a busy pipe, never quiet for long.
    bool fileShownWhileBusy = false;
    for (int i = 0; i < 20 && !fileShownWhileBusy; ++i) {
        const std::string busy = "\n(U) INFO [2024/03/05 08:00:04] m:\npipe " + std::to_string(i) + "\n\n";
        ASSERT_EQ(write(quietWriter, busy.data(), busy.size()), static_cast<ssize_t>(busy.size()));
        if (i == 2) kivtest::AppendFile(beside, Message("2024/03/05 08:00:05", "beside four"));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        fileShownWhileBusy = i > 2 && kivtest::ReadFile(both).find("m: beside four\n") != std::string::npos;
    }
    EXPECT_TRUE(fileShownWhileBusy) << kivtest::ReadFile(both);
    close(quietWriter);
}

#endif

// -n shows the last records of the history, then follows on.
TEST(KivlogFollowTest, StartsFromTheLastRecordsOfTheHistory) {
    kivtest::TempDirectory directory;
    const std::string log = directory.File("app.log");
    const std::string lines = directory.File("lines.txt");
    std::string history;
    for (int i = 0; i < 5; ++i) {
        history += Message("2024/03/05 08:00:0" + std::to_string(i), "old " + std::to_string(i));
    }
    kivtest::WriteFile(log, history);
    kivtest::BackgroundProcess follower(KIVLOG_TOOL_PATH, {"-f", "-n", "2", "--line", log}, lines);
    EXPECT_TRUE(Eventually(lines, "m: old 4\n"));
    kivtest::AppendFile(log, Message("2024/03/05 08:00:09", "new"));
    EXPECT_TRUE(Eventually(lines, "m: new\n"));
    EXPECT_EQ(kivtest::ReadFile(lines), "2024-03-05T08:00:03 INFO m: old 3\n2024-03-05T08:00:04 INFO m: old 4\n"
                                        "2024-03-05T08:00:09 INFO m: new\n");
}

#if !defined(_WIN32)

// With SIGPIPE ignored, following stops once the reader of its output has
// gone, at the next record.
TEST(KivlogFollowTest, StopsWhenItsReaderHasGone) {
    kivtest::TempDirectory directory;
    const std::string log = directory.File("app.log");
    kivtest::WriteFile(log, Message("2024/03/05 08:00:00", "first"));
    const std::string command =
        "trap '' PIPE; (for i in 1 2 3 4 5 6; do sleep 0.5; "
        "printf '\n(U) INFO [2024/03/05 08:00:0'$i'] m:\nx\n\n' >> " +
        log + "; done) & timeout 30 " + KIVLOG_TOOL_PATH + " -f " + log +
        " | head -c 1 > /dev/null; echo \"status ${PIPESTATUS[0]}\"; wait";
    const kivtest::ProcessResult result = kivtest::RunProcess("/bin/bash", {"-c", command}, {});
    EXPECT_EQ(result.output, "status 1\n");
}

#endif

}  // namespace
