#include <gtest/gtest.h>
#include <logging/MsgLog.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/MessageMatching.h"
#include "support/PlatformFacts.h"
#include "support/ScopedLoggingSwitch.h"
#include "support/TempDirectory.h"

using namespace ORVA::KIV::System::Utility::Logging;
using kivtest::AsFileText;
using kivtest::MaskTimeStamps;
using kivtest::ReadFile;
using kivtest::kHeader;

namespace {

class FileMsgLogTest : public ::testing::Test {
protected:
    IMsgLog* NewFileLog(const std::string& path) {
        return MsgLogFactory::NewMsgLog(IMsgLog::MSG_LOG_PLAIN_FILE, path.c_str());
    }
    std::string Content() const { return MaskTimeStamps(ReadFile(m_path)); }

    kivtest::TempDirectory m_directory;
    std::string m_path = m_directory.File("app.log");
    kivtest::ScopedLoggingSwitch m_on{true};
};

TEST_F(FileMsgLogTest, StartsWithTheHeaderBanner) {
    IMsgLog* log = NewFileLog(m_path);
    ASSERT_NE(log, nullptr);
    EXPECT_TRUE(log->CanLogMessages());
    EXPECT_EQ(Content(), AsFileText(kHeader));
    EXPECT_STREQ(log->GetName(), "Plain Text Message Log");
    EXPECT_EQ(log->MsgLogType(), IMsgLog::MSG_LOG_PLAIN_FILE);
    MsgLogFactory::DeleteMsgLog(&log);
}

TEST_F(FileMsgLogTest, EachMessageIsInTheFileWhenTheCallReturns) {
    IMsgLog* log = NewFileLog(m_path);
    log->Debug("Init", "ready", IMsgLog::STR_SC_DEFAULT);
    EXPECT_EQ(Content(), AsFileText(kHeader + "\n(U) DEBUG [T] Init:\n(U) ready\n\n"));
    log->Warn("no method", nullptr);
    log->Info("", "(U) ");
    log->Info("M", nullptr, "(U) ");
    EXPECT_EQ(Content(), AsFileText(kHeader + "\n(U) DEBUG [T] Init:\n(U) ready\n\n" +
                                    "\n(U) WARN [T] unknown method:\nno method\n\n"));
    MsgLogFactory::DeleteMsgLog(&log);
}

TEST_F(FileMsgLogTest, WritesTextsOfAnyLengthWhole) {
    IMsgLog* log = NewFileLog(m_path);
    std::string expected = kHeader;
    // Around the size composed without allocating, and far beyond it.
    for (size_t length : {2000u, 2048u, 3000u, 1u << 20}) {
        const std::string text(length, 'x');
        log->Error("Dump::Write", text.c_str(), "(U) ");
        log->LogMessage(text.c_str(), nullptr);
        expected += "\n(U) ERROR [T] Dump::Write:\n(U) " + text + "\n\n" + "\n" + text + "\n\n";
    }
    EXPECT_TRUE(Content() == AsFileText(expected));
    MsgLogFactory::DeleteMsgLog(&log);
}

TEST_F(FileMsgLogTest, RawFormWritesWhileOffWithAnEmptyLineAfter) {
    IMsgLog* log = NewFileLog(m_path);
    IMsgLog::TurnLoggingOff();
    log->Error("M", "silenced", "(U) ");
    log->LogMessage("raw", "(U) ");
    log->LogMessage("bare", nullptr);
    log->LogMessage(nullptr, "(U) ");
    EXPECT_EQ(Content(), AsFileText(kHeader + "\n(U) raw\n\n\nbare\n\n"));
    MsgLogFactory::DeleteMsgLog(&log);
}

TEST_F(FileMsgLogTest, ReplacesTheContentOfAnExistingFile) {
    kivtest::WriteFile(m_path, "old content that must go\n");
    IMsgLog* log = NewFileLog(m_path);
    EXPECT_EQ(Content(), AsFileText(kHeader));
    MsgLogFactory::DeleteMsgLog(&log);
}

// A caller's file name is text in the process's code page (on Windows its
// ANSI code page); the file gets the name that text spells.
TEST_F(FileMsgLogTest, OpensTheFileThatACodePageNameSpells) {
    const std::filesystem::path expected =
        m_directory.Path() / std::filesystem::path(u8"caf\u00e9 \u00e0 la carte.log");
    const std::optional<std::string> name = kivtest::CodePageText(expected);
    if (!name) GTEST_SKIP() << "the code page cannot spell the name";
    IMsgLog* log = NewFileLog(*name);
    EXPECT_TRUE(log->CanLogMessages());
    log->Info("M", "named in the code page", "(U) ");
    MsgLogFactory::DeleteMsgLog(&log);
    std::ifstream file(expected, std::ios::binary);
    const std::string content((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_NE(content.find("named in the code page"), std::string::npos);
}

TEST_F(FileMsgLogTest, CannotWriteWithoutAUsablePath) {
    const std::string missing = m_directory.File("missing");
    const std::string inMissing = missing + "/app.log";
    for (const char* name : {static_cast<const char*>(nullptr), "", inMissing.c_str()}) {
        IMsgLog* log = MsgLogFactory::NewMsgLog(IMsgLog::MSG_LOG_PLAIN_FILE, name);
        ASSERT_NE(log, nullptr);
        EXPECT_FALSE(log->CanLogMessages());
        EXPECT_EQ(log->MsgLogType(), IMsgLog::MSG_LOG_PLAIN_FILE);
        EXPECT_STREQ(log->GetName(), "Plain Text Message Log");
        log->Info("M", "nowhere", "(U) ");
        log->LogMessage("nowhere either", nullptr);
        EXPECT_TRUE(MsgLogFactory::DeleteMsgLog(&log));
    }
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_TRUE(std::filesystem::is_empty(m_directory.Path()));
}

TEST_F(FileMsgLogTest, CloseKeepsWhatWasWrittenAndAcceptsNothingMore) {
    IMsgLog* log = NewFileLog(m_path);
    log->Info("M", "before", "(U) ");
    log->Close();
    EXPECT_FALSE(log->CanLogMessages());
    log->Info("M", "after", "(U) ");
    log->LogMessage("raw after", nullptr);
    log->Close();
    EXPECT_FALSE(log->CanLogMessages());
    EXPECT_EQ(Content(), AsFileText(kHeader + "\n(U) INFO [T] M:\n(U) before\n\n"));
    MsgLogFactory::DeleteMsgLog(&log);
}

TEST_F(FileMsgLogTest, DeletingAnOpenLogKeepsEverythingLogged) {
    IMsgLog* log = NewFileLog(m_path);
    log->Fatal("M", "last words", "(U) ");
    EXPECT_TRUE(MsgLogFactory::DeleteMsgLog(&log));
    EXPECT_EQ(log, nullptr);
    EXPECT_EQ(Content(), AsFileText(kHeader + "\n(U) FATAL [T] M:\n(U) last words\n\n"));
}

TEST_F(FileMsgLogTest, TwoLogsOnOnePathKeepEachOthersMessages) {
    IMsgLog* first = NewFileLog(m_path);
    IMsgLog* second = NewFileLog(m_path);
    first->Info("M", "from the first", "(U) ");
    second->Info("M", "from the second", "(U) ");
    const std::string content = Content();
    EXPECT_NE(content.find("from the first"), std::string::npos);
    EXPECT_NE(content.find("from the second"), std::string::npos);
    MsgLogFactory::DeleteMsgLog(&first);
    MsgLogFactory::DeleteMsgLog(&second);
}

// A caller's text cannot forge a record: a line of it that a reader would
// take for a head line or the banner's title gets one blank before it, and
// every other text is written byte for byte.
TEST_F(FileMsgLogTest, TextsThatLookLikeRecordsAreDisarmed) {
    const std::string forgedHead = "(U) FATAL [2026/12/09 13:00:00] Admin::Shutdown:";
    const std::string title =
        "*************************************************** PLAIN-TEXT LOGGER "
        "***************************************************";
    const struct {
        const char* method;
        const char* marking;
        std::string text;
        std::string written;
    } cases[] = {
        {"M", "(U) ", "bob\n\n\n" + forgedHead + "\n(U) database corrupted",
         "(U) bob\n\n\n " + forgedHead + "\n(U) database corrupted"},
        {"M", "(U) ", "bob\r\n" + forgedHead + "\r\nx", "(U) bob\r\n " + forgedHead + "\r\nx"},
        {"M", "", forgedHead, " " + forgedHead},
        // The marking and the text together form the head line.
        {"M", "(U) ", "FATAL [2026/12/09 13:00:00] Admin::Shutdown:",
         " (U) FATAL [2026/12/09 13:00:00] Admin::Shutdown:"},
        {"M", "(U) ", "a\n\n\n" + title + "\n", "(U) a\n\n\n " + title + "\n"},
        {"Run:\n\n\n(U) ERROR [2026/12/09 13:00:00] X:", "(U) ", "t",
         "Run:\n\n\n (U) ERROR [2026/12/09 13:00:00] X::\n(U) t"},
        // Texts that cannot forge are unchanged.
        {"M", "(U) ", "a\n\nb\n\n\nc", "(U) a\n\nb\n\n\nc"},
        {"M", "(U) ", "x\n(U) FATAL [2026/12/09] short", "(U) x\n(U) FATAL [2026/12/09] short"},
        {"M", "(U) ", "x\n(U) FATAL [2026/12/09 13:00:00] no colon", "(U) x\n(U) FATAL [2026/12/09 13:00:00] no colon"},
        {"M", "(U) ", "x\n(U) TRACE [2026/12/09 13:00:00] M:", "(U) x\n(U) TRACE [2026/12/09 13:00:00] M:"},
        {"M", "(U) ", "x\n" + title + "*", "(U) x\n" + title + "*"},
    };
    IMsgLog* log = NewFileLog(m_path);
    std::string expected = kHeader;
    for (const auto& c : cases) {
        log->Info(c.method, c.text.c_str(), c.marking);
        expected += std::string("\n(U) INFO [T] ") + (c.method[0] == 'M' ? "M:\n" : "") + c.written + "\n\n";
    }
    // Raw text begins a record: its first line stands behind two blanks,
    // which keeps it a raw record of its own.
    log->LogMessage((forgedHead + "\nraw").c_str(), "");
    expected += "\n  " + forgedHead + "\nraw\n\n";
    log->LogMessage((" " + forgedHead).c_str(), "");
    expected += "\n  " + forgedHead + "\n\n";
    log->LogMessage("  two blanks already", "");
    expected += "\n  two blanks already\n\n";
    log->LogMessage(("\n\n" + forgedHead).c_str(), "");
    expected += "\n\n\n  " + forgedHead + "\n\n";
    EXPECT_EQ(Content(), MaskTimeStamps(AsFileText(expected)));
    MsgLogFactory::DeleteMsgLog(&log);
}

}  // namespace
