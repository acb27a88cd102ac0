#include "ToolPlatform.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <ctime>

namespace kivlog {

bool StandardOutputIsTerminal() {
    return _isatty(_fileno(stdout)) != 0;
}

void UseBinaryStandardStreams() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
}

std::tm LocalTimeNow() {
    const time_t now = time(nullptr);
    std::tm local{};
    localtime_s(&local, &now);
    return local;
}

void AllowManyOpenFiles() {
    // The C runtime allows 512 open streams unless asked for more.
    _setmaxstdio(8192);
}

Removal RemoveUnlessInUse(const std::string& path, bool onlyCheck, std::string* reason) {
    // The file log opens its file without FILE_SHARE_DELETE, so Windows
    // refuses to delete, or to open for deleting, a file that a live
    // process writes.
    bool done = false;
    if (onlyCheck) {
        const HANDLE file = CreateFileA(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        done = file != INVALID_HANDLE_VALUE;
        if (done) CloseHandle(file);
    } else {
        done = DeleteFileA(path.c_str()) != 0;
    }
    if (done) return Removal::kRemoved;
    const DWORD error = GetLastError();
    if (error == ERROR_SHARING_VIOLATION) {
        *reason = "a running process writes it";
        return Removal::kInUse;
    }
    *reason = "error " + std::to_string(error);
    return Removal::kFailed;
}

}  // namespace kivlog
