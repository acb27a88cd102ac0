#include "TargetProcess.h"

#include <grp.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <system_error>
#include <vector>

namespace kivdoctor {
namespace {
namespace fs = std::filesystem;

// The variables that decide where the configuration and the Documents
// folder are.
constexpr const char* kDecidingVariables[] = {"KIV_SYS_CONFIG_DIR", "HOME", "XDG_CONFIG_HOME",
                                              "XDG_DOCUMENTS_DIR"};

bool ReadLink(const fs::path& link, std::string* target, std::string* problem) {
    std::error_code error;
    const fs::path resolved = fs::read_symlink(link, error);
    if (error) {
        *problem = "cannot read " + link.string() + ": " + error.message();
        return false;
    }
    *target = resolved.string();
    return true;
}

// NAME=VALUE entries separated by NULs.
bool ReadEnvironment(const fs::path& file, std::map<std::string, std::string>* variables,
                     std::string* problem) {
    std::ifstream in(file, std::ios::binary);
    const std::string block((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
        *problem = "cannot read " + file.string();
        return false;
    }
    for (size_t start = 0; start < block.size();) {
        size_t end = block.find('\0', start);
        if (end == std::string::npos) end = block.size();
        const std::string entry = block.substr(start, end - start);
        const size_t equals = entry.find('=');
        if (equals != std::string::npos) (*variables)[entry.substr(0, equals)] = entry.substr(equals + 1);
        start = end + 1;
    }
    return true;
}

// The effective user and group and the supplementary groups of a process,
// from its status file.
struct Credentials {
    uid_t user = 0;
    gid_t group = 0;
    std::vector<gid_t> groups;
};

bool ReadCredentials(const fs::path& file, Credentials* credentials, std::string* problem) {
    std::ifstream in(file);
    bool user = false;
    bool group = false;
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        std::string name;
        fields >> name;
        unsigned long real = 0;
        unsigned long effective = 0;
        if (name == "Uid:" && fields >> real >> effective) {
            credentials->user = static_cast<uid_t>(effective);
            user = true;
        } else if (name == "Gid:" && fields >> real >> effective) {
            credentials->group = static_cast<gid_t>(effective);
            group = true;
        } else if (name == "Groups:") {
            for (unsigned long id = 0; fields >> id;) credentials->groups.push_back(static_cast<gid_t>(id));
        }
    }
    if (!user || !group) *problem = "cannot read the user of the process from " + file.string();
    return user && group;
}

// Takes on the process's user and groups, so that permissions (may the
// process create files in its log directory?) and the password database
// answer as they do for it. Needed only when this process runs as another
// user, which only root can leave.
bool BecomeUserOf(const Credentials& process, std::string* problem) {
    if (geteuid() == process.user && getegid() == process.group) return true;
    if (setgroups(process.groups.size(), process.groups.data()) != 0 ||
        setresgid(process.group, process.group, process.group) != 0 ||
        setresuid(process.user, process.user, process.user) != 0) {
        *problem = "cannot take on the user " + std::to_string(process.user) +
                   " of the process; run kivlog-doctor as that user or as root";
        return false;
    }
    return true;
}

}  // namespace

bool AdoptTargetProcess(const std::string& pid, std::string* executable, std::string* problem) {
    if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos) {
        *problem = "--pid takes a process id, not \"" + pid + "\"";
        return false;
    }
    const fs::path process = fs::path("/proc") / pid;
    std::error_code error;
    if (!fs::is_directory(process, error)) {
        *problem = "there is no process " + pid + " (no " + process.string() + ")";
        return false;
    }
    std::string workingDirectory;
    std::map<std::string, std::string> variables;
    if (!ReadLink(process / "exe", executable, problem) ||
        !ReadLink(process / "cwd", &workingDirectory, problem) ||
        !ReadEnvironment(process / "environ", &variables, problem)) {
        *problem += " (is the process another user's? run kivlog-doctor as that user)";
        return false;
    }
    Credentials credentials;
    if (!ReadCredentials(process / "status", &credentials, problem) ||
        !BecomeUserOf(credentials, problem)) {
        return false;
    }
    if (chdir(workingDirectory.c_str()) != 0) {
        *problem = "cannot enter the process's working directory " + workingDirectory;
        return false;
    }
    for (const char* name : kDecidingVariables) {
        const auto found = variables.find(name);
        if (found == variables.end()) {
            unsetenv(name);
        } else {
            setenv(name, found->second.c_str(), 1);
        }
    }
    return true;
}

}  // namespace kivdoctor
