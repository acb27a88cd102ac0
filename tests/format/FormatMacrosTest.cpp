#include <gtest/gtest.h>
#include <logging/MsgLogFormat.h>

#include <string>
#include <vector>

#include "support/MessageMatching.h"
#include "support/ScopedLoggingSwitch.h"
#include "support/ScopedThreshold.h"
#include "support/StdoutCapture.h"
#include "support/TempDirectory.h"

using namespace ORVA::KIV::System::Utility::Logging;
using kivtest::MaskTimeStamps;
using kivtest::ReadFile;

namespace {

// A user's own log that overrides the front ends themselves, so it sees
// exactly what a macro hands to the virtual interface.
class FrontEndLog : public IMsgLog {
public:
    FrontEndLog() { SetMsgLogName(); }
    ~FrontEndLog() override = default;

    SupportedMsgLog MsgLogType() const override { return MSG_LOG_CONSOLE; }
    void LogMessage(const char*, int, const char*) override {}
    void LogMessage(const char*, const char*, int, const char*) override {}
    void LogMessage(const char*, const char*) override {}
    void Debug(const char* method, const char* message, const char* marking) override {
        Record("DEBUG", method, message, marking);
    }
    void Info(const char* method, const char* message, const char* marking) override {
        Record("INFO", method, message, marking);
    }
    void Warn(const char* method, const char* message, const char* marking) override {
        Record("WARN", method, message, marking);
    }
    void Error(const char* method, const char* message, const char* marking) override {
        Record("ERROR", method, message, marking);
    }
    void Fatal(const char* method, const char* message, const char* marking) override {
        Record("FATAL", method, message, marking);
    }
    void StopAccepting() { m_canLogMessages = false; }

    std::vector<std::string> calls;

protected:
    void SetMsgLogName() override { m_name = "Front End Log"; }

private:
    void Record(const char* level, const char* method, const char* message, const char* marking) {
        calls.push_back(std::string(level) + "|" + method + "|" + message + "|" + marking);
    }
};

}  // namespace

// Call sites of every shape whose method names the tests read back.
namespace shop {

template <class T>
struct Box {
    void Put(IMsgLog* log, const T& item) { KIV_DEBUG(log, "(U) ", "put {}", item); }
};

class OrderJob {
public:
    explicit OrderJob(IMsgLog* log) { KIV_INFO(log, "(U) ", "job made"); }
    void Process(IMsgLog* log, int id) {
        const auto reject = [&] { KIV_ERROR(log, "(U) ", "order {} rejected: {}", id, "no stock"); };
        reject();
    }
    bool operator<(const OrderJob&) const {
        KIV_FATAL(m_log, "(S) ", "compared");
        return false;
    }
    void Watch(IMsgLog* log) { m_log = log; }

private:
    IMsgLog* m_log = nullptr;
};

void Restock(IMsgLog* log) {
    KIV_WARN(log, "(U) ", "restocked");
}

}  // namespace shop

