// What kivlog needs of the operating system beyond portable C++; one
// definition per platform (posix/, win32/).
#ifndef KIVLOGGING_TOOLS_KIVLOG_TOOLPLATFORM_H
#define KIVLOGGING_TOOLS_KIVLOG_TOOLPLATFORM_H

#include <ctime>
#include <string>

namespace kivlog {

// Whether standard output is a terminal.
bool StandardOutputIsTerminal();

// Makes standard input and output pass bytes unchanged (no CR LF
// conversion).
void UseBinaryStandardStreams();

// The local time now.
std::tm LocalTimeNow();

// Raises the number of files the process may hold open as far as the system
// allows: every input of a merge stays open, and a log directory collects a
// file per process start.
void AllowManyOpenFiles();

enum class Removal {
    // Deleted, or with onlyCheck, free to be deleted.
    kRemoved,
    // A live process writes the file (it holds the file log's lock).
    kInUse,
    kFailed,
};

// Deletes the file unless a running process writes it as a log file; with
// onlyCheck, only says which it would be. On failure, *reason says why.
Removal RemoveUnlessInUse(const std::string& path, bool onlyCheck, std::string* reason);

}  // namespace kivlog

#endif  // KIVLOGGING_TOOLS_KIVLOG_TOOLPLATFORM_H
