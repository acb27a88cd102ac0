#include "platform/DirectoryEntries.h"

#include <windows.h>

#include <ctime>

#include "platform/win32/WideText.h"

namespace ORVA::KIV::System::Utility::Logging::Platform {

const char kPathSeparator = '\\';
namespace {

// FileDispositionInfoEx, which the headers declare only for programs that
// require Windows 10 1709; older systems refuse it and the plain
// disposition is used.
constexpr auto kDispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);

// 100-nanosecond ticks from 1601 to 1970.
constexpr std::int64_t kTicksTo1970 = 116444736000000000LL;

std::int64_t SecondsSince1970(const FILETIME& time) {
    const std::int64_t ticks =
        static_cast<std::int64_t>((std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime);
    return (ticks - kTicksTo1970) / 10000000;
}

std::string ErrorText(DWORD error) {
    return "error " + std::to_string(error);
}

}  // namespace

bool ListDirectory(const std::string& directory, bool (*keep)(const std::string& name),
                   std::vector<DirectoryEntry>* entries, std::string* reason) {
    std::string pattern = directory;
    if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/') pattern += '\\';
    pattern += '*';
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileExW(WidePath(pattern).c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                           nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) return true;
        *reason = ErrorText(error);
        return false;
    }
    bool listed = true;
    try {
        do {
            std::string name = PathOfWide(found.cFileName);
            if (!keep(name)) continue;
            DirectoryEntry entry;
            entry.name = std::move(name);
            // A link (reparse point), directory or device is no log file.
            entry.regular = (found.dwFileAttributes &
                             (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)) == 0;
            entry.size = (std::uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow;
            entry.writtenAt = SecondsSince1970(found.ftLastWriteTime);
            entries->push_back(std::move(entry));
        } while (FindNextFileW(search, &found));
        if (GetLastError() != ERROR_NO_MORE_FILES) {
            *reason = ErrorText(GetLastError());
            listed = false;
        }
    } catch (...) {
        *reason = "out of memory";
        listed = false;
    }
    FindClose(search);
    return listed;
}

std::int64_t SecondsNow() {
    return static_cast<std::int64_t>(std::time(nullptr));
}

Removal RemoveUnlessInUse(const std::string& path, bool onlyCheck, std::string* reason) {
    // The file log opens its file without FILE_SHARE_DELETE, so Windows
    // refuses to open for deleting a file that a live process writes. The
    // handle deletes the file it opened, not whatever the name names later.
    const HANDLE file = CreateFileW(WidePath(path).c_str(), DELETE | FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_SHARING_VIOLATION) {
            *reason = "a running process writes it";
            return Removal::kInUse;
        }
        *reason = ErrorText(error);
        return Removal::kFailed;
    }
    Removal result = Removal::kRemoved;
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(file, &information) ||
        (information.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
        *reason = "not a regular file";
        result = Removal::kFailed;
    } else if (!onlyCheck) {
        // POSIX semantics take the name away at once, even while a reader
        // such as kivlog -f still has the file open (which then sees it
        // gone and closes it, freeing its space); where the system lacks
        // them, the file goes when the last handle closes.
        FILE_DISPOSITION_INFO_EX posix{};
        posix.Flags = FILE_DISPOSITION_FLAG_DELETE | FILE_DISPOSITION_FLAG_POSIX_SEMANTICS;
        FILE_DISPOSITION_INFO disposition{};
        disposition.DeleteFile = TRUE;
        if (!SetFileInformationByHandle(file, kDispositionInfoEx, &posix, sizeof posix) &&
            !SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition)) {
            const DWORD error = GetLastError();
            result = error == ERROR_SHARING_VIOLATION ? Removal::kInUse : Removal::kFailed;
            *reason = result == Removal::kInUse ? "a running process writes it" : ErrorText(error);
        }
    }
    CloseHandle(file);
    return result;
}

}  // namespace ORVA::KIV::System::Utility::Logging::Platform
