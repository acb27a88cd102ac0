// Writes that the system refuses, made real with a file-size limit.
#include <gtest/gtest.h>
#include <logging/MsgLog.h>
#include <sys/resource.h>

#include <csignal>
#include <string>

#include "support/MessageMatching.h"
#include "support/ScopedLoggingSwitch.h"
#include "support/TempDirectory.h"

using namespace ORVA::KIV::System::Utility::Logging;

namespace {

// Lowers the process's file-size limit, with SIGXFSZ ignored so that an
// oversized write fails instead of ending the process; restores both.
class ScopedFileSizeLimit {
public:
    explicit ScopedFileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_savedHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = m_saved;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~ScopedFileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_savedHandler);
    }

private:
    rlimit m_saved{};
    void (*m_savedHandler)(int) = nullptr;
};

TEST(FileWriteFailureTest, LoggingResumesOnceTheFileAcceptsDataAgain) {
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
    EXPECT_TRUE(log->CanLogMessages());
    const std::string content = kivtest::MaskTimeStamps(kivtest::ReadFile(path));
    EXPECT_NE(content.find("\n(U) INFO [T] M:\n(U) before the limit\n\n"), std::string::npos);
    EXPECT_NE(content.find("\n(U) INFO [T] M:\n(U) after the limit\n\n"), std::string::npos);
    EXPECT_EQ(kivtest::CountOccurrences(content, "refused by the limit"), 0u);
    MsgLogFactory::DeleteMsgLog(&log);
}

}  // namespace
