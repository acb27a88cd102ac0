// Waits for changes in directories, so that following many files looks
// only at those that changed; one definition per platform (posix/ uses
// inotify, win32/ ReadDirectoryChangesW).
#ifndef KIVLOGGING_TOOLS_KIVLOG_CHANGEWATCH_H
#define KIVLOGGING_TOOLS_KIVLOG_CHANGEWATCH_H

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace kivlog {

struct Change {
    // The directory as it was given to Watch, and the entry's name in it.
    std::string directory;
    std::string name;
    // An entry came, went or was renamed, rather than written to.
    bool entries = false;
};

class ChangeWatch {
public:
    ChangeWatch();
    ~ChangeWatch();
    ChangeWatch(const ChangeWatch&) = delete;
    ChangeWatch& operator=(const ChangeWatch&) = delete;

    // Watches the entries of the directory (once for each name given).
    void Watch(const std::string& directory);

    // Whether Wait reports every change, writes to files included, so that
    // waits may be long. Where it does not, changes that Wait reports are
    // still worth acting on at once, but every file must be looked at often.
    bool Reports() const;

    // Waits up to timeout for changes and appends them to *changes.
    // Returns false when the changes cannot be told (no watch on this
    // system, or some were lost): then every file must be looked at.
    bool Wait(std::chrono::milliseconds timeout, std::vector<Change>* changes);

private:
    struct State;
    std::unique_ptr<State> m_state;
};

}  // namespace kivlog

#endif  // KIVLOGGING_TOOLS_KIVLOG_CHANGEWATCH_H
