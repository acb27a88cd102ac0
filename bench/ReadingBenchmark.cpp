// Reading speed of kivlog on a large log file written by the library, side
// by side in one run with the searches a person would otherwise use:
//   kivlog --level ERROR FILE      against grep -c ' ERROR \[' FILE (parses
//                                  nothing) and awk -v RS= '/ ERROR \[/'
//                                  (paragraph mode, the hand-written way);
//   kivlog --json FILE             converting every record;
//   kivlog --level ERROR DIR       merging the same records spread over
//                                  3000 files, against the same bytes as
//                                  one file;
//   kivlog --json CONTROLS         one record of 50 MB of control
//                                  characters, six bytes each in JSON.
// Each command runs several times, interleaved, with its output going to a
// file (GNU grep stops at the first match when its output is /dev/null),
// after what earlier commands wrote is on the disk; the best time and the
// peak resident memory of each are shown.
#include <fcntl.h>
#include <logging/MsgLog.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

using namespace ORVA::KIV::System::Utility::Logging;

extern char** environ;

namespace {

struct Options {
    long megabytes = 512;
    int repetitions = 3;
    std::filesystem::path directory = std::filesystem::temp_directory_path() / "kivlog-read-bench";
};

struct Command {
    std::string name;
    std::vector<std::string> arguments;
    double bestSeconds = 1e30;
    long peakKilobytes = 0;
};

// Writes messages through a file log until the file holds the size: one in
// twenty an ERROR, some texts of several lines. Returns the ERROR count.
long WriteLog(const std::filesystem::path& file, long bytes) {
    IMsgLog::TurnLoggingOn();
    IMsgLog* log = MsgLogFactory::NewMsgLog(IMsgLog::MSG_LOG_PLAIN_FILE, file.string().c_str());
    const char* methods[] = {"Reader::Open", "OrderJob::Process", "Session::Close", "Cache::Evict"};
    long errors = 0;
    for (long i = 0; (i & 0xFFFF) != 0 || static_cast<long>(std::filesystem::file_size(file)) < bytes; ++i) {
        const std::string text = "request " + std::to_string(i) + " for user u" + std::to_string(i % 977) +
                                 (i % 7 == 0 ? "\nsecond line of the text" : "");
        const char* method = methods[i % 4];
        if (i % 20 == 0) {
            log->Error(method, text.c_str(), "(U) ");
            ++errors;
        } else if (i % 3 == 0) {
            log->Warn(method, text.c_str(), "(U) ");
        } else {
            log->Info(method, text.c_str(), "(U) ");
        }
    }
    MsgLogFactory::DeleteMsgLog(&log);
    return errors;
}

// Runs the command with standard output to the file; wall seconds and the
// child's peak resident memory.
double Run(const std::vector<std::string>& arguments, const char* output, long* peakKilobytes) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const auto start = std::chrono::steady_clock::now();
    pid_t child = -1;
    if (posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "cannot start %s\n", argv[0]);
        std::exit(1);
    }
    posix_spawn_file_actions_destroy(&actions);
    // The peak resident memory is sampled from /proc while the child runs:
    // the rusage of a spawned child also counts the parent's memory, which
    // the child shared until it started the program.
    siginfo_t info{};
    const std::string statusPath = "/proc/" + std::to_string(child) + "/status";
    *peakKilobytes = 0;
    for (;;) {
        info.si_pid = 0;
        waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOHANG | WNOWAIT);
        if (info.si_pid != 0) break;
        std::FILE* status = std::fopen(statusPath.c_str(), "r");
        char line[256];
        while (status != nullptr && std::fgets(line, sizeof line, status) != nullptr) {
            long kilobytes = 0;
            if (std::sscanf(line, "VmHWM: %ld", &kilobytes) == 1) *peakKilobytes = std::max(*peakKilobytes, kilobytes);
        }
        if (status != nullptr) std::fclose(status);
        usleep(2000);
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    waitpid(child, nullptr, 0);
    return elapsed.count();
}

std::string ReadAll(const std::filesystem::path& file) {
    std::FILE* in = std::fopen(file.string().c_str(), "rb");
    std::string content;
    char chunk[1 << 16];
    for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, in)) > 0;) content.append(chunk, got);
    std::fclose(in);
    return content;
}

