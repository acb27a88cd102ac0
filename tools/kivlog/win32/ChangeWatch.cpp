#include "ChangeWatch.h"

#include <windows.h>

#include <thread>

namespace kivlog {
namespace {

constexpr DWORD kNotifyFilter =
    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE;
// One wait takes at most this many handles; more directories than that are
// looked at by polling instead.
constexpr size_t kMostDirectories = MAXIMUM_WAIT_OBJECTS;

// A name in the narrow text that directory listings give (the ANSI code
// page).
std::string NarrowName(const wchar_t* name, size_t length) {
    const int size = WideCharToMultiByte(CP_ACP, 0, name, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) {
        WideCharToMultiByte(CP_ACP, 0, name, static_cast<int>(length), narrow.data(), size, nullptr, nullptr);
    }
    return narrow;
}

// One directory, with a read of its changes always under way.
struct WatchedDirectory {
    std::string name;
    HANDLE handle = INVALID_HANDLE_VALUE;
    OVERLAPPED overlapped{};
    // ReadDirectoryChangesW fills it with DWORD-aligned records.
    alignas(DWORD) char buffer[32768];

    ~WatchedDirectory() {
        if (handle != INVALID_HANDLE_VALUE) {
            CancelIoEx(handle, &overlapped);
            DWORD ignored = 0;
            GetOverlappedResult(handle, &overlapped, &ignored, TRUE);
            CloseHandle(handle);
        }
        if (overlapped.hEvent != nullptr) CloseHandle(overlapped.hEvent);
    }

    bool StartRead() {
        ResetEvent(overlapped.hEvent);
        return ReadDirectoryChangesW(handle, buffer, sizeof buffer, FALSE, kNotifyFilter, nullptr,
                                     &overlapped, nullptr) != FALSE;
    }
};

}  // namespace

struct ChangeWatch::State {
    std::vector<std::unique_ptr<WatchedDirectory>> directories;
    bool failed = false;

    // Appends the changes of a finished read and starts the next; false
    // when changes were lost (the buffer overflowed) or reading failed.
    bool Collect(WatchedDirectory& directory, std::vector<Change>* changes) {
        DWORD size = 0;
        if (!GetOverlappedResult(directory.handle, &directory.overlapped, &size, FALSE)) {
            failed = true;
            return false;
        }
        const bool complete = size > 0;
        for (DWORD at = 0; size > 0;) {
            const auto* record = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(directory.buffer + at);
            const bool entries = record->Action != FILE_ACTION_MODIFIED;
            changes->push_back({directory.name,
                                NarrowName(record->FileName, record->FileNameLength / sizeof(wchar_t)), entries});
            if (record->NextEntryOffset == 0) break;
            at += record->NextEntryOffset;
        }
        if (!directory.StartRead()) failed = true;
        return complete && !failed;
    }
};

ChangeWatch::ChangeWatch() : m_state(std::make_unique<State>()) {}

ChangeWatch::~ChangeWatch() = default;

void ChangeWatch::Watch(const std::string& directory) {
    if (m_state->failed) return;
    for (const auto& watched : m_state->directories) {
        if (watched->name == directory) return;
    }
    if (m_state->directories.size() == kMostDirectories) {
        m_state->failed = true;
        return;
    }
    auto watched = std::make_unique<WatchedDirectory>();
    watched->name = directory;
    watched->handle = CreateFileA(directory.c_str(), FILE_LIST_DIRECTORY,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
    watched->overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (watched->handle == INVALID_HANDLE_VALUE || watched->overlapped.hEvent == nullptr ||
        !watched->StartRead()) {
        // Without a watch on one directory, changes there go unseen.
        m_state->failed = true;
        return;
    }
    m_state->directories.push_back(std::move(watched));
}

// Windows may not report writes to a file that its writer holds open (the
// directory entry's size is brought up to date lazily): what is reported is
// acted on at once, but followed files are still looked at after every
// short wait.
bool ChangeWatch::Reports() const {
    return false;
}

bool ChangeWatch::Wait(std::chrono::milliseconds timeout, std::vector<Change>* changes) {
    if (m_state->failed || m_state->directories.empty()) {
        std::this_thread::sleep_for(timeout);
        return false;
    }
    std::vector<HANDLE> events;
    for (const auto& directory : m_state->directories) events.push_back(directory->overlapped.hEvent);
    const DWORD first = WaitForMultipleObjects(static_cast<DWORD>(events.size()), events.data(), FALSE,
                                               static_cast<DWORD>(timeout.count()));
    if (first == WAIT_TIMEOUT) return true;
    if (first >= WAIT_OBJECT_0 + events.size()) {
        m_state->failed = true;
        return false;
    }
    // Every directory whose read has finished, not only the first.
    bool complete = true;
    for (size_t i = first - WAIT_OBJECT_0; i < events.size(); ++i) {
        if (WaitForSingleObject(events[i], 0) != WAIT_OBJECT_0) continue;
        complete = m_state->Collect(*m_state->directories[i], changes) && complete;
    }
    return complete;
}

}  // namespace kivlog
