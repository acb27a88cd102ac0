#include <gtest/gtest.h>
#include <logging/MsgLog.h>

#include <cstring>

using namespace ORVA::KIV::System::Utility::Logging;

namespace {

struct NamedConstant {
    const char* text;
    size_t length;
    const char* expected;
};

TEST(ConstantsTest, TextsAndLengthsAgree) {
    using L = IMsgLog::MsgLevel;
    using K = IMsgLog::PropertyKey;
    const NamedConstant constants[] = {
        {L::LOGGING_DEBUG, L::SZ_LOGGING_DEBUG, "DEBUG"},
        {L::LOGGING_ERROR, L::SZ_LOGGING_ERROR, "ERROR"},
        {L::LOGGING_FATAL, L::SZ_LOGGING_FATAL, "FATAL"},
        {L::LOGGING_INFO, L::SZ_LOGGING_INFO, "INFO"},
        {L::LOGGING_WARN, L::SZ_LOGGING_WARN, "WARN"},
        {IMsgLog::LOGGER_CONSOLE, IMsgLog::SZ_LOGGER_CONSOLE, "console"},
        {IMsgLog::LOGGER_HTML_FILE, IMsgLog::SZ_LOGGER_HTML_FILE, "html.file"},
        {IMsgLog::LOGGER_PLAIN_FILE, IMsgLog::SZ_LOGGER_PLAIN_FILE, "plain.file"},
        {IMsgLog::LOGGER_TIME_BASED_ROLLING_HTML_FILE,
         IMsgLog::SZ_LOGGER_TIME_BASED_ROLLING_HTML_FILE, "time.based.rolling.html.file"},
        {IMsgLog::LOGGER_TIME_BASED_ROLLING_PLAIN_FILE,
         IMsgLog::SZ_LOGGER_TIME_BASED_ROLLING_PLAIN_FILE, "time.based.rolling.plain.file"},
        {IMsgLog::MSG_LOG_DEFAULT, IMsgLog::SZ_MSG_LOG_DEFAULT, "console"},
        {K::DYNAMIC_LOGGING, K::SZ_DYNAMIC_LOGGING, "kiv.log.dynamic.logging"},
        {K::LOG_DIR, K::SZ_LOG_DIR, "kiv.log.dir"},
        {K::LOGGERS, K::SZ_LOGGERS, "kiv.log.loggers"},
        {K::LOGGING_LEVEL, K::SZ_LOGGING_LEVEL, "kiv.log.level"},
        {K::LOGGING_STATUS, K::SZ_LOGGING_STATUS, "kiv.logging.status"},
    };
    for (const NamedConstant& constant : constants) {
        EXPECT_STREQ(constant.text, constant.expected);
        EXPECT_EQ(constant.length, std::strlen(constant.expected)) << constant.expected;
    }
    EXPECT_STREQ(K::KIV_LOGGING, "kiv.logging");
    EXPECT_STREQ(IMsgLog::FILE_EXTENSION_PLAIN_LOG, ".log");
    EXPECT_STREQ(IMsgLog::FILE_EXTENSION_HTML_LOG, ".html");
    EXPECT_STREQ(IMsgLog::MSG_LOG_BASE_FILE_NAME, "kiv.log_");
    EXPECT_STREQ(IMsgLog::STR_SC_DEFAULT, "(U) ");
    EXPECT_STREQ(IMsgLog::DELIMITER, "|");
}

TEST(ConstantsTest, DefaultsAreTheSamePointersAsTheirNames) {
    EXPECT_EQ(IMsgLog::DEFAULT_LOGGING_LEVEL, IMsgLog::MsgLevel::LOGGING_DEBUG);
    EXPECT_EQ(IMsgLog::MSG_LOG_DEFAULT, IMsgLog::LOGGER_CONSOLE);
}

TEST(ConstantsTest, CodesFollowTheAlphabeticalOrderOfNames) {
    using L = IMsgLog::MsgLevel;
    EXPECT_EQ(L::LOGGING_CODE_DEBUG, 0);
    EXPECT_EQ(L::LOGGING_CODE_ERROR, 1);
    EXPECT_EQ(L::LOGGING_CODE_FATAL, 2);
    EXPECT_EQ(L::LOGGING_CODE_INFO, 3);
    EXPECT_EQ(L::LOGGING_CODE_WARN, 4);
    EXPECT_EQ(L::LOGGING_CODE_UNKNOWN, -1);
    EXPECT_EQ(IMsgLog::MSG_LOG_CONSOLE, 0);
    EXPECT_EQ(IMsgLog::MSG_LOG_GROUP, 1);
    EXPECT_EQ(IMsgLog::MSG_LOG_PLAIN_FILE, 3);
}

}  // namespace
