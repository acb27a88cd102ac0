// One configuration of the library, run in a probe process of its own: a
// home directory with a Documents folder, a configuration directory named
// by KIV_SYS_CONFIG_DIR and a log directory, all temporary.
#ifndef KIVLOGGING_TESTS_SCENARIOS_SCENARIO_H
#define KIVLOGGING_TESTS_SCENARIOS_SCENARIO_H

#include <string>
#include <vector>

#include "support/ProbeRunner.h"
#include "support/TempDirectory.h"

namespace kivtest {

class Scenario {
public:
    Scenario();

    // Writes the properties file into the configuration directory.
    void WriteProperties(const std::string& content) const;
    // Runs the probe with the scenario's environment.
    ProbeRun Run(const std::vector<std::string>& steps) const;

    // Directory texts, each ending in the separator.
    std::string Home() const { return m_root.File("home") + kDirectorySeparator; }
    std::string Documents() const;
    std::string ConfigDirectory() const { return m_root.File("config") + kDirectorySeparator; }
    std::string LogDirectory() const { return m_root.File("logs") + kDirectorySeparator; }
    std::string PropertiesFile() const { return ConfigDirectory() + "kiv.system.properties"; }
    // The names of the files in the log directory.
    std::vector<std::string> LogFiles() const;

    const TempDirectory& Root() const { return m_root; }
    // Changes to the environment the probe starts with.
    EnvironmentChanges environment;
    // The program to run; a copy placed elsewhere tests the search beside it.
    std::string probe = ProbePath();

    static const char kDirectorySeparator;

private:
    TempDirectory m_root;
};

}  // namespace kivtest

#endif  // KIVLOGGING_TESTS_SCENARIOS_SCENARIO_H
