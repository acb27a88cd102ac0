// The configuration search, the log directory and the Documents folder,
// called in-process with environments of the test's own.
#include "properties/ConfigDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "properties/DirectoryText.h"
#include "properties/PathExistence.h"
#include "properties/LogFileLocation.h"
#include "support/PlatformFacts.h"
#include "support/ScopedEnvironment.h"
#include "support/EnvironmentFixtures.h"
#include "support/TempDirectory.h"

using namespace ORVA::KIV::System::Utility::Logging;
using kivtest::kSeparator;

namespace {

std::string Parent(const char* path) {
    std::unique_ptr<char[]> parent(GetParentDirectory(path));
    return parent ? std::string(parent.get()) : "(null)";
}

TEST(GetParentDirectoryTest, KeepsTheLastSeparator) {
    using kivtest::NativeSeparators;
    EXPECT_EQ(Parent("/opt/app/bin/app"), NativeSeparators("/opt/app/bin/"));
    EXPECT_EQ(Parent(" /opt/app "), NativeSeparators("/opt/"));
    EXPECT_EQ(Parent("/app"), NativeSeparators("/"));
    EXPECT_EQ(Parent("app"), ".");
    EXPECT_EQ(Parent(""), "(null)");
    EXPECT_EQ(Parent("   "), "(null)");
    EXPECT_EQ(Parent(nullptr), "(null)");
}

TEST(GetEnvironmentValueTest, TrimsTheNameAndTellsAbsenceByNull) {
    kivtest::ScopedEnvironment environment;
    environment.Set("KIVTEST_VALUE", " spaced value ");
    environment.Set("KIVTEST_EMPTY", "");
    environment.Set("KIVTEST_MISSING", std::nullopt);

    char* value = reinterpret_cast<char*>(1);
    EXPECT_TRUE(GetEnvironmentValue(" KIVTEST_VALUE ", &value));
    ASSERT_NE(value, nullptr);
    EXPECT_STREQ(value, " spaced value ");
    delete[] value;
    for (const char* name : {"KIVTEST_MISSING", "KIVTEST_EMPTY", "", "  ",
                             static_cast<const char*>(nullptr)}) {
        EXPECT_TRUE(GetEnvironmentValue(name, &value));
        EXPECT_EQ(value, nullptr);
    }
    EXPECT_FALSE(GetEnvironmentValue("KIVTEST_VALUE", nullptr));
}

TEST(GetExecutableDirectoryTest, NamesTheDirectoryOfTheTestProgram) {
    char* directory = nullptr;
    ASSERT_TRUE(GetExecutableDirectory(&directory));
    const std::unique_ptr<char[]> owned(directory);
    EXPECT_EQ(std::string(directory).back(), kSeparator);
    EXPECT_TRUE(std::filesystem::is_directory(directory));
    EXPECT_FALSE(GetExecutableDirectory(nullptr));
}

TEST(ExistenceTest, AppliesTheTrimmingRuleAndDropsOneSeparator) {
    kivtest::TempDirectory directory;
    const std::string text = directory.DirectoryText();
    kivtest::WriteFile(directory.File("file"), "x");
    EXPECT_TRUE(DirectoryExistsAfterTrimming(text.c_str()));
    EXPECT_TRUE(DirectoryExistsAfterTrimming((" " + text + " ").c_str()));
    EXPECT_TRUE(DirectoryExistsAfterTrimming(directory.Path().string().c_str()));
    EXPECT_FALSE(DirectoryExistsAfterTrimming(directory.File("file").c_str()));
    EXPECT_FALSE(DirectoryExistsAfterTrimming(directory.File("missing").c_str()));
    EXPECT_EQ(DirectoryExistsAfterTrimming(kivtest::NativeSeparators("/").c_str()),
              kivtest::kLoneSeparatorIsRoot);
    EXPECT_FALSE(DirectoryExistsAfterTrimming(""));
    EXPECT_FALSE(DirectoryExistsAfterTrimming(nullptr));
    EXPECT_TRUE(PathExistsAfterTrimming(directory.File("file").c_str()));
    EXPECT_TRUE(PathExistsAfterTrimming(directory.Path().string().c_str()));
    EXPECT_FALSE(PathExistsAfterTrimming(directory.File("missing").c_str()));
    EXPECT_FALSE(PathExistsAfterTrimming("  "));
}

TEST(AcceptLogDirectoryTest, NormalisesExistingDirectoriesOnly) {
    kivtest::TempDirectory directory;
    const std::string plain = directory.Path().string();
    EXPECT_EQ(AcceptLogDirectory(" " + plain + " "), plain + kSeparator);
    EXPECT_EQ(AcceptLogDirectory(plain + kSeparator), plain + kSeparator);
    EXPECT_EQ(AcceptLogDirectory(plain + "/"), plain + kSeparator);
    EXPECT_EQ(AcceptLogDirectory(directory.File("missing")), std::nullopt);
    EXPECT_EQ(AcceptLogDirectory(""), std::nullopt);
}

using ConfigSearchTest = kivtest::EnvironmentTest;

TEST_F(ConfigSearchTest, ASetVariableDecidesAlone) {
    m_environment.Set("KIV_SYS_CONFIG_DIR", "  " + m_directory.Path().string() + "  ");
    EXPECT_EQ(GetSystemConfigDirectory(), m_directory.DirectoryText());

    m_environment.Set("KIV_SYS_CONFIG_DIR", m_directory.File("missing"));
    EXPECT_EQ(GetSystemConfigDirectory(), "");
}

TEST_F(ConfigSearchTest, ABlankVariableCountsAsUnset) {
    // Beside the test program there is no CLASSIFIED directory.
    m_environment.Set("KIV_SYS_CONFIG_DIR", "   ");
    EXPECT_EQ(GetSystemConfigDirectory(), "");
}



}  // namespace
