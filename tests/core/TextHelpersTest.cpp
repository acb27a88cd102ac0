#include "core/TextHelpers.h"

#include <gtest/gtest.h>

using namespace ORVA::KIV::System::Utility::Logging;

namespace {

TEST(TrimStringTest, RemovesOnlyTheRequestedEnds) {
    EXPECT_EQ(TrimString(" \t a b \r\n", true, true), "a b");
    EXPECT_EQ(TrimString(" a ", true, false), " a");
    EXPECT_EQ(TrimString(" a ", false, true), "a ");
    EXPECT_EQ(TrimString(" a ", false, false), " a ");
    EXPECT_EQ(TrimString(" \t\v\f ", true, false), "");
    EXPECT_EQ(TrimString(static_cast<const char*>(nullptr), true, true), "");
}

TEST(TrimStringTest, NeverTreatsHighBytesAsWhiteSpace) {
    EXPECT_EQ(TrimString("\xA0x\xA0", true, true), "\xA0x\xA0");
    EXPECT_EQ(TrimString("\x85 x", true, true), "\x85 x");
}

TEST(ApplyTrimmingRuleTest, TrimsBothEndsOnlyWhenAnEndIsABlank) {
    EXPECT_EQ(ApplyTrimmingRule("\tconsole"), "\tconsole");
    EXPECT_EQ(ApplyTrimmingRule("\tconsole\t"), "\tconsole\t");
    EXPECT_EQ(ApplyTrimmingRule("\tconsole "), "console");
    EXPECT_EQ(ApplyTrimmingRule(" \tconsole"), "console");
    EXPECT_EQ(ApplyTrimmingRule("   "), "");
    EXPECT_EQ(ApplyTrimmingRule(""), "");
}

TEST(CaseMappingTest, ChangesOnlyAsciiLetters) {
    EXPECT_EQ(ToUpperAscii("aZ09-\xE9z"), "AZ09-\xE9Z");
    EXPECT_EQ(ToLowerAscii("OnOFF \xC9"), "onoff \xC9");
    EXPECT_EQ(ToLowerAscii(ViewOf(nullptr)), "");
}

TEST(ReplaceAllTest, ReplacesLeftToRightWithoutOverlap) {
    EXPECT_EQ(ReplaceAll("a/b//c/", "\\", "/"), "a\\b\\\\c\\");
    EXPECT_EQ(ReplaceAll("aaaa", "b", "aaa"), "ba");
    EXPECT_EQ(ReplaceAll("abc", "x", ""), "abc");
    EXPECT_EQ(ReplaceAll(ViewOf(nullptr), "x", "/"), "");
}

TEST(EndsWithTest, IsFalseForEmptyOrLongerSuffixes) {
    EXPECT_TRUE(EndsWith("\\", "D:\\logs\\"));
    EXPECT_TRUE(EndsWith("abc", "abc"));
    EXPECT_FALSE(EndsWith("\\", "D:\\logs"));
    EXPECT_FALSE(EndsWith("", "abc"));
    EXPECT_FALSE(EndsWith("abc", ""));
    EXPECT_FALSE(EndsWith("xabc", "abc"));
}

}  // namespace
