#include "properties/LoggerList.h"

#include <gtest/gtest.h>
#include <logging/MsgLog.h>

#include <string>
#include <vector>

using namespace ORVA::KIV::System::Utility::Logging;

namespace {

std::vector<std::string> Tokens(const char* delimiters, const char* text) {
    char** tokens = nullptr;
    size_t count = 0;
    std::vector<std::string> result;
    if (TokenizeString(delimiters, text, &tokens, &count)) {
        for (size_t i = 0; i < count; ++i) {
            result.emplace_back(tokens[i]);
            delete[] tokens[i];
        }
        delete[] tokens;
    }
    return result;
}

TEST(TokenizeStringTest, NeverYieldsEmptyTokens) {
    EXPECT_EQ(Tokens("|", "||console||plain.file|"),
              (std::vector<std::string>{"console", "plain.file"}));
    EXPECT_EQ(Tokens("|,", "a,b|c"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(Tokens("|", " a "), (std::vector<std::string>{" a "}));
}

TEST(TokenizeStringTest, LeavesOutputsUntouchedForMissingInput) {
    char* sentinel[1] = {nullptr};
    char** tokens = sentinel;
    size_t count = 42;
    EXPECT_FALSE(TokenizeString("", "a|b", &tokens, &count));
    EXPECT_FALSE(TokenizeString(nullptr, "a|b", &tokens, &count));
    EXPECT_FALSE(TokenizeString("|", nullptr, &tokens, &count));
    EXPECT_FALSE(TokenizeString("|", "", &tokens, &count));
    EXPECT_EQ(tokens, sentinel);
    EXPECT_EQ(count, 42u);

    EXPECT_FALSE(TokenizeString("|", "a|b", nullptr, &count));
    EXPECT_FALSE(TokenizeString("|", "a|b", &tokens, nullptr));
    EXPECT_FALSE(TokenizeString("|", "|||", &tokens, &count));
    EXPECT_EQ(tokens, nullptr);
    EXPECT_EQ(count, 0u);
}

TEST(GetSupportedLoggerNameTest, GivesTheConstantItselfForExactNames) {
    EXPECT_EQ(GetSupportedLoggerName("console"), IMsgLog::LOGGER_CONSOLE);
    EXPECT_EQ(GetSupportedLoggerName(" plain.file "), IMsgLog::LOGGER_PLAIN_FILE);
    EXPECT_EQ(GetSupportedLoggerName("time.based.rolling.html.file"),
              IMsgLog::LOGGER_TIME_BASED_ROLLING_HTML_FILE);
    EXPECT_EQ(GetSupportedLoggerName("Console"), nullptr);
    EXPECT_EQ(GetSupportedLoggerName("\tconsole"), nullptr);
    EXPECT_EQ(GetSupportedLoggerName(" \tconsole"), IMsgLog::LOGGER_CONSOLE);
    EXPECT_EQ(GetSupportedLoggerName(" journal"), kLoggerJournal);
    EXPECT_EQ(GetSupportedLoggerName("journald"), nullptr);
    EXPECT_EQ(GetSupportedLoggerName("  "), nullptr);
    EXPECT_EQ(GetSupportedLoggerName(nullptr), nullptr);
}

TEST(ParseLoggerListTest, KeepsFirstAppearancesInOrder) {
    std::vector<std::string> names{"stale"};
    EXPECT_EQ(ParseLoggerList("plain.file|console|plain.file", &names), 2u);
    EXPECT_EQ(names, (std::vector<std::string>{"plain.file", "console"}));
    EXPECT_EQ(ParseLoggerList("  ", &names), 0u);
    EXPECT_TRUE(names.empty());
    EXPECT_EQ(ParseLoggerList("console", nullptr), 0u);
}

TEST(StoredLoggerListTest, JoinsRecognisedNamesOrKeepsTheText) {
    EXPECT_EQ(StoredLoggerList(" console | plain.file "), "console|plain.file");
    EXPECT_EQ(StoredLoggerList("||console||"), "console");
    EXPECT_EQ(StoredLoggerList("Console"), "Console");
    EXPECT_EQ(StoredLoggerList(" console,plain.file "), "console,plain.file");
    EXPECT_EQ(StoredLoggerList("html.file"), "html.file");
    EXPECT_EQ(StoredLoggerList(" journal | console|journal"), "journal|console");
    EXPECT_EQ(StoredLoggerList("Journal|console"), "console");
    EXPECT_EQ(StoredLoggerList("\tconsole"), "\tconsole");
    EXPECT_EQ(StoredLoggerList("   "), std::nullopt);
}

// The properties format allows lines of any length, and the list is split
// while the library loads: a megabyte of names would take minutes to split
// if each token cost time in proportion to the tokens before it.
TEST(StoredLoggerListTest, SplitsAMegabyteOfNamesInOnePass) {
    std::string value;
    for (int i = 0; i < 100000; ++i) value += "name" + std::to_string(10000 + i % 90000) + "|";
    value += "plain.file|console";
    ASSERT_GE(value.size(), 1000000u);
    EXPECT_EQ(Tokens("|", value.c_str()).size(), 100002u);
    EXPECT_EQ(StoredLoggerList(value), "plain.file|console");
}

}  // namespace
