// Writes that the system refuses, made real with a file-size limit.
#include <gtest/gtest.h>
#include <logging/MsgLog.h>
#include <sys/resource.h>

#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "logs/FileMsgLog.h"
#include "platform/Platform.h"
#include "support/MessageMatching.h"
#include "support/ScopedLoggingSwitch.h"
#include "support/TempDirectory.h"

using namespace ORVA::KIV::System::Utility::Logging;

namespace {

// Lowers the process's file-size limit and restores it. SIGXFSZ keeps its
// default action, which ends the process: the library must never raise it.
class ScopedFileSizeLimit {
public:
    explicit ScopedFileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit lowered = m_saved;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~ScopedFileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_saved); }

private:
    rlimit m_saved{};
};

// A write that stores part of a message leaves a fragment; the next message
// starts with a line end of its own, so it and every later one begin a line.
TEST(FileWriteFailureTest, AFragmentStandsAloneAndLoggingResumes) {
    kivtest::ScopedLoggingSwitch on(true);
    kivtest::TempDirectory directory;
    const std::string path = directory.File("limited.log");
    IMsgLog* log = MsgLogFactory::NewMsgLog(IMsgLog::MSG_LOG_PLAIN_FILE, path.c_str());
    log->Info("M", "before the limit", "(U) ");
    {
        ScopedFileSizeLimit limit(kivtest::ReadFile(path).size() + 10);
        for (int i = 0; i < 5; ++i) log->Info("M", "refused by the limit", "(U) ");
    }
    log->Info("M", "after the limit", "(U) ");
    log->Info("M", "and the next", "(U) ");
    EXPECT_TRUE(log->CanLogMessages());
    EXPECT_EQ(kivtest::MaskTimeStamps(kivtest::ReadFile(path)),
              kivtest::kHeader + "\n(U) INFO [T] M:\n(U) before the limit\n\n" +
                  "\n(U) INFO " + "\n" +
                  "\n(U) INFO [T] M:\n(U) after the limit\n\n" +
                  "\n(U) INFO [T] M:\n(U) and the next\n\n");
    MsgLogFactory::DeleteMsgLog(&log);
}

// A program started under "ulimit -f 8" keeps running: the messages past the
// limit are lost, every message before it is whole, and at most one
// fragment ends the file. Runs in a child process, whose death would be the
// failure.
TEST(FileWriteFailureTest, ALimitInForceAtOpeningNeverEndsTheProcess) {
    kivtest::ScopedLoggingSwitch on(true);
    kivtest::TempDirectory directory;
    const std::string path = directory.File("limited.log");
    constexpr rlim_t kLimit = 8192;
    const std::string text(100, 'x');
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ScopedFileSizeLimit limit(kLimit);
        IMsgLog* log = MsgLogFactory::NewMsgLog(IMsgLog::MSG_LOG_PLAIN_FILE, path.c_str());
        for (int i = 0; i < 200; ++i) log->Info("M", text.c_str(), "(U) ");
        const bool stillOpen = log->CanLogMessages();
        MsgLogFactory::DeleteMsgLog(&log);
        std::_Exit(stillOpen ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);

    const std::string content = kivtest::MaskTimeStamps(kivtest::ReadFile(path));
    EXPECT_LE(content.size(), kLimit);
    const std::string message = "\n(U) INFO [T] M:\n(U) " + text + "\n\n";
    ASSERT_EQ(content.compare(0, kivtest::kHeader.size(), kivtest::kHeader), 0);
    size_t at = kivtest::kHeader.size();
    while (content.compare(at, message.size(), message) == 0) at += message.size();
    EXPECT_GT(at, kivtest::kHeader.size());
    EXPECT_LT(content.size() - at, message.size()) << "more than one fragment";
    EXPECT_EQ(content.substr(at), message.substr(0, content.size() - at));
}