namespace {

TEST(FormatMacrosTest, EachMacroCallsItsFrontEndWithTheCallersMethodName) {
    kivtest::ScopedLoggingSwitch on(true);
    FrontEndLog log;
    shop::Box<std::string>{}.Put(&log, "apples");
    shop::OrderJob job(&log);
    job.Process(&log, 17);
    job.Watch(&log);
    (void)(job < job);
    shop::Restock(&log);
    KIV_WARN_AT(&log, "Generated::Step", "(U) ", "{:>4}|{:.2f}", 42, 2.5);
    EXPECT_EQ(log.calls, (std::vector<std::string>{
                             "DEBUG|shop::Box::Put|put apples|(U) ",
                             "INFO|shop::OrderJob::OrderJob|job made|(U) ",
                             "ERROR|shop::OrderJob::Process|order 17 rejected: no stock|(U) ",
                             "FATAL|shop::OrderJob::operator<|compared|(S) ",
                             "WARN|shop::Restock|restocked|(U) ",
                             "WARN|Generated::Step|  42|2.50|(U) ",
                         }));
}

TEST(FormatMacrosTest, ArgumentsAreNotEvaluatedWhenNothingWouldBeWritten) {
    int evaluations = 0;
    const auto counted = [&evaluations] { return ++evaluations; };
    FrontEndLog log;
    FrontEndLog* none = nullptr;
    {
        kivtest::ScopedLoggingSwitch off(false);
        KIV_WARN(&log, "(U) ", "{}", counted());
        KIV_ERROR_AT(&log, "M", "(U) ", "{}", counted());
    }
    kivtest::ScopedLoggingSwitch on(true);
    KIV_WARN(none, "(U) ", "{}", counted());
    KIV_INFO(nullptr, "(U) ", "{}", counted());
    const MsgLogPtr empty;
    KIV_FATAL(empty, "(U) ", "{}", counted());
    log.StopAccepting();
    KIV_DEBUG(&log, "(U) ", "{}", counted());
    EXPECT_EQ(evaluations, 0);
    EXPECT_TRUE(log.calls.empty());

    FrontEndLog open;
    KIV_DEBUG(&open, "(U) ", "{}", counted());
    EXPECT_EQ(evaluations, 1);
}

// Below the severity threshold a macro evaluates nothing; KIV_ENABLED
// answers the same question for hand-written code.
TEST(FormatMacrosTest, BelowTheThresholdNothingIsEvaluated) {
    kivtest::ScopedLoggingSwitch on(true);
    kivtest::ScopedThreshold error(MsgSeverity::Error);
    FrontEndLog log;
    int evaluations = 0;
    KIV_DEBUG(&log, "(U) ", "{}", ++evaluations);
    KIV_INFO(&log, "(U) ", "{}", ++evaluations);
    KIV_WARN_AT(&log, "M", "(U) ", "{}", ++evaluations);
    EXPECT_EQ(evaluations, 0);
    EXPECT_FALSE(KIV_ENABLED(&log, Warn));
    EXPECT_TRUE(KIV_ENABLED(&log, Error));
    KIV_ERROR(&log, "(U) ", "{}", ++evaluations);
    KIV_FATAL_AT(&log, "M", "(U) ", "{}", ++evaluations);
    EXPECT_EQ(evaluations, 2);
    EXPECT_EQ(log.calls.size(), 2U);

    const MsgLogPtr empty;
    EXPECT_FALSE(KIV_ENABLED(empty, Fatal));
    EXPECT_FALSE(KIV_ENABLED(nullptr, Fatal));
    kivtest::ScopedLoggingSwitch off(false);
    EXPECT_FALSE(KIV_ENABLED(&log, Fatal));
}

TEST(FormatMacrosTest, AClosedFileLogEvaluatesNothing) {
    kivtest::ScopedLoggingSwitch on(true);
    kivtest::TempDirectory directory;
    MsgLogPtr log = MakeMsgLog(IMsgLog::MSG_LOG_PLAIN_FILE, directory.File("closed.log").c_str());
    log->Close();
    int evaluations = 0;
    KIV_WARN(log, "(U) ", "{}", ++evaluations);
    EXPECT_EQ(evaluations, 0);
}

// A value whose formatter counts how often it runs.
struct Audited {
    int* formatted;
};

}  // namespace

#if defined(__cpp_lib_format)
template <>
struct std::formatter<Audited> : std::formatter<std::string_view> {
    auto format(const Audited& value, std::format_context& context) const {
        ++*value.formatted;
        return std::formatter<std::string_view>::format(std::string(2000, 'a'), context);
    }
};
#else
template <>
struct fmt::formatter<Audited> : fmt::formatter<fmt::string_view> {
    auto format(const Audited& value, fmt::format_context& context) const {
        ++*value.formatted;
        return fmt::formatter<fmt::string_view>::format(std::string(2000, 'a'), context);
    }
};
#endif

