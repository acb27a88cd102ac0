#include <gtest/gtest.h>
#include <logging/MsgLog.h>

#include <algorithm>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "support/ScopedLoggingSwitch.h"

using namespace ORVA::KIV::System::Utility::Logging;

namespace {

// Records every LogMessage call as text, so the tests see exactly what the
// front ends pass on.
class RecordingLog : public IMsgLog {
public:
    RecordingLog() { SetMsgLogName(); }
    ~RecordingLog() override = default;

    SupportedMsgLog MsgLogType() const override { return MSG_LOG_CONSOLE; }
    void LogMessage(const char* message, int levelCode, const char* marking) override {
        calls.push_back("3:" + Text(message) + "|" + std::to_string(levelCode) + "|" + Text(marking));
    }
    void LogMessage(const char* method, const char* message, int levelCode,
                    const char* marking) override {
        calls.push_back("4:" + Text(method) + "|" + Text(message) + "|" +
                        std::to_string(levelCode) + "|" + Text(marking));
    }
    void LogMessage(const char* message, const char* marking) override {
        calls.push_back("2:" + Text(message) + "|" + Text(marking));
    }

    // The configured level code, for the Enabled queries.
    static void SetLevelCode(int code) { c_loggingLevelCode = code; }
    static int LevelCode() { return c_loggingLevelCode; }
    void Rename(const char* name) { m_name = name; }

    std::vector<std::string> calls;

protected:
    void SetMsgLogName() override { m_name = "Recording Log"; }

private:
    static std::string Text(const char* text) { return text == nullptr ? "(null)" : text; }
};

TEST(IMsgLogTest, FrontEndsPassTheirLevelCodeAndArgumentsUnchanged) {
    kivtest::ScopedLoggingSwitch on(true);
    RecordingLog log;
    log.Debug("M", "m", "k");
    log.Error("m", "k");
    log.Fatal("m");
    log.Info(nullptr, nullptr, nullptr);
    log.Warn("", nullptr);
    EXPECT_EQ(log.calls, (std::vector<std::string>{"4:M|m|0|k", "3:m|1|k", "3:m|2|(U) ",
                                                   "4:(null)|(null)|3|(null)", "3:|4|(null)"}));
}

TEST(IMsgLogTest, FrontEndsDoNothingWhileLoggingIsOff) {
    kivtest::ScopedLoggingSwitch off(false);
    RecordingLog log;
    log.Debug("M", "m", "k");
    log.Debug("m", "k");
    log.Debug("m");
    log.Error("m");
    log.Fatal("m");
    log.Info("m");
    log.Warn("M", "m", "k");
    log.Warn("m");
    EXPECT_TRUE(log.calls.empty());
}

TEST(IMsgLogTest, SwitchOperationsReportTheNewValue) {
    kivtest::ScopedLoggingSwitch restore(false);
    EXPECT_TRUE(IMsgLog::TurnLoggingOn());
    EXPECT_TRUE(IMsgLog::LoggingIsOn());
    EXPECT_FALSE(IMsgLog::TurnLoggingOff());
    EXPECT_FALSE(IMsgLog::LoggingIsOn());
}

TEST(IMsgLogTest, EnabledQueriesTestTheLevelForEquality) {
    kivtest::ScopedLoggingSwitch on(true);
    const int savedCode = RecordingLog::LevelCode();
    RecordingLog log;
    const struct {
        int code;
        bool debug;
        bool info;
    } cases[] = {{0, true, false}, {3, false, true}, {4, false, false}, {1, false, false},
                 {2, false, false}, {-1, false, false}};
    for (const auto& level : cases) {
        RecordingLog::SetLevelCode(level.code);
        EXPECT_EQ(log.DebugEnabled(), level.debug) << level.code;
        EXPECT_EQ(log.InfoEnabled(), level.info) << level.code;
    }
    RecordingLog::SetLevelCode(0);
    IMsgLog::TurnLoggingOff();
    EXPECT_FALSE(log.DebugEnabled());
    RecordingLog::SetLevelCode(savedCode);
}

TEST(IMsgLogTest, CopiesTakeNamesAndAcceptingState) {
    RecordingLog original;
    original.Rename("original");
    RecordingLog copy(original);
    EXPECT_STREQ(copy.GetName(), "original");
    EXPECT_STREQ(copy.GetLogFileName(), "");
    EXPECT_TRUE(copy.CanLogMessages());

    RecordingLog other;
    other = original;
    EXPECT_STREQ(other.GetName(), "original");
    other = other;
    EXPECT_STREQ(other.GetName(), "original");
}

// The level is one of the name constants themselves, never a copy, the same
// for every log, and agrees with the configured code.
TEST(IMsgLogTest, ReportsTheConfiguredLevelConstantAndItsCode) {
    RecordingLog log;
    IMsgLog* console = SysOutMsgLog::NewSysOutMsgLog();
    const char* const names[] = {IMsgLog::MsgLevel::LOGGING_DEBUG, IMsgLog::MsgLevel::LOGGING_ERROR,
                                 IMsgLog::MsgLevel::LOGGING_FATAL, IMsgLog::MsgLevel::LOGGING_INFO,
                                 IMsgLog::MsgLevel::LOGGING_WARN};
    const char* level = log.GetLoggingLevel();
    const auto found = std::find(std::begin(names), std::end(names), level);
    ASSERT_NE(found, std::end(names));
    EXPECT_EQ(found - std::begin(names), RecordingLog::LevelCode());
    EXPECT_EQ(console->GetLoggingLevel(), level);
    MsgLogFactory::DeleteMsgLog(&console);
}

TEST(CurrentDateTimeTest, HasTheFixedLayout) {
    const std::string stamp = IMsgLog::CurrentDateTime();
    ASSERT_EQ(stamp.size(), 23u);
    EXPECT_TRUE(std::regex_match(stamp, std::regex(R"( \[\d{4}/\d\d/\d\d \d\d:\d\d:\d\d\] )")))
        << stamp;
}

}  // namespace
