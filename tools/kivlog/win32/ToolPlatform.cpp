#include "ToolPlatform.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace kivlog {
namespace {

// The C runtime's limit on open descriptors, less a few for itself.
constexpr int kMostStreams = 8192;
constexpr size_t kReserved = 16;

bool FactsOfHandle(HANDLE handle, FileFacts* facts) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (handle == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(handle, &information)) return false;
    facts->device = information.dwVolumeSerialNumber;
    facts->file = (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow;
    facts->size = (std::uint64_t{information.nFileSizeHigh} << 32) | information.nFileSizeLow;
    facts->regular = (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    FILE_STANDARD_INFO standard{};
    facts->deleted = information.nNumberOfLinks == 0 ||
                     (GetFileInformationByHandleEx(handle, FileStandardInfo, &standard, sizeof standard) &&
                      standard.DeletePending);
    return true;
}

std::string ErrorText(DWORD error) {
    return "error " + std::to_string(error);
}

}  // namespace

bool StandardOutputIsTerminal() {
    return _isatty(_fileno(stdout)) != 0;
}

void PrepareStandardStreams() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
}

std::tm LocalTimeNow() {
    const time_t now = time(nullptr);
    std::tm local{};
    localtime_s(&local, &now);
    return local;
}

size_t AllowManyOpenFiles() {
    // The C runtime allows 512 open streams unless asked for more.
    _setmaxstdio(kMostStreams);
    return kMostStreams - kReserved;
}

int OpenForReading(const std::string& path, std::string* reason) {
    // Shared for deleting and renaming, so that prune and the file log's
    // owners are not kept from them by a reader.
    const HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        *reason = ErrorText(GetLastError());
        return kNoFile;
    }
    const int file = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
    if (file < 0) {
        CloseHandle(handle);
        *reason = "too many open files";
    }
    return file;
}

void CloseFile(int file) {
    if (file > kStandardInput) _close(file);
}

long long ReadSome(int file, char* buffer, size_t size, std::string* reason) {
    // ReadFile rather than _read: msvcrt's _read keeps answering 0 once it
    // has met the end of a file, so a followed file's growth went unseen.
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(file));
    DWORD got = 0;
    if (ReadFile(handle, buffer, static_cast<DWORD>(size < INT_MAX ? size : INT_MAX), &got, nullptr)) return got;
    const DWORD error = GetLastError();
    // A pipe whose writer has gone has ended, as a file does.
    if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF) return 0;
    *reason = ErrorText(error);
    return -1;
}

bool SeekTo(int file, std::uint64_t offset) {
    return _lseeki64(file, static_cast<__int64>(offset), SEEK_SET) >= 0;
}

bool WaitForInput(int file, int milliseconds) {
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(file));
    if (GetFileType(handle) != FILE_TYPE_PIPE) return true;
    // Pipes cannot be waited on for data: they are looked at in steps.
    constexpr int kStep = 10;
    for (int waited = 0;; waited += kStep) {
        DWORD available = 0;
        if (!PeekNamedPipe(handle, nullptr, 0, nullptr, &available, nullptr) || available > 0) return true;
        if (waited >= milliseconds) return false;
        Sleep(kStep);
    }
}

bool FactsOfOpenFile(int file, FileFacts* facts) {
    return FactsOfHandle(reinterpret_cast<HANDLE>(_get_osfhandle(file)), facts);
}

bool FactsOfPath(const std::string& path, FileFacts* facts) {
    const HANDLE handle = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    const bool known = FactsOfHandle(handle, facts);
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    return known;
}

}  // namespace kivlog
