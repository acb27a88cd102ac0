// The places where what the tests expect differs between platforms.
#ifndef KIVLOGGING_TESTS_SUPPORT_PLATFORMFACTS_H
#define KIVLOGGING_TESTS_SUPPORT_PLATFORMFACTS_H

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace kivtest {

#if defined(_WIN32)
inline constexpr char kSeparator = '\\';
inline constexpr char kLineEnd[] = "\r\n";
// The Documents folder is the shell's known folder, whatever HOME says.
inline constexpr bool kDocumentsFollowHome = false;
// A program finds the library's DLL beside itself.
inline constexpr bool kLibraryBesideProgram = true;
// A lone separator names no directory.
inline constexpr bool kLoneSeparatorIsRoot = false;
// Thousands of files take seconds to create (under Wine).
inline constexpr bool kFilesAreCheapToCreate = false;
// There is no /proc to read another process's start from.
inline constexpr bool kProcessesCanBeInspected = false;
// No FIFOs or /dev/zero to put where a file is expected.
inline constexpr bool kHasFifosAndDevices = false;
#else
inline constexpr char kSeparator = '/';
inline constexpr char kLineEnd[] = "\n";
inline constexpr bool kDocumentsFollowHome = true;
inline constexpr bool kLibraryBesideProgram = false;
inline constexpr bool kLoneSeparatorIsRoot = true;
inline constexpr bool kFilesAreCheapToCreate = true;
inline constexpr bool kProcessesCanBeInspected = true;
inline constexpr bool kHasFifosAndDevices = true;
#endif

// Makes a FIFO at path where kHasFifosAndDevices; false elsewhere.
bool MakeFifo(const std::string& path);

// The path as text in the process's code page, as callers of the library
// pass file names; nullopt when the code page cannot spell it.
std::optional<std::string> CodePageText(const std::filesystem::path& path);

// Whether the file system of the path ignores setuid bits.
bool IsOnNoSuidMount(const std::string& path);

// The largest peak memory, in bytes, of the child processes waited for so
// far; nothing where the platform does not tell.
std::optional<size_t> LargestChildMemory();

// The text as a log file or a text-mode stream holds it: each line feed
// becomes the platform's line end.
std::string AsFileText(const std::string& text);

// The text read back from a file or a text-mode stream with each of the
// platform's line ends turned into a line feed.
std::string FromFileText(const std::string& text);

// The path with each '/' turned into the platform's separator.
std::string NativeSeparators(std::string path);

// The Documents folder the library will find for a user whose home
// directory is home, as a directory text.
std::string ExpectedDocumentsFolder(const std::string& home);

}  // namespace kivtest

#endif  // KIVLOGGING_TESTS_SUPPORT_PLATFORMFACTS_H
