#include "ToolPlatform.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

namespace kivlog {

bool StandardOutputIsTerminal() {
    return _isatty(_fileno(stdout)) != 0;
}

void UseBinaryStandardStreams() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
}

void AllowManyOpenFiles() {
    // The C runtime allows 512 open streams unless asked for more.
    _setmaxstdio(8192);
}

Removal RemoveUnlessInUse(const std::string& path, std::string* reason) {
    // The file log opens its file without FILE_SHARE_DELETE, so Windows
    // refuses to delete a file that a live process writes.
    if (DeleteFileA(path.c_str())) return Removal::kRemoved;
    const DWORD error = GetLastError();
    if (error == ERROR_SHARING_VIOLATION) {
        *reason = "a running process has it open";
        return Removal::kInUse;
    }
    *reason = "error " + std::to_string(error);
    return Removal::kFailed;
}

}  // namespace kivlog
