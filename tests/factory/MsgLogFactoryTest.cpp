#include <gtest/gtest.h>
#include <logging/MsgLog.h>

#include "support/TempDirectory.h"

using namespace ORVA::KIV::System::Utility::Logging;

namespace {

TEST(NewMsgLogTest, MakesConsoleAndFileLogsOnly) {
    kivtest::TempDirectory directory;
    IMsgLog* console = MsgLogFactory::NewMsgLog(IMsgLog::MSG_LOG_CONSOLE, nullptr);
    ASSERT_NE(console, nullptr);
    EXPECT_EQ(console->MsgLogType(), IMsgLog::MSG_LOG_CONSOLE);

    const std::string path = directory.File("factory.log");
    IMsgLog* file = MsgLogFactory::NewMsgLog(IMsgLog::MSG_LOG_PLAIN_FILE, path.c_str());
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->MsgLogType(), IMsgLog::MSG_LOG_PLAIN_FILE);
    EXPECT_TRUE(file->CanLogMessages());

    EXPECT_EQ(MsgLogFactory::NewMsgLog(IMsgLog::MSG_LOG_GROUP, nullptr), nullptr);
    // 2 is the one value of the enumeration's range that names no kind.
    EXPECT_EQ(MsgLogFactory::NewMsgLog(static_cast<IMsgLog::SupportedMsgLog>(2), path.c_str()),
              nullptr);

    EXPECT_TRUE(MsgLogFactory::DeleteMsgLog(&console));
    EXPECT_EQ(console, nullptr);
    EXPECT_TRUE(MsgLogFactory::DeleteMsgLog(&file));
    EXPECT_EQ(file, nullptr);
}

TEST(DeleteMsgLogTest, HasNothingToDeleteForNull) {
    EXPECT_TRUE(MsgLogFactory::DeleteMsgLog(nullptr));
    IMsgLog* none = nullptr;
    EXPECT_TRUE(MsgLogFactory::DeleteMsgLog(&none));
    EXPECT_EQ(none, nullptr);
}

// A log of the caller's own that claims to be a group, or a console or file
// log it is not: the factory must leave it alone.
class ForeignLog : public IMsgLog {
public:
    explicit ForeignLog(SupportedMsgLog kind) : m_kind(kind) {}
    ~ForeignLog() override = default;
    SupportedMsgLog MsgLogType() const override { return m_kind; }
    void LogMessage(const char*, int, const char*) override {}
    void LogMessage(const char*, const char*, int, const char*) override {}
    void LogMessage(const char*, const char*) override {}

protected:
    void SetMsgLogName() override {}

private:
    SupportedMsgLog m_kind;
};

TEST(DeleteMsgLogTest, RefusesGroupsAndLogsItDidNotMake) {
    for (IMsgLog::SupportedMsgLog kind :
         {IMsgLog::MSG_LOG_GROUP, IMsgLog::MSG_LOG_CONSOLE, IMsgLog::MSG_LOG_PLAIN_FILE}) {
        ForeignLog foreign(kind);
        IMsgLog* pointer = &foreign;
        EXPECT_FALSE(MsgLogFactory::DeleteMsgLog(&pointer)) << kind;
        EXPECT_EQ(pointer, &foreign);
    }
}

}  // namespace
