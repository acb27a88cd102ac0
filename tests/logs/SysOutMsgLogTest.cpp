#include <gtest/gtest.h>
#include <logging/MsgLog.h>

#include <chrono>
#include <condition_variable>
#include <iostream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/MessageMatching.h"
#include "support/ScopedLoggingSwitch.h"
#include "support/StdoutCapture.h"

using namespace ORVA::KIV::System::Utility::Logging;
using kivtest::MaskTimeStamps;

namespace {

class SysOutMsgLogTest : public ::testing::Test {
protected:
    void SetUp() override { m_log = SysOutMsgLog::NewSysOutMsgLog(); }
    void TearDown() override { MsgLogFactory::DeleteMsgLog(&m_log); }

    IMsgLog* m_log = nullptr;
    kivtest::ScopedLoggingSwitch m_on{true};
};

TEST_F(SysOutMsgLogTest, WritesHeadAndBodyLinesBetweenEmptyLines) {
    kivtest::StdoutCapture capture;
    m_log->Warn("Reader::Open", "file missing", "(U) ");
    m_log->Info("ready");
    m_log->Error("no method", "(S) ");
    EXPECT_EQ(MaskTimeStamps(capture.Finish()),
              "\n(U) WARN [T] Reader::Open:\n(U) file missing\n\n"
              "\n(U) INFO [T] unknown method:\n(U) ready\n\n"
              "\n(U) ERROR [T] unknown method:\n(S) no method\n\n");
}

TEST_F(SysOutMsgLogTest, SubstitutesMissingMethodAndMarking) {
    kivtest::StdoutCapture capture;
    m_log->LogMessage(nullptr, "a", 2, nullptr);
    m_log->LogMessage("", "b", 0, "");
    EXPECT_EQ(MaskTimeStamps(capture.Finish()),
              "\n(U) FATAL [T] unknown method:\na\n\n"
              "\n(U) DEBUG [T] unknown method:\nb\n\n");
}

TEST_F(SysOutMsgLogTest, PrintsCodesOutsideTheTableAsDebug) {
    kivtest::StdoutCapture capture;
    m_log->LogMessage("M", "nine", 9, "");
    m_log->LogMessage("minus one", -1, "");
    EXPECT_EQ(MaskTimeStamps(capture.Finish()),
              "\n(U) DEBUG [T] M:\nnine\n\n\n(U) DEBUG [T] unknown method:\nminus one\n\n");
}

TEST_F(SysOutMsgLogTest, DropsNullAndEmptyMessagesEntirely) {
    kivtest::StdoutCapture capture;
    m_log->Info("M", nullptr, "(U) ");
    m_log->Info("M", "", "(U) ");
    m_log->Info(nullptr);
    m_log->Debug("", "(U) ");
    EXPECT_EQ(capture.Finish(), "");
}

TEST_F(SysOutMsgLogTest, RawFormIgnoresTheSwitchAndAddsNoHead) {
    IMsgLog::TurnLoggingOff();
    kivtest::StdoutCapture capture;
    m_log->Warn("M", "silenced", "(U) ");
    m_log->LogMessage("raw", "(U) ");
    m_log->LogMessage("", nullptr);
    m_log->LogMessage(nullptr, "(U) ");
    SysOutMsgLog::WriteMessage("static");
    SysOutMsgLog::WriteMessage("");
    SysOutMsgLog::WriteMessage(nullptr);
    EXPECT_EQ(capture.Finish(), "\n(U) raw\n\n\n\nstatic\n\n\n");
}

TEST_F(SysOutMsgLogTest, AFailedEarlierWriteDoesNotSilenceTheConsole) {
    kivtest::StdoutCapture capture;
    std::cout.setstate(std::ios::badbit);
    m_log->Info("M", "after a failed write", "(U) ");
    EXPECT_EQ(MaskTimeStamps(capture.Finish()), "\n(U) INFO [T] M:\n(U) after a failed write\n\n");
}

TEST_F(SysOutMsgLogTest, DescribesItself) {
    EXPECT_STREQ(m_log->GetName(), "Console Output Message Log");
    EXPECT_STREQ(m_log->GetLogFileName(), "");
    EXPECT_EQ(m_log->MsgLogType(), IMsgLog::MSG_LOG_CONSOLE);
    EXPECT_TRUE(m_log->CanLogMessages());
    m_log->Close();
    EXPECT_TRUE(m_log->CanLogMessages());
}

TEST(DeleteSysOutMsgLogTest, ClearsThePointerAndAcceptsNull) {
    EXPECT_TRUE(SysOutMsgLog::DeleteSysOutMsgLog(nullptr));
    SysOutMsgLog* none = nullptr;
    EXPECT_TRUE(SysOutMsgLog::DeleteSysOutMsgLog(&none));

    auto* console = static_cast<SysOutMsgLog*>(SysOutMsgLog::NewSysOutMsgLog());
    ASSERT_NE(console, nullptr);
    EXPECT_TRUE(SysOutMsgLog::DeleteSysOutMsgLog(&console));
    EXPECT_EQ(console, nullptr);
}

// A console log that claims another kind must not be deleted as a console.
class DisguisedConsole : public SysOutMsgLog {
public:
    DisguisedConsole() = default;
    SupportedMsgLog MsgLogType() const override { return MSG_LOG_PLAIN_FILE; }
    static void Destroy(DisguisedConsole* log) { delete log; }
};

TEST(DeleteSysOutMsgLogTest, RefusesALogOfAnotherKind) {
    DisguisedConsole* disguised = new DisguisedConsole();
    SysOutMsgLog* pointer = disguised;
    EXPECT_FALSE(SysOutMsgLog::DeleteSysOutMsgLog(&pointer));
    EXPECT_EQ(pointer, disguised);
    DisguisedConsole::Destroy(disguised);
}

// A stream buffer that refuses every byte, as a full pipe does.
class RefusingBuffer : public std::streambuf {
protected:
    int overflow(int) override { return traits_type::eof(); }
    std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

// Standard output belongs to the application too: the library's failed
// write must not silence the application's next output, and a state the
// application set must still be there afterwards.
TEST_F(SysOutMsgLogTest, LeavesTheStreamStateAsItFoundIt) {
    RefusingBuffer refusing;
    std::stringstream kept;
    std::streambuf* const saved = std::cout.rdbuf(&refusing);
    m_log->Info("M", "refused", "(U) ");
    EXPECT_EQ(std::cout.rdstate(), std::ios::goodbit);

    std::cout.rdbuf(kept.rdbuf());
    std::cout.setstate(std::ios::failbit);
    m_log->Info("M", "written all the same", "(U) ");
    EXPECT_EQ(std::cout.rdstate(), std::ios::failbit);
    EXPECT_EQ(MaskTimeStamps(kept.str()), "\n(U) INFO [T] M:\n(U) written all the same\n\n");

    std::cout.rdbuf(saved);
    std::cout.clear();
}

// A stream buffer that holds the write of a text with "held" in it until
// let go, refuses texts with "refused" in it, and keeps every other one.
class SelectiveBuffer : public std::streambuf {
public:
    void WaitUntilHolding() {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] { return m_holding; });
    }
    void LetGo() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_letGo = true;
        m_changed.notify_all();
    }
    std::string Kept() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_kept;
    }