void WriteAll(const std::filesystem::path& file, std::string_view bytes) {
    std::FILE* out = std::fopen(file.string().c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
}

long CountOccurrences(const std::filesystem::path& file, const std::string& pattern) {
    const std::string content = ReadAll(file);
    long count = 0;
    for (size_t at = content.find(pattern); at != std::string::npos; at = content.find(pattern, at + 1)) ++count;
    return count;
}

// Deals the messages of the log out to `count` files in turn, so that
// merging them interleaves every file; writes the same bytes as one file
// too.
void SpreadOver(const std::filesystem::path& log, int count, const std::filesystem::path& directory,
                const std::filesystem::path& together) {
    std::filesystem::remove_all(directory);
    std::filesystem::create_directories(directory);
    const std::string content = ReadAll(log);
    std::vector<std::string> files(static_cast<size_t>(count));
    // Each message starts at the last line end of "\n\n\n(U) ".
    size_t start = content.find("\n(U) ");
    for (size_t record = 0; start != std::string::npos; ++record) {
        const size_t next = content.find("\n\n\n(U) ", start);
        const size_t end = next == std::string::npos ? content.size() : next + 2;
        files[record % files.size()].append(content, start, end - start);
        start = next == std::string::npos ? next : end;
    }
    std::string all;
    for (int i = 0; i < count; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "kiv.log_2024-03-05_07_08_09_%d.log", i + 2);
        WriteAll(directory / name, files[static_cast<size_t>(i)]);
        all += files[static_cast<size_t>(i)];
    }
    WriteAll(together, all);
}

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        if (name == "--megabytes") options.megabytes = std::atol(argv[i + 1]);
        else if (name == "--repetitions") options.repetitions = std::atoi(argv[i + 1]);
        else if (name == "--dir") options.directory = argv[i + 1];
    }
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = ParseOptions(argc, argv);
    std::filesystem::create_directories(options.directory);
    const std::filesystem::path file = options.directory / "large.log";
    std::filesystem::remove(file);
    const long errors = WriteLog(file, options.megabytes << 20);
    const double megabytes = std::filesystem::file_size(file) / 1048576.0;
    const std::string path = file.string();
    const std::string kivlog = KIVLOG_TOOL_PATH;

    // The merge: the messages over 3000 files, and their bytes as one file.
    constexpr int kFiles = 3000;
    const std::filesystem::path spread = options.directory / "spread";
    const std::filesystem::path together = options.directory / "together.log";
    SpreadOver(file, kFiles, spread, together);
    const double spreadMegabytes = std::filesystem::file_size(together) / 1048576.0;
    // One record of 50 MB of control characters.
    const std::filesystem::path controls = options.directory / "controls.log";
    WriteAll(controls, "\n(U) INFO [2024/03/05 07:08:09] M:\n" + std::string(50 << 20, '\x01') + "\n\n");

    std::vector<Command> commands = {
        {"kivlog --level ERROR", {kivlog, "--level", "ERROR", path}},
        {"grep -c ' ERROR \\['", {"grep", "-c", " ERROR \\[", path}},
        {"awk -v RS= '/ ERROR \\[/'", {"awk", "-v", "RS=", "/ ERROR \\[/", path}},
        {"kivlog --json", {kivlog, "--json", path}},
        {"kivlog --level ERROR, 3000 files", {kivlog, "--level", "ERROR", spread.string()}},
        {"kivlog --level ERROR, the same as one file", {kivlog, "--level", "ERROR", together.string()}},
        {"kivlog --json, a 50 MB record of controls", {kivlog, "--json", controls.string()}},
    };
    // Once untimed, which also brings the file into the page cache.
    long ignored = 0;
    const std::string found = (options.directory / "errors.log").string();
    Run(commands[0].arguments, found.c_str(), &ignored);
    const bool allFound = CountOccurrences(found, "\n(U) ERROR [") == errors;
    std::filesystem::remove(found);
    // Every output goes to a file: GNU grep stops at the first match when
    // its output is /dev/null.
    const std::string output = (options.directory / "output.txt").string();
    for (int repetition = 0; repetition < options.repetitions; ++repetition) {
        for (Command& command : commands) {
            long peak = 0;
            // Truncating the last, large output would be timed with the
            // command, and so would writing the earlier outputs back to the
            // disk, which the system does in the background.
            std::filesystem::remove(output);
            sync();
            command.bestSeconds = std::min(command.bestSeconds, Run(command.arguments, output.c_str(), &peak));
            command.peakKilobytes = std::max(command.peakKilobytes, peak);
        }
    }
    for (const std::filesystem::path& made : {file, together, controls, std::filesystem::path(output)}) {
        std::filesystem::remove(made);
    }
    std::filesystem::remove_all(spread);

    std::printf("a %.0f MB log file written by the library (%ld ERROR messages), page-cached; best of %d\n\n",
                megabytes, errors, options.repetitions);
    std::printf("| command | seconds | MB/s | peak resident memory, MB |\n|---|---:|---:|---:|\n");
    const double sizes[] = {megabytes, megabytes, megabytes, megabytes, spreadMegabytes, spreadMegabytes, 50};
    for (size_t i = 0; i < commands.size(); ++i) {
        const Command& command = commands[i];
        std::printf("| `%s` | %.3f | %.0f | %.1f |\n", command.name.c_str(), command.bestSeconds,
                    sizes[i] / command.bestSeconds, command.peakKilobytes / 1024.0);
    }
    const double level = megabytes / commands[0].bestSeconds;
    std::printf("\n| ratio | value | target |\n|---|---:|---:|\n");
    std::printf("| kivlog --level ERROR / grep -c | %.2f | >= 0.5 |\n", level / (megabytes / commands[1].bestSeconds));
    std::printf("| kivlog --level ERROR / awk paragraph mode | %.2f | >= 3.5 |\n",
                level / (megabytes / commands[2].bestSeconds));
    std::printf("| kivlog --json, MB/s | %.0f | >= 300 |\n", megabytes / commands[3].bestSeconds);
    std::printf("| 3000 files merged / one file, time | %.2f | <= 2 |\n",
                commands[4].bestSeconds / commands[5].bestSeconds);
    long peak = 0;
    for (const Command& command : commands) {
        if (command.arguments[0] == kivlog) peak = std::max(peak, command.peakKilobytes);
    }
    std::printf("| kivlog's peak resident memory, MiB | %.1f | <= 32 |\n", peak / 1024.0);
    std::printf("\nkivlog found every ERROR message: %s\n", allFound ? "yes" : "no");
    return allFound ? 0 : 1;
}
