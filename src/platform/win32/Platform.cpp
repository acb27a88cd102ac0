#include "platform/Platform.h"

#include <fcntl.h>
#include <io.h>
#include <objbase.h>
#include <shlobj.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <vector>

namespace ORVA::KIV::System::Utility::Logging::Platform {

const char kDirectorySeparator = '\\';
const char kAlternateSeparator = '/';

namespace {

// The first size tried for an environment value, in wide characters.
constexpr DWORD kEnvironmentBufferSize = 32802;
// The most wide characters asked for in one read: the longest value Windows
// allows. Wine fails a read that offers a larger buffer (its count overflows),
// so the buffer is never offered as larger than this.
constexpr DWORD kLargestRead = 32767;
// How often a growing value is read again before it counts as absent.
constexpr int kEnvironmentReads = 10;
// The longest executable path taken, in bytes.
constexpr DWORD kExecutablePathSize = 8192;

// Converts with the C runtime in its current locale into a new[] buffer of
// four bytes per wide character plus one. False, with *pNarrow null, for an
// empty string or a character the locale cannot represent.
bool ConvertWideToMultiByte(const wchar_t* wide, char** pNarrow) {
    *pNarrow = nullptr;
    if (wide == nullptr || wide[0] == L'\0') return false;
    const size_t capacity = std::wcslen(wide) * 4 + 1;
    std::unique_ptr<char[]> narrow(new char[capacity]());
    size_t converted = 0;
    if (wcstombs_s(&converted, narrow.get(), capacity, wide, _TRUNCATE) != 0 || converted == 0) {
        return false;
    }
    narrow[capacity - 1] = '\0';
    *pNarrow = narrow.release();
    return true;
}

// The name in wide characters of the ANSI code page; empty on failure.
std::wstring WideName(const char* name) {
    const int length = MultiByteToWideChar(CP_ACP, 0, name, -1, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, name, -1, wide.data(), length);
    wide.resize(static_cast<size_t>(length - 1));
    return wide;
}

}  // namespace

std::optional<std::string> GetEnvironmentValue(const char* name) {
    if (name == nullptr) return std::nullopt;
    const std::wstring wideName = WideName(name);
    if (wideName.empty()) return std::nullopt;
    DWORD size = kEnvironmentBufferSize;
    for (int read = 0; read < kEnvironmentReads; ++read) {
        std::vector<wchar_t> buffer(size, L'\0');
        const DWORD offered = size < kLargestRead ? size : kLargestRead;
        const DWORD result = GetEnvironmentVariableW(wideName.c_str(), buffer.data(), offered);
        if (result == 0) return std::nullopt;
        if (result < offered) {
            buffer[result] = L'\0';
            char* narrow = nullptr;
            if (!ConvertWideToMultiByte(buffer.data(), &narrow)) return std::nullopt;
            const std::unique_ptr<char[]> owned(narrow);
            return std::string(narrow);
        }
        // The value grew to the size it needs; read again with room for it.
        size = result + 2;
    }
    return std::nullopt;
}

std::optional<std::string> GetExecutablePath() {
    std::vector<char> path(kExecutablePathSize + 1, '\0');
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), kExecutablePathSize);
    if (length == 0 || length == kExecutablePathSize) return std::nullopt;
    return std::string(path.data(), length);
}

std::string GetDocumentsFolder() {
    PWSTR widePath = nullptr;
    if (FAILED(SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &widePath)) ||
        widePath == nullptr) {
        CoTaskMemFree(widePath);
        return std::string();
    }
    std::string folder;
    try {
        const int length = WideCharToMultiByte(CP_ACP, 0, widePath, -1, nullptr, 0, nullptr, nullptr);
        if (length > 1) {
            folder.resize(static_cast<size_t>(length));
            WideCharToMultiByte(CP_ACP, 0, widePath, -1, folder.data(), length, nullptr, nullptr);
            folder.resize(static_cast<size_t>(length - 1));
        }
    } catch (...) {
        folder.clear();
    }
    CoTaskMemFree(widePath);
    return folder;
}

bool FileExists(const char* path) {
    struct _stat64 status {};
    return path != nullptr && _stat64(path, &status) == 0;
}

bool DirectoryExists(const char* path) {
    if (path == nullptr) return false;
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool ConvertToLocalTime(std::time_t time, std::tm* local) {
    return localtime_s(local, &time) == 0;
}

OpenedFile OpenFileForWriting(const char* path, FileCreation creation) {
    // Text mode turns each line feed into CR LF; _open shares the file with
    // other readers and writers.
    int flags = _O_WRONLY | _O_CREAT | _O_APPEND | _O_TEXT | _O_NOINHERIT;
    flags |= creation == FileCreation::kCreateNew ? _O_EXCL : _O_TRUNC;
    OpenedFile opened;
    const int descriptor = _open(path, flags, _S_IREAD | _S_IWRITE);
    opened.handle = descriptor < 0 ? kNoFile : descriptor;
    opened.nameTaken = descriptor < 0 && errno == EEXIST;
    return opened;
}

bool WriteToFile(FileHandle file, const char* bytes, size_t size) {
    while (size > 0) {
        const unsigned int chunk = size > 0x40000000u ? 0x40000000u : static_cast<unsigned int>(size);
        const int written = _write(static_cast<int>(file), bytes, chunk);
        if (written <= 0) return false;
        bytes += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

bool CloseFile(FileHandle file) {
    return _close(static_cast<int>(file)) == 0;
}

}  // namespace ORVA::KIV::System::Utility::Logging::Platform