// Eight threads log through a file-size limit, so that the write the system
// cuts short holds a batch of several threads' messages: what went before
// the cut is whole and in each thread's order, the one cut message leaves at
// most a fragment, closed by a line end once the limit is gone, and every
// message after that is whole.
TEST(FileWriteFailureTest, AWriteCutShortInsideABatchLeavesOneFragmentThatStandsAlone) {
    kivtest::ScopedLoggingSwitch on(true);
    kivtest::TempDirectory directory;
    const std::string path = directory.File("limited.log");
    constexpr int kThreads = 8;
    constexpr int kBefore = 200;
    constexpr int kAfter = 50;
    const std::string filler(100, 'x');
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The limit is in force when the file opens, so that every write
        // keeps SIGXFSZ away, even one that starts exactly at the limit.
        std::optional<ScopedFileSizeLimit> limit(20000);
        IMsgLog* log = MsgLogFactory::NewMsgLog(IMsgLog::MSG_LOG_PLAIN_FILE, path.c_str());
        const auto logFromThreads = [&](int count, const char* phase) {
            std::vector<std::thread> threads;
            for (int t = 0; t < kThreads; ++t) {
                threads.emplace_back([&, t] {
                    for (int i = 0; i < count; ++i) {
                        const std::string text = phase + std::to_string(t) + " " + std::to_string(i) + " " + filler;
                        log->Info("M", text.c_str(), "(U) ");
                    }
                });
            }
            for (std::thread& thread : threads) thread.join();
        };
        logFromThreads(kBefore, "before ");
        limit.reset();
        logFromThreads(kAfter, "after ");
        MsgLogFactory::DeleteMsgLog(&log);
        std::_Exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);

    const std::string content = kivtest::MaskTimeStamps(kivtest::ReadFile(path));
    ASSERT_EQ(content.compare(0, kivtest::kHeader.size(), kivtest::kHeader), 0);
    static const std::regex message(R"(\n\(U\) INFO \[T\] M:\n\(U\) (before|after) (\d) (\d+) x{100}\n\n)");
    const auto wholeAt = [&](size_t at, std::smatch& match) {
        return std::regex_search(content.cbegin() + static_cast<std::ptrdiff_t>(at), content.cend(), match, message,
                                 std::regex_constants::match_continuous);
    };
    std::map<std::string, std::vector<int>> next;
    int before = 0;
    int after = 0;
    int fragments = 0;
    const auto count = [&](const std::smatch& match) {
        std::vector<int>& numbers = next[match[1].str()];
        numbers.resize(kThreads);
        const int thread = std::stoi(match[2].str());
        EXPECT_GE(std::stoi(match[3].str()), numbers[static_cast<size_t>(thread)]) << "out of order";
        numbers[static_cast<size_t>(thread)] = std::stoi(match[3].str()) + 1;
        ++(match[1] == "before" ? before : after);
    };
    size_t at = kivtest::kHeader.size();
    while (at < content.size()) {
        std::smatch match;
        if (wholeAt(at, match)) {
            count(match);
            at += static_cast<size_t>(match.length());
            continue;
        }
        // A fragment that lacked only its last line end, closed by one, reads
        // as a whole message that took the next one's first line end.
        const std::string lineEndBack = "\n" + content.substr(at, 512);
        if (content[at - 1] == '\n' && std::regex_search(lineEndBack, match, message,
                                                          std::regex_constants::match_continuous)) {
            ++fragments;
            count(match);
            at += static_cast<size_t>(match.length()) - 1;
            continue;
        }
        // A fragment: shorter than a message, then the line end that closes
        // it, then a whole message.
        ++fragments;
        ASSERT_EQ(after, 0) << "a fragment after the limit was gone, at " << at;
        size_t end = at + 1;
        while (end < content.size() && !(content[end - 1] == '\n' && wholeAt(end, match))) ++end;
        ASSERT_LT(end, content.size()) << "no whole message after the fragment";
        EXPECT_LE(end - at, static_cast<size_t>(match.length())) << "more than a fragment";
        at = end;
    }
    EXPECT_GT(before, 0);
    EXPECT_LE(fragments, 1);
    EXPECT_EQ(after, kThreads * kAfter);
}

