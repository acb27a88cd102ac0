// A small program linked to the shared library that the configuration tests
// start with an environment of their own. Each argument is one step; what a
// step reports is printed as a line "@ key=value", between the library's own
// console output.
#include <logging/MsgLog.h>
#include <logging/MsgLogThreshold.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "support/ForkWhileLogging.h"

using namespace ORVA::KIV::System::Utility::Logging;

namespace {

// Reaches the protected parts of the interface that tests report on.
class ProbeAccess : public SysOutMsgLog {
public:
    static int LevelCode() { return c_loggingLevelCode; }
    static std::string HomeFolder() { return GetCurrentUserHomeFolder(); }
};

void Report(const std::string& key, const std::string& value) {
    std::printf("@ %s=%s\n", key.c_str(), value.c_str());
    std::fflush(stdout);
}

void Report(const std::string& key, const char* value) {
    Report(key, std::string(value != nullptr ? value : "(null)"));
}

void Report(const std::string& key, bool value) {
    Report(key, std::string(value ? "1" : "0"));
}

// Decodes \n, \r, \t, \\ and \xHH.
std::string Unescape(const std::string& text) {
    std::string result;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            result += text[i];
            continue;
        }
        const char code = text[++i];
        if (code == 'n') result += '\n';
        else if (code == 'r') result += '\r';
        else if (code == 't') result += '\t';
        else if (code == 'x' && i + 2 < text.size()) {
            result += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else result += code;
    }
    return result;
}

void ReportSettings() {
    Report("logging", IMsgLog::LoggingIsOn() ? "on" : "off");
    IMsgLog* log = SysOutMsgLog::NewSysOutMsgLog();
    Report("level", log->GetLoggingLevel());
    Report("code", std::to_string(ProbeAccess::LevelCode()));
    Report("debug", log->DebugEnabled());
    Report("info", log->InfoEnabled());
    MsgLogFactory::DeleteMsgLog(&log);
}

void ReportSystemLogger() {
    IMsgLog* system = MsgLogFactory::GetGlobalSystemLogger();
    Report("system", system != nullptr ? "present" : "absent");
    if (system == nullptr) return;
    Report("system-type", std::to_string(system->MsgLogType()));
    Report("system-can", system->CanLogMessages());
    Report("system-name", system->GetName());
}

// Threads that each write count messages through the system logger.
void WriteFromThreads(int threads, int count) {
    std::vector<std::thread> writers;
    for (int t = 0; t < threads; ++t) {
        writers.emplace_back([t, count] {
            IMsgLog* system = MsgLogFactory::GetGlobalSystemLogger();
            for (int m = 0; m < count && system != nullptr; ++m) {
                const std::string text = "thread " + std::to_string(t) + " message " + std::to_string(m);
                system->Info("Probe::Thread", text.c_str(), "(U) ");
            }
        });
    }
    for (std::thread& writer : writers) writer.join();
}

// Threads that each look a property up count times; under dynamic logging
// every lookup reads the properties file again.
void LookUpFromThreads(int threads, int count) {
    std::vector<std::thread> readers;
    std::vector<int> answered(static_cast<size_t>(threads), 0);
    for (int t = 0; t < threads; ++t) {
        readers.emplace_back([t, count, &answered] {
            for (int i = 0; i < count; ++i) {
                const char* status = IMsgLog::GetLoggingSystemProperty(IMsgLog::PropertyKey::LOGGING_STATUS);
                const char* directory = IMsgLog::GetLoggingSystemProperty(IMsgLog::PropertyKey::LOG_DIR);
                if (status != nullptr && directory != nullptr) ++answered[static_cast<size_t>(t)];
            }
        });
    }
    for (std::thread& reader : readers) reader.join();
    int total = 0;
    for (int count : answered) total += count;
    Report("lookups-answered", std::to_string(total));
}

// Threads that race to make the first call of GetGlobalSystemLogger.
void RaceFirstCalls(int threads) {
    std::vector<IMsgLog*> seen(static_cast<size_t>(threads));
    std::vector<std::thread> callers;
    for (int t = 0; t < threads; ++t) {
        callers.emplace_back([&seen, t] { seen[static_cast<size_t>(t)] = MsgLogFactory::GetGlobalSystemLogger(); });
    }
    for (std::thread& caller : callers) caller.join();
    bool same = true;
    for (IMsgLog* logger : seen) same = same && logger == seen.front();
    Report("first-calls-same", same);
    Report("first-calls-present", seen.front() != nullptr);
}

// A service object that reports its stop from its destructor, the way
// applications log from static and thread-local destructors.
struct LogsWhenDestroyed {
    IMsgLog* log;
    const char* text;
    ~LogsWhenDestroyed() {
        if (log != nullptr) log->Info("Service::~Service", text, "(U) ");
    }
};

