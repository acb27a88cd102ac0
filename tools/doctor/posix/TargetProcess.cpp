#include "TargetProcess.h"

#include <fcntl.h>
#include <grp.h>
#include <nss.h>
#include <sys/stat.h>
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

bool ReadWhole(const fs::path& file, std::string* content, std::string* problem) {
    std::ifstream in(file, std::ios::binary);
    content->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!in.is_open() || in.bad()) {
        *problem = "cannot read " + file.string();
        return false;
    }
    return true;
}

// NAME=VALUE entries separated by NULs.
bool ReadEnvironment(const fs::path& file, std::map<std::string, std::string>* variables,
                     std::string* problem) {
    std::string block;
    if (!ReadWhole(file, &block, problem)) return false;
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

// The real and effective user and group and the supplementary groups of a
// process, from its status file.
struct Credentials {
    uid_t realUser = 0;
    uid_t effectiveUser = 0;
    gid_t realGroup = 0;
    gid_t effectiveGroup = 0;
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
            credentials->realUser = static_cast<uid_t>(real);
            credentials->effectiveUser = static_cast<uid_t>(effective);
            user = true;
        } else if (name == "Gid:" && fields >> real >> effective) {
            credentials->realGroup = static_cast<gid_t>(real);
            credentials->effectiveGroup = static_cast<gid_t>(effective);
            group = true;
        } else if (name == "Groups:") {
            for (unsigned long id = 0; fields >> id;) credentials->groups.push_back(static_cast<gid_t>(id));
        }
    }
    if (!user || !group) *problem = "cannot read the user of the process from " + file.string();
    return user && group;
}

// When the process started, from the clock ticks after boot in its stat
// file and the boot time; 0 when unknown.
std::time_t StartTime(const fs::path& process) {
    std::string stat;
    std::string boot;
    std::string ignored;
    if (!ReadWhole(process / "stat", &stat, &ignored) || !ReadWhole("/proc/stat", &boot, &ignored)) {
        return 0;
    }
    // The command name in parentheses may hold blanks; field 22, the start,
    // is the 20th after it.
    const size_t nameEnd = stat.rfind(')');
    if (nameEnd == std::string::npos) return 0;
    std::istringstream fields(stat.substr(nameEnd + 1));
    std::string field;
    for (int i = 0; i < 20 && fields >> field; ++i) {
    }
    const size_t label = boot.find("\nbtime ");
    const long ticks = sysconf(_SC_CLK_TCK);
    if (!fields || label == std::string::npos || ticks <= 0) return 0;
    const unsigned long long afterBoot = std::strtoull(field.c_str(), nullptr, 10);
    const unsigned long long bootTime = std::strtoull(boot.c_str() + label + 7, nullptr, 10);
    return static_cast<std::time_t>(bootTime + afterBoot / static_cast<unsigned long long>(ticks));
}

// The default-named log files among the process's open files.
std::vector<std::string> OpenLogFiles(const fs::path& process) {
    std::vector<std::string> files;
    std::error_code error;
    for (fs::directory_iterator entry(process / "fd", error), end; !error && entry != end;
         entry.increment(error)) {
        const fs::path target = fs::read_symlink(entry->path(), error);
        if (error) {
            error.clear();
            continue;
        }
        const std::string name = target.filename().string();
        if (target.is_absolute() && name.rfind("kiv.log_", 0) == 0 && name.size() > 12 &&
            name.compare(name.size() - 4, 4, ".log") == 0) {
            files.push_back(target.string());
        }
    }
    return files;
}

// Whether the process sees other files than this one: another mount
// namespace or another root directory.
bool SeesOtherFiles(const fs::path& process) {
    std::string own;
    std::string theirs;
    std::string ignored;
    if (!ReadLink("/proc/self/ns/mnt", &own, &ignored) || !ReadLink(process / "ns/mnt", &theirs, &ignored)) {
        return true;
    }
    struct stat ownRoot {};
    struct stat theirRoot {};
    if (stat("/", &ownRoot) != 0 || stat((process / "root").c_str(), &theirRoot) != 0) return true;
    return own != theirs || ownRoot.st_dev != theirRoot.st_dev || ownRoot.st_ino != theirRoot.st_ino;
}

