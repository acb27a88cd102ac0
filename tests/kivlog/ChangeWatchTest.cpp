// Waiting for changes in followed directories: each change names its
// directory as it was given and the entry's name, promptly.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "ChangeWatch.h"
#include "support/TempDirectory.h"

namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

// Waits until a change of the entry arrives (at most five seconds) and
// answers whether one did and, through entries, whether it was one of an
// entry coming or going.
bool ChangeArrives(kivlog::ChangeWatch& watch, const std::string& directory, const std::string& name,
                   bool* entries = nullptr) {
    const auto deadline = steady_clock::now() + std::chrono::seconds(5);
    while (steady_clock::now() < deadline) {
        std::vector<kivlog::Change> changes;
        watch.Wait(milliseconds(200), &changes);
        const auto found = std::find_if(changes.begin(), changes.end(), [&](const kivlog::Change& change) {
            return change.directory == directory && change.name == name;
        });
        if (found != changes.end()) {
            if (entries != nullptr) *entries = found->entries;
            return true;
        }
    }
    return false;
}

TEST(ChangeWatchTest, NamesNewAndWrittenEntriesOfEveryWatchedDirectory) {
    kivtest::TempDirectory first;
    kivtest::TempDirectory second;
    kivlog::ChangeWatch watch;
    watch.Watch(first.Path().string());
    watch.Watch(second.Path().string());
    watch.Watch(first.Path().string());
#if !defined(_WIN32)
    // Windows may leave out writes to files held open, so there every file
    // is looked at often anyway; inotify reports every write.
    EXPECT_TRUE(watch.Reports());
#endif

    // Nothing changed: the wait ends at its timeout, telling nothing.
    std::vector<kivlog::Change> none;
    const auto start = steady_clock::now();
    EXPECT_TRUE(watch.Wait(milliseconds(100), &none));
    EXPECT_TRUE(none.empty());
    EXPECT_LT(steady_clock::now() - start, std::chrono::seconds(3));

    bool entries = false;
    kivtest::WriteFile(second.File("kiv.log_new.log"), "first");
    EXPECT_TRUE(ChangeArrives(watch, second.Path().string(), "kiv.log_new.log", &entries));
    EXPECT_TRUE(entries);
    kivtest::AppendFile(second.File("kiv.log_new.log"), " and more");
    EXPECT_TRUE(ChangeArrives(watch, second.Path().string(), "kiv.log_new.log"));
    kivtest::WriteFile(first.File("other.log"), "x");
    EXPECT_TRUE(ChangeArrives(watch, first.Path().string(), "other.log"));
}

TEST(ChangeWatchTest, AMissingDirectoryLeavesEveryFileToBeLookedAt) {
    kivtest::TempDirectory directory;
    kivlog::ChangeWatch watch;
    watch.Watch(directory.File("missing"));
    EXPECT_FALSE(watch.Reports());
    std::vector<kivlog::Change> changes;
    EXPECT_FALSE(watch.Wait(milliseconds(10), &changes));
}

}  // namespace
