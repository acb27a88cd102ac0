#include "core/MsgLevel.h"

#include <gtest/gtest.h>
#include <logging/MsgLog.h>

using namespace ORVA::KIV::System::Utility::Logging;

namespace {

// Opens the protected level conversions to the tests.
struct LevelConversions : SysOutMsgLog {
    using IMsgLog::GetMsgLevel;
    using IMsgLog::GetMsgLevelCode;
};

TEST(GetMsgLevelTest, GivesTheConstantForEachCodeAndDebugOtherwise) {
    EXPECT_EQ(LevelConversions::GetMsgLevel(0), IMsgLog::MsgLevel::LOGGING_DEBUG);
    EXPECT_EQ(LevelConversions::GetMsgLevel(1), IMsgLog::MsgLevel::LOGGING_ERROR);
    EXPECT_EQ(LevelConversions::GetMsgLevel(2), IMsgLog::MsgLevel::LOGGING_FATAL);
    EXPECT_EQ(LevelConversions::GetMsgLevel(3), IMsgLog::MsgLevel::LOGGING_INFO);
    EXPECT_EQ(LevelConversions::GetMsgLevel(4), IMsgLog::MsgLevel::LOGGING_WARN);
    EXPECT_EQ(LevelConversions::GetMsgLevel(-1), IMsgLog::DEFAULT_LOGGING_LEVEL);
    EXPECT_EQ(LevelConversions::GetMsgLevel(5), IMsgLog::DEFAULT_LOGGING_LEVEL);
}

TEST(GetMsgLevelCodeTest, IgnoresCaseAndBlankTrimmedEnds) {
    EXPECT_EQ(LevelConversions::GetMsgLevelCode("debug"), 0);
    EXPECT_EQ(LevelConversions::GetMsgLevelCode("Warn"), 4);
    EXPECT_EQ(LevelConversions::GetMsgLevelCode(" ERROR "), 1);
    EXPECT_EQ(LevelConversions::GetMsgLevelCode("ERROR "), 1);
    EXPECT_EQ(LevelConversions::GetMsgLevelCode("\tINFO "), 3);
}

TEST(GetMsgLevelCodeTest, RejectsWhatIsNoLevel) {
    EXPECT_EQ(LevelConversions::GetMsgLevelCode("\tINFO"), -1);
    EXPECT_EQ(LevelConversions::GetMsgLevelCode("   "), -1);
    EXPECT_EQ(LevelConversions::GetMsgLevelCode(""), -1);
    EXPECT_EQ(LevelConversions::GetMsgLevelCode(nullptr), -1);
    EXPECT_EQ(LevelConversions::GetMsgLevelCode("TRACE"), -1);
    EXPECT_EQ(LevelConversions::GetMsgLevelCode("WARNING"), -1);
    EXPECT_EQ(LevelConversions::GetMsgLevelCode("\xC9RROR"), -1);
}

TEST(NormalizeMsgLevelTest, AcceptsOnlyExactNames) {
    EXPECT_EQ(NormalizeMsgLevel("WARN"), IMsgLog::MsgLevel::LOGGING_WARN);
    EXPECT_EQ(NormalizeMsgLevel("FATAL"), IMsgLog::MsgLevel::LOGGING_FATAL);
    EXPECT_EQ(NormalizeMsgLevel("warn"), IMsgLog::DEFAULT_LOGGING_LEVEL);
    EXPECT_EQ(NormalizeMsgLevel("WARN "), IMsgLog::DEFAULT_LOGGING_LEVEL);
    EXPECT_EQ(NormalizeMsgLevel(" INFO "), IMsgLog::DEFAULT_LOGGING_LEVEL);
    EXPECT_EQ(NormalizeMsgLevel(""), IMsgLog::DEFAULT_LOGGING_LEVEL);
    EXPECT_EQ(NormalizeMsgLevel(nullptr), IMsgLog::DEFAULT_LOGGING_LEVEL);
}

}  // namespace
