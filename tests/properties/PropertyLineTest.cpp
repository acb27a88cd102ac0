#include "properties/PropertyLine.h"

#include <gtest/gtest.h>

using namespace ORVA::KIV::System::Utility::Logging;

namespace {

TEST(ParsePropertyLineTest, SplitsAtTheFirstEqualsSign) {
    const PropertyLine line = ParsePropertyLine("   kiv.logging.status  =  ON ");
    ASSERT_EQ(line.kind, LineKind::kKeyValue);
    EXPECT_EQ(line.key, "kiv.logging.status");
    EXPECT_EQ(line.value, "  ON ");

    const PropertyLine equations = ParsePropertyLine("k=a=b=");
    EXPECT_EQ(equations.key, "k");
    EXPECT_EQ(equations.value, "a=b=");

    const PropertyLine empty = ParsePropertyLine("k=");
    ASSERT_EQ(empty.kind, LineKind::kKeyValue);
    EXPECT_EQ(empty.value, "");
}

TEST(ParsePropertyLineTest, KeepsATabThatStartsTheLine) {
    const PropertyLine line = ParsePropertyLine("\tkiv.logging.status=on");
    ASSERT_EQ(line.kind, LineKind::kKeyValue);
    EXPECT_EQ(line.key, "\tkiv.logging.status");
    EXPECT_EQ(ParsePropertyLine(" \t kiv.log.level=INFO").key, "kiv.log.level");
}

TEST(ParsePropertyLineTest, PassesOverCommentsAndMalformedLines) {
    EXPECT_EQ(ParsePropertyLine("").kind, LineKind::kEmpty);
    EXPECT_EQ(ParsePropertyLine("   ").kind, LineKind::kEmpty);
    EXPECT_EQ(ParsePropertyLine("#kiv.logging.status=on").kind, LineKind::kComment);
    EXPECT_EQ(ParsePropertyLine("  # note").kind, LineKind::kComment);
    EXPECT_EQ(ParsePropertyLine("kiv.logging.status on").kind, LineKind::kNoEqualsSign);
    EXPECT_EQ(ParsePropertyLine("=on").kind, LineKind::kEmptyKey);
    EXPECT_EQ(ParsePropertyLine("  \t=on").kind, LineKind::kEmptyKey);
}

TEST(ParsePropertyLineTest, TreatsAHashInsideTheLineAsText) {
    const PropertyLine line = ParsePropertyLine("kiv.logging.status=on # note");
    ASSERT_EQ(line.kind, LineKind::kKeyValue);
    EXPECT_EQ(line.value, "on # note");
}

TEST(ParsePropertyLineTest, HandlesBinaryBytes) {
    const std::string binary("\xEF\xBB\xBFk\0ey=v\0al", 12);
    const PropertyLine line = ParsePropertyLine(binary);
    ASSERT_EQ(line.kind, LineKind::kKeyValue);
    EXPECT_EQ(line.key, std::string("\xEF\xBB\xBFk\0ey", 7));
    EXPECT_EQ(line.value, std::string("v\0al", 4));
}

}  // namespace
