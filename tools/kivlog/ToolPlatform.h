// What kivlog needs of the operating system beyond portable C++; one
// definition per platform (posix/, win32/).
#ifndef KIVLOGGING_TOOLS_KIVLOG_TOOLPLATFORM_H
#define KIVLOGGING_TOOLS_KIVLOG_TOOLPLATFORM_H

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>

namespace kivlog {

// Whether standard output is a terminal.
bool StandardOutputIsTerminal();

// Readies the standard streams before anything else is opened: they pass
// bytes unchanged (no CR LF conversion); a closed one stays unusable but
// keeps its number, so that no file kivlog opens is read or written as
// one; and a write past the file size limit fails as a write, rather than
// ending kivlog by a signal.
void PrepareStandardStreams();

// The local time now.
std::tm LocalTimeNow();

// Raises the number of files the process may hold open as far as the system
// allows, and returns how many of them kivlog may use for its inputs.
size_t AllowManyOpenFiles();

// Input files are plain descriptors; -1 is none.
constexpr int kNoFile = -1;
constexpr int kStandardInput = 0;

// What identifies a file whatever its name (device and inode, or volume and
// file index), its size, and whether it is a regular file.
struct FileFacts {
    std::uint64_t device = 0;
    std::uint64_t file = 0;
    std::uint64_t size = 0;
    bool regular = false;
    // Deleted while open: no name is left, or (Windows) it goes when the
    // last handle closes, which a reader holding it would put off forever.
    bool deleted = false;

    bool IsSameFile(const FileFacts& other) const { return device == other.device && file == other.file; }
};

// Opens a file for reading, without keeping others from renaming or
// deleting it; kNoFile with *reason on failure.
int OpenForReading(const std::string& path, std::string* reason);
void CloseFile(int file);
// Reads what is there, up to size bytes, waiting only while nothing is: the
// count, 0 at the end, -1 with *reason on failure.
long long ReadSome(int file, char* buffer, size_t size, std::string* reason);
// Moves to the offset from the start; false on failure.
bool SeekTo(int file, std::uint64_t offset);
// Waits up to timeout for a pipe to hold something to read (or to be
// closed); false when it stays empty. Files are never waited for.
bool WaitForInput(int file, int milliseconds);
// The facts of an open file, and of the file a path names (links
// followed); false when they cannot be had.
bool FactsOfOpenFile(int file, FileFacts* facts);
bool FactsOfPath(const std::string& path, FileFacts* facts);

}  // namespace kivlog

#endif  // KIVLOGGING_TOOLS_KIVLOG_TOOLPLATFORM_H
