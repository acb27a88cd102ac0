// Command lines for CreateProcess that the C runtime's parser splits back
// into the same arguments.
#ifndef KIVLOGGING_TESTS_SUPPORT_WIN32_COMMANDLINE_H
#define KIVLOGGING_TESTS_SUPPORT_WIN32_COMMANDLINE_H

#include <string>
#include <vector>

namespace kivtest {

std::string CommandLine(const std::string& program, const std::vector<std::string>& arguments);

// A UTF-8 text, as tests give paths and arguments, for the wide calls.
std::wstring WideFromUtf8(const std::string& text);

}  // namespace kivtest

#endif  // KIVLOGGING_TESTS_SUPPORT_WIN32_COMMANDLINE_H
