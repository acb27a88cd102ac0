#include <gtest/gtest.h>
#include <logging/MsgLogPtr.h>

#include <filesystem>
#include <string>

#include "support/MessageMatching.h"
#include "support/ScopedLoggingSwitch.h"
#include "support/TempDirectory.h"

using namespace ORVA::KIV::System::Utility::Logging;

namespace {

TEST(MsgLogPtrTest, ResetClosesTheFileLogWithEveryMessageInIt) {
    kivtest::ScopedLoggingSwitch on(true);
    kivtest::TempDirectory directory;
    const std::string path = directory.File("owned.log");
    MsgLogPtr log = MakeMsgLog(IMsgLog::MSG_LOG_PLAIN_FILE, path.c_str());
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(log->MsgLogType(), IMsgLog::MSG_LOG_PLAIN_FILE);
    for (int i = 0; i < 100; ++i) log->Info("Owner::Run", ("line " + std::to_string(i)).c_str(), "(U) ");
    log.reset();
    const std::string content = kivtest::ReadFile(path);
    EXPECT_EQ(kivtest::CountOccurrences(content, "(U) INFO ["), 100U);
    EXPECT_NE(content.find("(U) line 99"), std::string::npos);
    // Closed and deleted: the file can go while the test still runs.
    EXPECT_TRUE(std::filesystem::remove(path));
}

TEST(MsgLogPtrTest, OwnsConsoleLogsAndIsEmptyForKindsWithoutALog) {
    MsgLogPtr console = MakeMsgLog(IMsgLog::MSG_LOG_CONSOLE, nullptr);
    ASSERT_NE(console, nullptr);
    EXPECT_EQ(console->MsgLogType(), IMsgLog::MSG_LOG_CONSOLE);
    EXPECT_EQ(MakeMsgLog(IMsgLog::MSG_LOG_GROUP, nullptr), nullptr);
    EXPECT_EQ(MakeMsgLog(static_cast<IMsgLog::SupportedMsgLog>(2), nullptr), nullptr);
    MsgLogPtr owned(SysOutMsgLog::NewSysOutMsgLog());
    EXPECT_NE(owned, nullptr);
}

}  // namespace
