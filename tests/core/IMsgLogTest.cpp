#include <gtest/gtest.h>
#include <logging/MsgLog.h>
#include <logging/MsgLogThreshold.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "support/ScopedLoggingSwitch.h"
#include "support/ScopedThreshold.h"

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

// The threshold drops the fifteen front ends below it and nothing else: raw
// text and direct LogMessage calls with a level code pass.
TEST(IMsgLogTest, TheThresholdDropsFrontEndsBelowIt) {
    kivtest::ScopedLoggingSwitch on(true);
    kivtest::ScopedThreshold warn(MsgSeverity::Warn);
    RecordingLog log;
    using FrontEnd3 = void (IMsgLog::*)(const char*, const char*, const char*);
    using FrontEnd2 = void (IMsgLog::*)(const char*, const char*);
    using FrontEnd1 = void (IMsgLog::*)(const char*);
    const struct {
        FrontEnd3 three;
        FrontEnd2 two;
        FrontEnd1 one;
        bool passes;
    } levels[] = {
        {&IMsgLog::Debug, &IMsgLog::Debug, &IMsgLog::Debug, false},
        {&IMsgLog::Info, &IMsgLog::Info, &IMsgLog::Info, false},
        {&IMsgLog::Warn, &IMsgLog::Warn, &IMsgLog::Warn, true},
        {&IMsgLog::Error, &IMsgLog::Error, &IMsgLog::Error, true},
        {&IMsgLog::Fatal, &IMsgLog::Fatal, &IMsgLog::Fatal, true},
    };
    size_t expected = 0;
    for (const auto& level : levels) {
        (log.*level.three)("M", "text", "(U) ");
        (log.*level.two)("text", "(U) ");
        (log.*level.one)("text");
        if (level.passes) expected += 3;
        EXPECT_EQ(log.calls.size(), expected);
    }
    log.LogMessage("raw", "(U) ");
    log.LogMessage("M", "coded", IMsgLog::MsgLevel::LOGGING_CODE_DEBUG, "(U) ");
    EXPECT_EQ(log.calls.size(), expected + 2);

    MsgLogThreshold::Set(MsgSeverity::Debug);
    log.Debug("M", "text", "(U) ");
    EXPECT_EQ(log.calls.size(), expected + 3);

    // Out of range counts as the nearest level: FATAL always passes.
    MsgLogThreshold::Set(static_cast<MsgSeverity>(9));
    EXPECT_EQ(MsgLogThreshold::Get(), MsgSeverity::Fatal);
    log.Fatal("M", "text", "(U) ");
    EXPECT_EQ(log.calls.size(), expected + 4);
    MsgLogThreshold::Set(static_cast<MsgSeverity>(-3));
    EXPECT_EQ(MsgLogThreshold::Get(), MsgSeverity::Debug);
}

// Counts what reaches it from any thread.
class CountingLog : public IMsgLog {
public:
    SupportedMsgLog MsgLogType() const override { return MSG_LOG_CONSOLE; }
    void LogMessage(const char*, int levelCode, const char*) override { Count(levelCode); }
    void LogMessage(const char*, const char*, int levelCode, const char*) override { Count(levelCode); }
    void LogMessage(const char*, const char*) override {}

    std::atomic<int> fatal{0};
    std::atomic<int> other{0};

protected:
    void SetMsgLogName() override {}

private:
    void Count(int levelCode) { (levelCode == MsgLevel::LOGGING_CODE_FATAL ? fatal : other)++; }
};

// The threshold changes while threads log through the front ends: no race,
// and a level that passes every threshold is never lost.
TEST(IMsgLogTest, TheThresholdChangesSafelyWhileThreadsLog) {
    kivtest::ScopedLoggingSwitch on(true);
    kivtest::ScopedThreshold restore(MsgSeverity::Debug);
    CountingLog log;
    constexpr int kRounds = 20000;
    std::atomic<bool> done{false};
    std::thread changer([&done] {
        for (int i = 0; !done.load(); ++i) MsgLogThreshold::Set(static_cast<MsgSeverity>(i % 5));
    });
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t) {
        writers.emplace_back([&log] {
            for (int i = 0; i < kRounds; ++i) {
                log.Debug("M", "d", "(U) ");
                log.Fatal("M", "f", "(U) ");
            }
        });
    }
    for (std::thread& writer : writers) writer.join();
    done = true;
    changer.join();
    EXPECT_EQ(log.fatal.load(), 4 * kRounds);
    EXPECT_LE(log.other.load(), 4 * kRounds);
}

}  // namespace