// With a size limit above the file-size limit, the system logger's file
// moves on before the system would refuse it: nothing is lost.
TEST(FileWriteFailureTest, ASizeLimitAboveTheFileSizeLimitLosesNothing) {
    kivtest::ScopedLoggingSwitch on(true);
    kivtest::TempDirectory directory;
    constexpr rlim_t kLimit = 20000;
    const std::string text(100, 'x');
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ScopedFileSizeLimit limit(kLimit);
        DiskLimits limits;
        limits.maxFileBytes = 1 << 20;
        IMsgLog* log = new FileMsgLog(directory.DirectoryText(), limits);
        // From eight threads, so that batches cross the limit too.
        std::vector<std::thread> threads;
        for (int t = 0; t < 8; ++t) {
            threads.emplace_back([&] {
                for (int i = 0; i < 125; ++i) log->Info("M", text.c_str(), "(U) ");
            });
        }
        for (std::thread& thread : threads) thread.join();
        FileMsgLog::DeleteFileMsgLog(&log);
        std::_Exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    size_t messages = 0;
    for (const auto& entry : std::filesystem::directory_iterator(directory.Path())) {
        const std::string content = kivtest::ReadFile(entry.path().string());
        EXPECT_LE(content.size(), kLimit);
        messages += kivtest::CountOccurrences(content, "(U) " + text + "\n\n");
    }
    EXPECT_EQ(messages, 1000u);
}

// A new file of a rollover that cannot hold its banner (made real with a
// file-size limit lowered after the log opened) is taken away again: every
// log file left starts with the banner, and once the limit is gone the next
// rollover makes one that does.
TEST(FileWriteFailureTest, ARolloverFileWithoutRoomForItsBannerIsNotKept) {
    kivtest::ScopedLoggingSwitch on(true);
    kivtest::TempDirectory directory;
    const std::string text(1000, 'x');
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The limit is lowered after the log noted the process's limit, so
        // the signal is this test's own doing; what is tested is the banner.
        std::signal(SIGXFSZ, SIG_IGN);
        DiskLimits limits;
        limits.maxFileBytes = 64 << 10;
        IMsgLog* log = new FileMsgLog(directory.DirectoryText(), limits);
        // A banner and 62 messages of 1041 bytes: the next one moves on.
        for (int i = 0; i < 62; ++i) log->Info("M", text.c_str(), "(U) ");
        {
            ScopedFileSizeLimit limit(16);
            for (int i = 0; i < 10; ++i) log->Info("M", text.c_str(), "(U) ");
        }
        for (int i = 0; i < 200; ++i) log->Info("M", text.c_str(), "(U) ");
        FileMsgLog::DeleteFileMsgLog(&log);
        std::_Exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(directory.Path())) {
        ++files;
        EXPECT_EQ(kivtest::MaskTimeStamps(kivtest::ReadFile(entry.path().string())).rfind(kivtest::kHeader, 0), 0u)
            << entry.path();
    }
    EXPECT_GE(files, 3u);
}

// Standard output redirected to a file under the limit: the console log
// loses what is past it and the process keeps running, as with a file log.
TEST(FileWriteFailureTest, AConsoleRedirectedToALimitedFileNeverEndsTheProcess) {
    kivtest::ScopedLoggingSwitch on(true);
    kivtest::TempDirectory directory;
    const std::string path = directory.File("stdout.log");
    const std::string text(100, 'x');
    std::fflush(stdout);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (file < 0 || dup2(file, 1) < 0) std::_Exit(2);
        ScopedFileSizeLimit limit(8192);
        // What a process started under "ulimit -f" finds when the library loads.
        Platform::NoteFileSizeLimit();
        IMsgLog* console = SysOutMsgLog::NewSysOutMsgLog();
        for (int i = 0; i < 300; ++i) console->Info("M", text.c_str(), "(U) ");
        SysOutMsgLog::WriteMessage(text.c_str());
        MsgLogFactory::DeleteMsgLog(&console);
        std::_Exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(kivtest::ReadFile(path).size(), 8192U);
}

}  // namespace
