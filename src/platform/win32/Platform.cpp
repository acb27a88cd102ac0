#include "platform/Platform.h"

#include <objbase.h>
#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <new>
#include <string_view>
#include <vector>

#include "platform/win32/WideText.h"

namespace ORVA::KIV::System::Utility::Logging::Platform {

const char kDirectorySeparator = '\\';
const char kAlternateSeparator = '/';
const bool kLoneSeparatorIsRoot = false;

namespace {

// Other handles and processes may read and write a file while it is open,
// as the C runtime's _open allows.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE;

// The first size tried for an environment value, in wide characters.
constexpr DWORD kEnvironmentBufferSize = 32802;
// The most wide characters asked for in one read: the longest value Windows
// allows. Wine fails a read that offers a larger buffer (its count overflows),
// so the buffer is never offered as larger than this.
constexpr DWORD kLargestRead = 32767;
// How often a growing value is read again before it counts as absent.
constexpr int kEnvironmentReads = 10;
// The longest executable path taken, in wide characters.
constexpr DWORD kExecutablePathSize = 8192;

}  // namespace

std::optional<std::string> GetEnvironmentValue(const char* name) {
    if (name == nullptr) return std::nullopt;
    const std::wstring wideName = WideOf(name, CP_ACP);
    if (wideName.empty()) return std::nullopt;
    DWORD size = kEnvironmentBufferSize;
    for (int read = 0; read < kEnvironmentReads; ++read) {
        std::vector<wchar_t> buffer(size, L'\0');
        const DWORD offered = size < kLargestRead ? size : kLargestRead;
        const DWORD result = GetEnvironmentVariableW(wideName.c_str(), buffer.data(), offered);
        if (result == 0) return std::nullopt;
        if (result < offered) {
            const std::string value = PathOfWide(std::wstring_view(buffer.data(), result));
            if (value.empty()) return std::nullopt;
            return value;
        }
        // The value grew to the size it needs; read again with room for it.
        size = result + 2;
    }
    return std::nullopt;
}

std::optional<std::string> GetExecutablePath() {
    std::vector<wchar_t> path(kExecutablePathSize + 1, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), kExecutablePathSize);
    if (length == 0 || length == kExecutablePathSize) return std::nullopt;
    return PathOfWide(std::wstring_view(path.data(), length));
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
        folder = PathOfWide(widePath);
    } catch (...) {
        folder.clear();
    }
    CoTaskMemFree(widePath);
    return folder;
}

std::string AbsolutePath(const std::string& path) {
    const std::wstring wide = WidePath(path);
    if (wide.empty()) return path;
    const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) return path;
    full.resize(length);
    return PathOfWide(full);
}

