// Compiled with KIVLOGGING_MIN_LEVEL=KIVLOGGING_LEVEL_WARN: the macros below
// WARN compile to nothing, whatever the threshold in force.
#include <gtest/gtest.h>
#include <logging/MsgLogFormat.h>

#include "support/ScopedLoggingSwitch.h"

using namespace ORVA::KIV::System::Utility::Logging;

namespace {

static_assert(KIVLOGGING_MIN_LEVEL == KIVLOGGING_LEVEL_WARN);

TEST(CompiledFloorTest, MacrosBelowTheFloorEvaluateNothing) {
    kivtest::ScopedLoggingSwitch on(true);
    MsgLogPtr console = MakeMsgLog(IMsgLog::MSG_LOG_CONSOLE, nullptr);
    ASSERT_EQ(MsgLogThreshold::Get(), MsgSeverity::Debug);
    int evaluations = 0;
    KIV_DEBUG(console, "(U) ", "{}", ++evaluations);
    KIV_INFO_AT(console, "M", "(U) ", "{}", ++evaluations);
    EXPECT_EQ(evaluations, 0);
    KIV_WARN_AT(console, "M", "(U) ", "{}", ++evaluations);
    EXPECT_EQ(evaluations, 1);
    EXPECT_FALSE(KIV_ENABLED(console, Info));
    EXPECT_TRUE(KIV_ENABLED(console, Warn));
}

}  // namespace