// Logs from the destructor of a thread-local object of a worker thread, and
// arranges the same from a static destructor at exit.
void LogFromDestructors(IMsgLog* system) {
    static LogsWhenDestroyed service{system, "stopped at exit"};
    std::thread([system] {
        thread_local LogsWhenDestroyed worker{system, "stopped at thread exit"};
        if (system != nullptr) system->Info("Worker::Run", "working", "(U) ");
    }).join();
}

// Forks children while a thread logs through the system logger, a file log
// at path and a console log, and looks properties up; each child logs once
// through all three.
void ForkChildren(IMsgLog* system, int children, const std::string& path) {
    IMsgLog* own = MsgLogFactory::NewMsgLog(IMsgLog::MSG_LOG_PLAIN_FILE, path.c_str());
    IMsgLog* console = SysOutMsgLog::NewSysOutMsgLog();
    const std::vector<IMsgLog*> logs = {system, own, console};
    // Eight threads, so that children are forked while messages wait in
    // batches; each parent message is numbered, so a copy would show.
    std::atomic<int> parentMessages{0};
    const int finished = kivtest::ForkWhileLogging(
        children, 8,
        [&logs, &parentMessages] {
            const std::string text = "parent " + std::to_string(parentMessages.fetch_add(1));
            for (IMsgLog* log : logs) log->Info("Probe::Parent", text.c_str(), "(U) ");
            IMsgLog::GetLoggingSystemProperty(IMsgLog::PropertyKey::LOG_DIR);
        },
        [&logs](int child) {
            const std::string text = "child " + std::to_string(child);
            for (IMsgLog* log : logs) log->Info("Probe::Child", text.c_str(), "(U) ");
        });
    Report("forked-children-finished", std::to_string(finished));
    MsgLogFactory::DeleteMsgLog(&own);
    MsgLogFactory::DeleteMsgLog(&console);
}