protected:
    int overflow(int c) override {
        const char byte = traits_type::to_char_type(c);
        return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
    }
    std::streamsize xsputn(const char* bytes, std::streamsize size) override {
        const std::string text(bytes, static_cast<size_t>(size));
        std::unique_lock<std::mutex> lock(m_mutex);
        if (text.find("held") != std::string::npos) {
            m_holding = true;
            m_changed.notify_all();
            m_changed.wait(lock, [this] { return m_letGo; });
        }
        if (text.find("refused") != std::string::npos) return 0;
        m_kept += text;
        return size;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_holding = false;
    bool m_letGo = false;
    std::string m_kept;
};

// Messages of other threads that wait behind a write go out together; one
// that the stream refuses loses only itself.
TEST_F(SysOutMsgLogTest, ARefusedMessageOfABatchLosesOnlyItself) {
    SelectiveBuffer selective;
    std::streambuf* const saved = std::cout.rdbuf(&selective);
    std::vector<std::thread> threads;
    threads.emplace_back([this] { m_log->Info("M", "held", "(U) "); });
    selective.WaitUntilHolding();
    for (const char* text : {"refused", "kept all the same"}) {
        threads.emplace_back([this, text] { m_log->Info("M", text, "(U) "); });
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
    }
    selective.LetGo();
    for (std::thread& thread : threads) thread.join();
    std::cout.rdbuf(saved);
    std::cout.clear();
    EXPECT_EQ(MaskTimeStamps(selective.Kept()),
              "\n(U) INFO [T] M:\n(U) held\n\n\n(U) INFO [T] M:\n(U) kept all the same\n\n");
}

}  // namespace
