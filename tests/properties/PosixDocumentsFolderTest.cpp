// Where the Documents folder is found on POSIX systems: from HOME and the XDG
// user directories.
#include <gtest/gtest.h>

#include <filesystem>

#include "properties/LogFileLocation.h"
#include "support/EnvironmentFixtures.h"

using namespace ORVA::KIV::System::Utility::Logging;

namespace {

using HomeFolderTest = kivtest::HomeFolderTest;

TEST_F(HomeFolderTest, FallsBackToDocumentsInTheHomeDirectory) {
    EXPECT_EQ(CurrentUserHomeFolder(), m_directory.File("Documents") + '/');
    EXPECT_EQ(DefaultLogDirectory(), std::nullopt);
    std::filesystem::create_directory(m_directory.File("Documents"));
    EXPECT_EQ(DefaultLogDirectory(), m_directory.File("Documents") + '/');
}

TEST_F(HomeFolderTest, FollowsTheXdgUserDirectories) {
    std::filesystem::create_directories(m_directory.File(".config"));
    kivtest::WriteFile(m_directory.File(".config/user-dirs.dirs"),
                       "# written by xdg-user-dirs-update\nXDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n");
    EXPECT_EQ(CurrentUserHomeFolder(), m_directory.File("Papers") + "/");

    m_environment.Set("XDG_DOCUMENTS_DIR", "/srv/documents/");
    EXPECT_EQ(CurrentUserHomeFolder(), "/srv/documents/");
}

}  // namespace