// Waits up to 30 seconds for the path to exist.
void WaitFor(const std::string& path) {
    for (int wait = 0; wait < 3000 && !std::filesystem::exists(path); ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// "PATH|TAG|COUNT": opens a file log at PATH (keeping its content with
// mode Append), says so by creating PATH.TAG.ready, waits for PATH.go, then
// logs COUNT long messages from four threads, so that two processes started
// together append batches of messages to one file at the same time.
void AppendTogether(const std::string& argument, MsgLogFactory::OpenMode mode) {
    const size_t firstBar = argument.find('|');
    const size_t secondBar = argument.find('|', firstBar + 1);
    const std::string path = argument.substr(0, firstBar);
    const std::string tag = argument.substr(firstBar + 1, secondBar - firstBar - 1);
    const int count = std::stoi(argument.substr(secondBar + 1));
    IMsgLog* log = MsgLogFactory::NewMsgLog(IMsgLog::MSG_LOG_PLAIN_FILE, path.c_str(), mode);
    std::ofstream(path + "." + tag + ".ready").put('\n');
    WaitFor(path + ".go");
    // Longer than any buffer a runtime might split a write at.
    const std::string filler(3000, 'x');
    constexpr int kThreads = 4;
    std::vector<std::thread> threads;
    for (int thread = 0; thread < kThreads; ++thread) {
        threads.emplace_back([&, thread] {
            for (int i = thread; i < count; i += kThreads) {
                const std::string text = tag + " " + std::to_string(i) + " " + filler;
                log->Info("Probe::Append", text.c_str(), "(U) ");
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    MsgLogFactory::DeleteMsgLog(&log);
}

// Every level front end of a console log, each form once, and the system
// logger's three-argument ones; each message names its level and form.
void LogAtEveryLevel(IMsgLog* system) {
    IMsgLog* console = SysOutMsgLog::NewSysOutMsgLog();
    using FrontEnd3 = void (IMsgLog::*)(const char*, const char*, const char*);
    using FrontEnd2 = void (IMsgLog::*)(const char*, const char*);
    using FrontEnd1 = void (IMsgLog::*)(const char*);
    const struct {
        const char* name;
        FrontEnd3 three;
        FrontEnd2 two;
        FrontEnd1 one;
    } levels[] = {
        {"debug", &IMsgLog::Debug, &IMsgLog::Debug, &IMsgLog::Debug},
        {"info", &IMsgLog::Info, &IMsgLog::Info, &IMsgLog::Info},
        {"warn", &IMsgLog::Warn, &IMsgLog::Warn, &IMsgLog::Warn},
        {"error", &IMsgLog::Error, &IMsgLog::Error, &IMsgLog::Error},
        {"fatal", &IMsgLog::Fatal, &IMsgLog::Fatal, &IMsgLog::Fatal},
    };
    for (const auto& level : levels) {
        const std::string name = level.name;
        (console->*level.three)("Probe::Levels", (name + "-3").c_str(), "(U) ");
        (console->*level.two)((name + "-2").c_str(), "(U) ");
        (console->*level.one)((name + "-1").c_str());
        if (system != nullptr) (system->*level.three)("Probe::Levels", (name + "-system").c_str(), "(U) ");
    }
    SysOutMsgLog::WriteMessage("raw-write");
    console->LogMessage("raw-console", "(U) ");
    MsgLogFactory::DeleteMsgLog(&console);
}

// The part of a step after its first ':'.
std::string Argument(const std::string& step) {
    const size_t colon = step.find(':');
    return colon == std::string::npos ? std::string() : step.substr(colon + 1);
}

void RunStep(const std::string& step) {
    const std::string name = step.substr(0, step.find(':'));
    const std::string argument = Argument(step);
    IMsgLog* system = nullptr;
    if (name.rfind("sys", 0) == 0) system = MsgLogFactory::GetGlobalSystemLogger();

    if (name == "settings") {
        ReportSettings();
    } else if (name == "prop") {
        Report("prop[" + argument + "]", IMsgLog::GetLoggingSystemProperty(argument.c_str()));
    } else if (name == "prop-stable") {
        const char* first = IMsgLog::GetLoggingSystemProperty(argument.c_str());
        const char* second = IMsgLog::GetLoggingSystemProperty(argument.c_str());
        Report("stable[" + argument + "]", first != nullptr && first == second);
    } else if (name == "write") {
        // "write:PATH|CONTENT": no path of a test contains a vertical bar.
        const size_t bar = argument.find('|');
        std::ofstream(argument.substr(0, bar), std::ios::binary | std::ios::trunc)
            << Unescape(argument.substr(bar + 1));
    } else if (name == "rmdir") {
        std::filesystem::remove_all(argument);
    } else if (name == "on") {
        IMsgLog::TurnLoggingOn();
    } else if (name == "off") {
        IMsgLog::TurnLoggingOff();
    } else if (name == "system") {
        ReportSystemLogger();
    } else if (name == "syslog" && system != nullptr) {
        system->Warn("Probe::Run", Unescape(argument).c_str(), "(U) ");
    } else if (name == "sysplain" && system != nullptr) {
        system->Error(Unescape(argument).c_str());
    } else if (name == "sysraw" && system != nullptr) {
        system->LogMessage(Unescape(argument).c_str(), "(U) ");
    } else if (name == "sysclose" && system != nullptr) {
        system->Close();
        Report("system-can", system->CanLogMessages());
    } else if (name == "sysdelete") {
        IMsgLog* copy = system;
        Report("delete", MsgLogFactory::DeleteMsgLog(&copy));
        Report("delete-kept", copy == system && MsgLogFactory::GetGlobalSystemLogger() == system);
    } else if (name == "sysdestructors") {
        LogFromDestructors(system);
    } else if (name == "sysfork" && system != nullptr) {
        // "sysfork:COUNT:PATH"
        const size_t colon = argument.find(':');
        ForkChildren(system, std::stoi(argument.substr(0, colon)), argument.substr(colon + 1));
    } else if (name == "append") {
        AppendTogether(argument, MsgLogFactory::OpenMode::Replace);
    } else if (name == "append-keep") {
        AppendTogether(argument, MsgLogFactory::OpenMode::Append);
    } else if (name == "cd") {
        std::filesystem::current_path(argument);
    } else if (name == "hold") {
        // "hold:PATH": says PATH.ready, then waits for PATH.go, so that
        // another process runs while this one has its files open.
        std::ofstream(argument + ".ready").put('\n');
        WaitFor(argument + ".go");
    } else if (name == "sysmany" && system != nullptr) {
        // "sysmany:COUNT:LENGTH": COUNT messages "NNNNNN xxx..." of LENGTH
        // characters in all.
        const size_t colon = argument.find(':');
        const int count = std::stoi(argument.substr(0, colon));
        const size_t length = std::stoul(argument.substr(colon + 1));
        for (int i = 0; i < count; ++i) {
            char number[16];
            std::snprintf(number, sizeof number, "%06d ", i);
            std::string text = number;
            text.resize(length > text.size() ? length : text.size(), 'x');
            system->Info("Probe::Many", text.c_str(), "(U) ");
        }
    } else if (name == "threads") {
        const size_t colon = argument.find(':');
        WriteFromThreads(std::stoi(argument.substr(0, colon)), std::stoi(argument.substr(colon + 1)));
    } else if (name == "lookups") {
        const size_t colon = argument.find(':');
        LookUpFromThreads(std::stoi(argument.substr(0, colon)), std::stoi(argument.substr(colon + 1)));
    } else if (name == "first-calls") {
        RaceFirstCalls(std::stoi(argument));
    } else if (name == "syslevels") {
        LogAtEveryLevel(system);
    } else if (name == "threshold") {
        if (!argument.empty()) MsgLogThreshold::Set(static_cast<MsgSeverity>(std::stoi(argument)));
        Report("threshold", std::to_string(static_cast<int>(MsgLogThreshold::Get())));
    } else if (name == "home") {
        Report("home", ProbeAccess::HomeFolder());
    } else {
        Report("unknown-step", step);
    }
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) RunStep(argv[i]);
    return 0;
}
