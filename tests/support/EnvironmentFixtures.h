// Fixtures for tests that change the process's environment.
#ifndef KIVLOGGING_TESTS_SUPPORT_ENVIRONMENTFIXTURES_H
#define KIVLOGGING_TESTS_SUPPORT_ENVIRONMENTFIXTURES_H

#include <gtest/gtest.h>

#include "support/ScopedEnvironment.h"
#include "support/TempDirectory.h"

namespace kivtest {

// A temporary directory and an environment restored after the test.
class EnvironmentTest : public ::testing::Test {
protected:
    TempDirectory m_directory;
    ScopedEnvironment m_environment;
};

// The temporary directory as the home directory, with no XDG folders set.
class HomeFolderTest : public EnvironmentTest {
protected:
    void SetUp() override {
        m_environment.Set("XDG_DOCUMENTS_DIR", std::nullopt);
        m_environment.Set("XDG_CONFIG_HOME", std::nullopt);
        m_environment.Set("HOME", m_directory.Path().string());
    }
};

}  // namespace kivtest

#endif  // KIVLOGGING_TESTS_SUPPORT_ENVIRONMENTFIXTURES_H