namespace {

// Arguments are forwarded as given (views must come as rvalues), and a long
// text is formatted once, so a formatter's side effects happen once.
TEST(FormatMacrosTest, ForwardsArgumentsAndFormatsOnce) {
    kivtest::ScopedLoggingSwitch on(true);
    FrontEndLog log;
    int formatted = 0;
    KIV_INFO(&log, "(U) ", "{}", Audited{&formatted});
    EXPECT_EQ(formatted, 1);
    ASSERT_EQ(log.calls.size(), 1U);
    EXPECT_EQ(log.calls[0], "INFO|FormatMacrosTest_ForwardsArgumentsAndFormatsOnce_Test::TestBody|" +
                                std::string(2000, 'a') + "|(U) ");
#if !defined(__cpp_lib_format)
    const std::vector<int> items = {1, 2, 3};
    KIV_INFO(&log, "(U) ", "items {}", fmt::join(items, ", "));
    EXPECT_EQ(log.calls.back(), "INFO|FormatMacrosTest_ForwardsArgumentsAndFormatsOnce_Test::TestBody|items 1, 2, 3|(U) ");
#endif
}

TEST(FormatMacrosTest, AFormattingErrorDropsTheMessage) {
    kivtest::ScopedLoggingSwitch on(true);
    FrontEndLog log;
    // A negative dynamic width passes the compile-time check and fails when
    // formatted.
    EXPECT_NO_THROW(KIV_WARN(&log, "(U) ", "{:{}}", 1, -1));
    EXPECT_TRUE(log.calls.empty());
}

// The file a hand-written call and a macro each write, time stamps masked.
class FormatFileTest : public ::testing::Test {
protected:
    MsgLogPtr NewLog(const char* name) {
        return MakeMsgLog(IMsgLog::MSG_LOG_PLAIN_FILE, m_directory.File(name).c_str());
    }
    std::string Content(const char* name) const { return MaskTimeStamps(ReadFile(m_directory.File(name))); }

    kivtest::TempDirectory m_directory;
    kivtest::ScopedLoggingSwitch m_on{true};
};

TEST_F(FormatFileTest, WritesTheBytesOfTheHandWrittenCall) {
    MsgLogPtr byHand = NewLog("hand.log");
    MsgLogPtr byMacro = NewLog("macro.log");
    const std::string reason = "no stock";
    byHand->Warn("shop::OrderJob::Process", "order 17 rejected: no stock", "(U) ");
    byHand->Info("Report::Print", "3 of 4 {done}", "");
    KIV_WARN_AT(byMacro, "shop::OrderJob::Process", "(U) ", "order {} rejected: {}", 17, reason);
    KIV_INFO_AT(byMacro, "Report::Print", "", "{} of {} {{done}}", 3, 4);
    byHand.reset();
    byMacro.reset();
    EXPECT_EQ(Content("macro.log"), Content("hand.log"));
    EXPECT_EQ(kivtest::CountOccurrences(Content("macro.log"), "order 17 rejected: no stock"), 1U);
}

TEST_F(FormatFileTest, WritesLongTextsWhole) {
    MsgLogPtr byHand = NewLog("hand.log");
    MsgLogPtr byMacro = NewLog("macro.log");
    // Either side of the stack buffer's room, and far beyond it.
    for (const size_t size : {1022U, 1023U, 1024U, 1025U, 100000U}) {
        const std::string text(size - 1, 'x');
        byHand->Error("Bulk::Load", (text + "!").c_str(), "(U) ");
        KIV_ERROR_AT(byMacro, "Bulk::Load", "(U) ", "{}!", text);
    }
    byHand.reset();
    byMacro.reset();
    EXPECT_EQ(Content("macro.log"), Content("hand.log"));
    EXPECT_EQ(kivtest::CountOccurrences(Content("macro.log"), std::string(99999, 'x') + "!"), 1U);
}

TEST(FormatConsoleTest, WritesToTheConsoleLikeTheFrontEnd) {
    kivtest::ScopedLoggingSwitch on(true);
    MsgLogPtr console = MakeMsgLog(IMsgLog::MSG_LOG_CONSOLE, nullptr);
    kivtest::StdoutCapture capture;
    console->Fatal("Reader::Open", "file missing: a.txt", "(U) ");
    KIV_FATAL_AT(console, "Reader::Open", "(U) ", "file missing: {}", "a.txt");
    const std::string output = MaskTimeStamps(capture.Finish());
    const std::string message = "\n(U) FATAL [T] Reader::Open:\n(U) file missing: a.txt\n\n";
    EXPECT_EQ(output, message + message);
}

}  // namespace
