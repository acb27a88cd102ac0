#include "support/ProbeRunner.h"

#include <sstream>

namespace kivtest {

std::string ProbeRun::operator[](const std::string& key) const {
    const std::string prefix = "@ " + key + "=";
    std::string value = "(missing)";
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(prefix, 0) == 0) value = line.substr(prefix.size());
    }
    return value;
}

std::string ProbeRun::Console() const {
    std::string console;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("@ ", 0) != 0) console += line + "\n";
    }
    return console;
}

std::string ProbePath() {
    return KIVLOG_PROBE_PATH;
}

ProbeRun RunProbe(const std::vector<std::string>& steps, EnvironmentChanges environment,
                  const std::string& probe) {
    for (const char* variable :
         {"KIV_SYS_CONFIG_DIR", "HOME", "TZ", "XDG_CONFIG_HOME", "XDG_DOCUMENTS_DIR"}) {
        environment.emplace(variable, std::nullopt);
    }
    const ProcessResult result = RunProcess(probe, steps, environment);
    return ProbeRun{result.exitCode, result.output};
}

}  // namespace kivtest
