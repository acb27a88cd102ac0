#include "scenarios/Scenario.h"

#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>

#include "support/PlatformFacts.h"

namespace kivtest {

const char Scenario::kDirectorySeparator = kSeparator;

Scenario::Scenario() {
    for (const char* directory : {"home/Documents", "config", "logs"}) {
        std::filesystem::create_directories(m_root.Path() / directory);
    }
    environment["HOME"] = m_root.File("home");
    environment["KIV_SYS_CONFIG_DIR"] = m_root.File("config");
    environment["TZ"] = "UTC0";
}

std::string Scenario::Documents() const {
    return ExpectedDocumentsFolder(m_root.File("home"));
}

void Scenario::WriteProperties(const std::string& content) const {
    WriteFile(PropertiesFile(), content);
}

ProbeRun Scenario::Run(const std::vector<std::string>& steps) const {
    ProbeRun run = RunProbe(steps, environment, probe);
    // A sanitizer that found a fault makes the probe exit with an error.
    EXPECT_EQ(run.exitCode, 0) << run.output;
    return run;
}

std::vector<std::string> Scenario::LogFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_root.Path() / "logs")) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace kivtest