// Before another root is entered, the password database (which the
// library asks for a home directory when HOME is unset) is bound to the C
// library's built-in "files" service: no configuration of the other file
// system is read and no module of it is ever loaded, only its data.
void KeepNameServiceBuiltIn() {
    __nss_configure_lookup("passwd", "files");
}

// Makes the process's root, as it sees it through its mount namespace, this
// process's root. Only root may.
bool EnterRootOf(const fs::path& process, std::string* problem) {
    KeepNameServiceBuiltIn();
    const int root = open((process / "root").c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    const bool entered = root >= 0 && fchdir(root) == 0 && chroot(".") == 0;
    if (root >= 0) close(root);
    if (!entered) {
        *problem = "the process sees other files than kivlog-doctor (its own mount namespace or "
                   "root directory), and only root can follow it there";
    }
    return entered;
}

// Takes on the process's real user and groups for good, so that permissions
// (may the process create files in its log directory?) and the password
// database answer as they do for it, and no file is read with more rights
// than the process's user has. Needed only when this process runs as
// another user, which only root can leave.
bool BecomeUserOf(const Credentials& process, std::string* problem) {
    const uid_t user = process.realUser;
    const gid_t group = process.realGroup;
    if (getuid() == user && geteuid() == user && getgid() == group && getegid() == group) return true;
    uid_t real = 0, effective = 0, saved = 0;
    gid_t realGroup = 0, effectiveGroup = 0, savedGroup = 0;
    if (setgroups(process.groups.size(), process.groups.data()) != 0 ||
        setresgid(group, group, group) != 0 || setresuid(user, user, user) != 0 ||
        getresuid(&real, &effective, &saved) != 0 || getresgid(&realGroup, &effectiveGroup, &savedGroup) != 0 ||
        real != user || effective != user || saved != user || realGroup != group ||
        effectiveGroup != group || savedGroup != group) {
        *problem = "cannot take on the user " + std::to_string(user) +
                   " of the process; run kivlog-doctor as that user or as root";
        return false;
    }
    return true;
}

}  // namespace

bool AdoptTargetProcess(const std::string& pid, TargetProcess* target, std::string* problem) {
    if (pid.empty() || pid.size() > 10 || pid.find_first_not_of("0123456789") != std::string::npos) {
        *problem = "--pid takes a process id, not \"" + pid + "\"";
        return false;
    }
    const fs::path process = fs::path("/proc") / pid;
    std::error_code error;
    if (!fs::is_directory(process, error)) {
        *problem = "there is no process " + pid + " (no " + process.string() + ")";
        return false;
    }
    Credentials credentials;
    if (!ReadCredentials(process / "status", &credentials, problem)) return false;
    if (credentials.realUser != credentials.effectiveUser ||
        credentials.realGroup != credentials.effectiveGroup) {
        *problem = "process " + pid + " runs with other real and effective user or group ids (a "
                   "setuid or setgid program); kivlog-doctor does not judge it, since that would read "
                   "files with rights its user lacks";
        return false;
    }
    std::map<std::string, std::string> variables;
    if (!ReadLink(process / "exe", &target->executable, problem) ||
        !ReadEnvironment(process / "environ", &variables, problem)) {
        *problem += " (is the process another user's? run kivlog-doctor as that user)";
        return false;
    }
    target->started = StartTime(process);
    target->openLogFiles = OpenLogFiles(process);
    const int workingDirectory = open((process / "cwd").c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (workingDirectory < 0) {
        *problem = "cannot open the working directory of process " + pid;
        return false;
    }
    const bool adopted = (!SeesOtherFiles(process) || EnterRootOf(process, problem)) &&
                         BecomeUserOf(credentials, problem);
    const bool entered = adopted && fchdir(workingDirectory) == 0;
    close(workingDirectory);
    if (!adopted) return false;
    if (!entered) {
        *problem = "cannot enter the working directory of process " + pid;
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
