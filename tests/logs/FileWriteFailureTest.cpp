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

}  // namespace
