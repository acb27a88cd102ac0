#include "support/ProcessRunner.h"

#include <windows.h>

#include "support/win32/CommandLine.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace kivtest {
namespace {

// Quotes an argument so that the C runtime's command-line parser gives it
// back unchanged.
std::string QuoteArgument(const std::string& argument) {
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') {
            quoted.append(backslashes * 2 + 1, '\\');
        } else {
            quoted.append(backslashes, '\\');
        }
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    return quoted + "\"";
}

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

// The inherited environment with the changes applied, as a block of
// NUL-terminated entries ending in an empty one.
std::string EnvironmentBlock(const EnvironmentChanges& changes) {
    std::string block;
    char* strings = GetEnvironmentStringsA();
    for (const char* entry = strings; entry != nullptr && *entry != '\0';
         entry += std::strlen(entry) + 1) {
        const std::string variable(entry);
        const std::string name = variable.substr(0, variable.find('=', 1));
        const bool changed = std::any_of(changes.begin(), changes.end(), [&](const auto& change) {
            return SameName(change.first, name);
        });
        if (!changed) block.append(variable).push_back('\0');
    }
    FreeEnvironmentStringsA(strings);
    for (const auto& [name, value] : changes) {
        if (value) block.append(name + "=" + *value).push_back('\0');
    }
    block.push_back('\0');
    return block;
}

}  // namespace

std::string CommandLine(const std::string& program, const std::vector<std::string>& arguments) {
    std::string commandLine = QuoteArgument(program);
    for (const std::string& argument : arguments) commandLine += " " + QuoteArgument(argument);
    return commandLine;
}

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const EnvironmentChanges& environment, Captured captured) {
    ProcessResult result;
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) return result;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    std::string commandLine = CommandLine(program, arguments);
    std::string block = EnvironmentBlock(environment);

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = captured == Captured::kOutputAndErrors ? writeEnd : GetStdHandle(STD_ERROR_HANDLE);
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                       0, block.data(), nullptr, &startup, &process);
    CloseHandle(writeEnd);
    char buffer[4096];
    DWORD count = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &count, nullptr) && count > 0) {
        result.output.append(buffer, count);
    }
    CloseHandle(readEnd);
    if (!started) return result;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    result.exitCode = static_cast<int>(exitCode);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return result;
}

}  // namespace kivtest
