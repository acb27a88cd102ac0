// Several threads writing through console and file logs at once: every
// message must arrive whole, once, and each thread's messages in the order
// it wrote them, however the threads' messages were batched.
#include <gtest/gtest.h>
#include <logging/MsgLog.h>

#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "support/MessageMatching.h"
#include "support/PlatformFacts.h"
#include "support/ScopedLoggingSwitch.h"
#include "support/StdoutCapture.h"
#include "support/TempDirectory.h"

using namespace ORVA::KIV::System::Utility::Logging;

namespace {

constexpr int kThreads = 8;
constexpr int kMessagesPerThread = 500;

// Checks that the output is nothing but whole messages (after the prefix)
// and that each thread's messages all arrived, in order.
void ExpectWholeMessagesOnly(const std::string& output, const std::string& prefix) {
    ASSERT_EQ(output.compare(0, prefix.size(), prefix), 0);
    const std::string messages = kivtest::MaskTimeStamps(output.substr(prefix.size()));
    static const std::regex message(
        R"(\n\(U\) INFO \[T\] Writer::Run:\n\(U\) thread (\d+) message (\d+)\n\n)");
    std::vector<int> next(kThreads, 0);
    size_t consumed = 0;
    for (std::sregex_iterator it(messages.begin(), messages.end(), message), end; it != end; ++it) {
        ASSERT_EQ(static_cast<size_t>(it->position()), consumed) << "torn or foreign bytes";
        consumed += static_cast<size_t>(it->length());
        const size_t thread = std::stoul((*it)[1].str());
        ASSERT_LT(thread, next.size());
        EXPECT_EQ(std::stoi((*it)[2].str()), next[thread]++) << "thread " << thread << " out of order";
    }
    EXPECT_EQ(consumed, messages.size());
    for (const int count : next) EXPECT_EQ(count, kMessagesPerThread);
}

void WriteFromThreads(const std::vector<IMsgLog*>& logs) {
    std::vector<std::thread> writers;
    for (int t = 0; t < kThreads; ++t) {
        writers.emplace_back([&logs, t] {
            IMsgLog* log = logs[static_cast<size_t>(t) % logs.size()];
            for (int m = 0; m < kMessagesPerThread; ++m) {
                const std::string text =
                    "thread " + std::to_string(t) + " message " + std::to_string(m);
                log->Info("Writer::Run", text.c_str(), "(U) ");
            }
        });
    }
    for (std::thread& writer : writers) writer.join();
}

TEST(ConcurrentWritingTest, ConsoleLogsNeverTearMessagesApart) {
    kivtest::ScopedLoggingSwitch on(true);
    std::vector<IMsgLog*> consoles{SysOutMsgLog::NewSysOutMsgLog(), SysOutMsgLog::NewSysOutMsgLog()};
    kivtest::StdoutCapture capture;
    WriteFromThreads(consoles);
    const std::string output = capture.Finish();
    for (IMsgLog*& console : consoles) MsgLogFactory::DeleteMsgLog(&console);
    ExpectWholeMessagesOnly(output, "");
}

TEST(ConcurrentWritingTest, OneFileLogNeverTearsMessagesApart) {
    kivtest::ScopedLoggingSwitch on(true);
    kivtest::TempDirectory directory;
    const std::string path = directory.File("shared.log");
    IMsgLog* log = MsgLogFactory::NewMsgLog(IMsgLog::MSG_LOG_PLAIN_FILE, path.c_str());
    WriteFromThreads({log});
    MsgLogFactory::DeleteMsgLog(&log);
    const std::string content = kivtest::FromFileText(kivtest::ReadFile(path));
    const size_t headerEnd = content.find("] \n\n") + 4;
    ExpectWholeMessagesOnly(content, content.substr(0, headerEnd));
}

}  // namespace
