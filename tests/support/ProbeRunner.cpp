#include "support/ProbeRunner.h"

#include <sstream>

#include "support/PlatformFacts.h"

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

std::string CopyProbeTo(const std::filesystem::path& directory) {
    const std::filesystem::path probe(ProbePath());
    std::filesystem::copy_file(probe, directory / probe.filename());
    if (kLibraryBesideProgram) {
        const std::filesystem::path library(KIVLOG_LIBRARY_PATH);
        std::filesystem::copy_file(library, directory / library.filename());
    }
    return (directory / probe.filename()).string();
}

ProbeRun RunProbe(const std::vector<std::string>& steps, EnvironmentChanges environment,
                  const std::string& probe) {
    for (const char* variable :
         {"KIV_SYS_CONFIG_DIR", "HOME", "TZ", "XDG_CONFIG_HOME", "XDG_DOCUMENTS_DIR"}) {
        environment.emplace(variable, std::nullopt);
    }
    const ProcessResult result = RunProcess(probe, steps, environment);
    return ProbeRun{result.exitCode, FromFileText(result.output)};
}

}  // namespace kivtest
