#include "ChangeWatch.h"

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <map>

namespace kivlog {
namespace {

constexpr std::uint32_t kEntryEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
constexpr std::uint32_t kEvents = kEntryEvents | IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE;

}  // namespace

struct ChangeWatch::State {
    int watch = -1;
    // Each watch descriptor's directory, and each directory's descriptor.
    std::map<int, std::string> directories;
    std::map<std::string, int> watched;
    bool failed = false;
};

ChangeWatch::ChangeWatch() : m_state(std::make_unique<State>()) {
    m_state->watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    m_state->failed = m_state->watch < 0;
}

ChangeWatch::~ChangeWatch() {
    if (m_state->watch >= 0) close(m_state->watch);
}

void ChangeWatch::Watch(const std::string& directory) {
    if (m_state->failed || m_state->watched.count(directory) > 0) return;
    const int descriptor = inotify_add_watch(m_state->watch, directory.c_str(), kEvents | IN_ONLYDIR);
    if (descriptor < 0) {
        // Without a watch on one directory, changes there go unseen.
        m_state->failed = true;
        return;
    }
    m_state->watched[directory] = descriptor;
    m_state->directories[descriptor] = directory;
}

bool ChangeWatch::Reports() const {
    return !m_state->failed;
}

bool ChangeWatch::Wait(std::chrono::milliseconds timeout, std::vector<Change>* changes) {
    if (m_state->failed) {
        usleep(static_cast<useconds_t>(timeout.count() * 1000));
        return false;
    }
    pollfd ready{m_state->watch, POLLIN, 0};
    if (poll(&ready, 1, static_cast<int>(timeout.count())) <= 0) return true;
    alignas(inotify_event) char events[16384];
    bool complete = true;
    for (;;) {
        const ssize_t got = read(m_state->watch, events, sizeof events);
        if (got <= 0) break;
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(events + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if ((event->mask & IN_Q_OVERFLOW) != 0) complete = false;
            const auto directory = m_state->directories.find(event->wd);
            if (directory == m_state->directories.end() || event->len == 0) continue;
            changes->push_back({directory->second, event->name, (event->mask & kEntryEvents) != 0});
        }
    }
    return complete;
}

}  // namespace kivlog