bool FileExists(const char* path) {
    const std::wstring wide = WidePath(path);
    return !wide.empty() && GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool DirectoryExists(const char* path) {
    const std::wstring wide = WidePath(path);
    if (wide.empty()) return false;
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool DirectoryAcceptsNewFiles(const char* path) {
    const std::wstring wide = WidePath(path);
    if (wide.empty()) return false;
    // Opening the directory asks for the right to add a file to it, which is
    // granted or refused as creating one would be.
    const HANDLE directory = CreateFileW(wide.c_str(), FILE_ADD_FILE, kShareAll, nullptr, OPEN_EXISTING,
                                         FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (directory == INVALID_HANDLE_VALUE) return false;
    CloseHandle(directory);
    return true;
}

FileRead ReadWholeFile(const char* path, std::string* content) {
    const std::wstring wide = WidePath(path);
    if (wide.empty() || content == nullptr) return FileRead::kCannotOpen;
    // Handles are not inherited unless asked for.
    const HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return FileRead::kCannotOpen;
    FileRead result = FileRead::kCannotOpen;
    LARGE_INTEGER size{};
    if (GetFileType(file) != FILE_TYPE_DISK) {
        result = FileRead::kNotRegularFile;
    } else if (!GetFileSizeEx(file, &size)) {
        result = FileRead::kCannotOpen;
    } else if (static_cast<std::uint64_t>(size.QuadPart) > kLargestFileRead) {
        result = FileRead::kTooLarge;
    } else {
        content->clear();
        try {
            char chunk[16384];
            for (;;) {
                DWORD got = 0;
                if (!::ReadFile(file, chunk, sizeof chunk, &got, nullptr)) break;
                if (got == 0) {
                    result = FileRead::kRead;
                    break;
                }
                // The file may grow while it is read.
                if (content->size() + got > kLargestFileRead) {
                    result = FileRead::kTooLarge;
                    break;
                }
                content->append(chunk, got);
            }
        } catch (...) {
            result = FileRead::kCannotOpen;
        }
    }
    CloseHandle(file);
    return result;
}

bool ConvertToLocalTime(std::time_t time, std::tm* local) {
    return localtime_s(local, &time) == 0;
}

namespace {

// A handle that may append but not write elsewhere: the system moves to the
// end of the file and writes there as one step, whoever else appends. Read
// access is what byte-range locks ask for.
HANDLE OpenForAppending(const std::wstring& path, DWORD disposition) {
    return CreateFileW(path.c_str(), FILE_READ_DATA | FILE_APPEND_DATA | SYNCHRONIZE, kShareAll, nullptr,
                       disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Where the system only emulates appending (network shares, Wine), finding
// the end and writing there are two steps. Writers of this library therefore
// also hold an exclusive lock on one byte far beyond any real file size
// while they write; readers never touch that byte.
class AppendLock {
public:
    explicit AppendLock(HANDLE file) : m_file(file) {
        m_range.OffsetHigh = 0x7FFFFFFF;
        m_locked = LockFileEx(m_file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &m_range) != 0;
    }
    ~AppendLock() {
        if (m_locked) UnlockFileEx(m_file, 0, 1, 0, &m_range);
    }
    AppendLock(const AppendLock&) = delete;
    AppendLock& operator=(const AppendLock&) = delete;

private:
    HANDLE m_file;
    OVERLAPPED m_range{};
    bool m_locked = false;
};

// The longest piece handed to one WriteFile call.
constexpr size_t kLargestWrite = 0x40000000u;

// How many bytes of the text (line feeds counted once) the first
// storedBytes bytes of its CR LF form hold whole.
size_t TextBytesStored(const char* bytes, size_t size, size_t storedBytes) {
    size_t converted = 0;
    size_t whole = 0;
    while (whole < size) {
        const size_t width = bytes[whole] == '\n' ? 2 : 1;
        if (converted + width > storedBytes) break;
        converted += width;
        ++whole;
    }
    return whole;
}

}  // namespace

OpenedFile OpenFileForWriting(const char* path, FileCreation creation) {
    OpenedFile opened;
    const std::wstring wide = WidePath(path);
    if (wide.empty()) return opened;
    HANDLE handle = INVALID_HANDLE_VALUE;
    if (creation == FileCreation::kCreateNew) {
        handle = OpenForAppending(wide, CREATE_NEW);
        opened.nameTaken = handle == INVALID_HANDLE_VALUE &&
                           (GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS);
    } else if (creation == FileCreation::kAppend) {
        handle = OpenForAppending(wide, OPEN_ALWAYS);
    } else {
        // Emptying needs write access, which would give up appending; so the
        // file is emptied through a handle of its own first.
        const HANDLE emptied = CreateFileW(wide.c_str(), GENERIC_WRITE, kShareAll, nullptr, CREATE_ALWAYS,
                                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (emptied != INVALID_HANDLE_VALUE) {
            CloseHandle(emptied);
            handle = OpenForAppending(wide, OPEN_EXISTING);
        }
    }
    if (handle != INVALID_HANDLE_VALUE) opened.handle = reinterpret_cast<FileHandle>(handle);
    return opened;
}

size_t WriteToFile(FileHandle file, const std::string_view* texts, size_t count) {
    // Files hold CR LF line ends; the texts are converted into one buffer,
    // so that they still reach the system in one write. Ordinary messages
    // are converted on the stack; only long ones take heap memory.
    size_t size = 0;
    size_t convertedSize = 0;
    for (size_t text = 0; text < count; ++text) {
        size += texts[text].size();
        convertedSize += StoredSize(texts[text].data(), texts[text].size());
    }
    char onStack[4096];
    std::unique_ptr<char[]> onHeap;
    char* converted = onStack;
    if (convertedSize > sizeof onStack) {
        onHeap.reset(new (std::nothrow) char[convertedSize]);
        if (!onHeap) return 0;
        converted = onHeap.get();
    }
    size_t to = 0;
    for (size_t text = 0; text < count; ++text) {
        for (const char c : texts[text]) {
            if (c == '\n') converted[to++] = '\r';
            converted[to++] = c;
        }
    }
    const HANDLE handle = reinterpret_cast<HANDLE>(file);
    const AppendLock lock(handle);
    size_t stored = 0;
    while (stored < convertedSize) {
        const size_t rest = convertedSize - stored;
        const DWORD piece = static_cast<DWORD>(rest < kLargestWrite ? rest : kLargestWrite);
        DWORD written = 0;
        if (!WriteFile(handle, converted + stored, piece, &written, nullptr) || written == 0) break;
        stored += written;
    }
    if (stored == convertedSize) return size;
    size_t whole = 0;
    for (size_t text = 0; text < count && stored > 0; ++text) {
        const size_t taken = TextBytesStored(texts[text].data(), texts[text].size(), stored);
        whole += taken;
        if (taken < texts[text].size()) break;
        stored -= StoredSize(texts[text].data(), taken);
    }
    return whole;
}

size_t StoredSize(const char* bytes, size_t size) {
    return size + static_cast<size_t>(std::count(bytes, bytes + size, '\n'));
}

// Windows has no file-size signal.
void NoteFileSizeLimit() {}

std::optional<std::uint64_t> FileSizeLimit() {
    return std::nullopt;
}

void CallWithoutFileSizeSignal(void (*write)(void* context), void* context) {
    write(context);
}

bool CloseFile(FileHandle file) {
    return CloseHandle(reinterpret_cast<HANDLE>(file)) != 0;
}

namespace {

// One lock and condition for every sleeper of the process: sleeping is the
// rare, slow way of waiting, and every sleeper looks at its own word again
// when woken. Both start zeroed and need no destruction, so they serve at
// every point of the process's life.
SRWLOCK c_sleepLock = SRWLOCK_INIT;
CONDITION_VARIABLE c_sleepCondition = CONDITION_VARIABLE_INIT;

}  // namespace

void SleepWhileWordIs(const std::atomic<std::uint32_t>& word, std::uint32_t value) {
    AcquireSRWLockExclusive(&c_sleepLock);
    // Looked at under the lock that the waker takes after its change: the
    // change comes before this look, or the wake after this sleep began.
    if (word.load(std::memory_order_seq_cst) == value) {
        SleepConditionVariableSRW(&c_sleepCondition, &c_sleepLock, INFINITE, 0);
    }
    ReleaseSRWLockExclusive(&c_sleepLock);
}

void WakeSleepersOn(const std::atomic<std::uint32_t>&) {
    AcquireSRWLockExclusive(&c_sleepLock);
    ReleaseSRWLockExclusive(&c_sleepLock);
    WakeAllConditionVariable(&c_sleepCondition);
}

void CallAroundFork(void (*)(), void (*)(), void (*)()) {}

}  // namespace ORVA::KIV::System::Utility::Logging::Platform
