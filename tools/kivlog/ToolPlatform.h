// What kivlog needs of the operating system beyond portable C++; one
// definition per platform (posix/, win32/).
#ifndef KIVLOGGING_TOOLS_KIVLOG_TOOLPLATFORM_H
#define KIVLOGGING_TOOLS_KIVLOG_TOOLPLATFORM_H

#include <string>

namespace kivlog {

// Whether standard output is a terminal.
bool StandardOutputIsTerminal();

// Makes standard input and output pass bytes unchanged (no CR LF
// conversion).
void UseBinaryStandardStreams();

// Raises the number of files the process may hold open as far as the system
// allows: every input of a merge stays open, and a log directory collects a
// file per process start.
void AllowManyOpenFiles();

enum class Removal {
    kRemoved,
    // A live process has the file open (it holds the file log's lock).
    kInUse,
    kFailed,
};

// Deletes the file unless a process still has it open as a log file. On
// failure, *reason says why.
Removal RemoveUnlessInUse(const std::string& path, std::string* reason);

}  // namespace kivlog

#endif  // KIVLOGGING_TOOLS_KIVLOG_TOOLPLATFORM_H
