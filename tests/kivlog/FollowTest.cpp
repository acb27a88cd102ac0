// kivlog -f on a directory picks up the file of a process started later.
#include <gtest/gtest.h>
#include <logging/MsgLog.h>

#include <chrono>
#include <thread>

#include "support/BackgroundProcess.h"
#include "support/ScopedLoggingSwitch.h"
#include "support/TempDirectory.h"

using namespace ORVA::KIV::System::Utility::Logging;

namespace {

// Waits up to ten seconds for the file to hold the text.
bool Eventually(const std::string& file, const std::string& text) {
    for (int tries = 0; tries < 200; ++tries) {
        if (kivtest::ReadFile(file).find(text) != std::string::npos) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
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

}  // namespace
