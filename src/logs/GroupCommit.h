// Many threads writing to one destination, each call returning only once
// its text was handed to the operating system, with fewer system calls than
// calls when they meet.
#ifndef KIVLOGGING_LOGS_GROUPCOMMIT_H
#define KIVLOGGING_LOGS_GROUPCOMMIT_H

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "logs/WakeWord.h"

namespace ORVA::KIV::System::Utility::Logging {

// A caller that finds no write in progress writes its text at once, as if
// alone. One that finds a write in progress queues its text in the open
// batch and waits. The writer, after its own text, goes on taking the open
// batch and writing all of its texts with one call of the writer, in the
// order they arrived, waking exactly the callers whose texts it wrote, until
// nothing waits; after kBatchesPerWriter batches it hands the open batch to
// that batch's first caller, which writes on in its place. So the writer
// that is on a processor keeps writing (on a machine with few cores, handing
// over to a sleeping thread costs about as much as a write), and no caller
// waits for more than a bounded number of writes. The queue holds views of
// the callers' own texts (which live until they return), so nothing is
// copied or allocated per text.
//
// Trivially destructible and constant-initialised, so that it works at
// every point of a process's life, static destruction included.
class GroupCommit {
public:
    // A batch holds at most this many texts, and no more than kMaxBytes
    // but for its last text: a text that already waited once for room joins
    // any batch below the cap, so that short texts cannot keep it out.
    static constexpr size_t kMaxTexts = 64;
    static constexpr size_t kMaxBytes = 64 * 1024;
    // The batches one writer writes after its own text before it hands over.
    static constexpr int kBatchesPerWriter = 8;

    // Writes count texts, in order; never throws. Called by one thread at a
    // time.
    using Writer = void (*)(void* context, const std::string_view* texts, size_t count);

    constexpr GroupCommit() noexcept = default;
    GroupCommit(const GroupCommit&) = delete;
    GroupCommit& operator=(const GroupCommit&) = delete;

    // Returns once write(context, ...) has written text, called by this
    // thread or another. Every call on one GroupCommit must pass the same
    // writer and context.
    void Write(std::string_view text, Writer write, void* context) noexcept;

    // Around fork(): the thread that forks holds the queue while the process
    // is copied. The child, whose other threads are gone, forgets their
    // queued texts (the parent writes them) and any write they had begun.
    void LockForFork() noexcept;
    void UnlockInParent() noexcept;
    void UnlockInChild() noexcept;

private:
    struct Batch {
        std::string_view texts[kMaxTexts];
        size_t count = 0;
        size_t bytes = 0;
    };

    void Lock() noexcept;
    void Unlock() noexcept;
    // With the lock held: whether text may join the open batch.
    bool OpenBatchTakes(std::string_view text, bool ignoreByteCap) const noexcept;
    // The writer's part: takes batch number, which is open, and writes it.
    void TakeAndWrite(std::uint32_t number, Writer write, void* context) noexcept;
    // The writer's part: writes the batches that queued meanwhile, until none
    // waits or it has written its share.
    void WriteQueued(Writer write, void* context) noexcept;

    std::atomic_flag m_locked = ATOMIC_FLAG_INIT;
    // Guarded by m_locked: some thread writes now, or the open batch was
    // handed to its first caller to write.
    bool m_writing = false;
    // Two batches take turns: the open one collects texts while the other
    // is written. Batch n lives in m_batches[n % 2].
    Batch m_batches[2];
    // The open batch's number; waiters for room watch it advance.
    WakeWord m_openNumber{2};
    // By parity, the last batch written: batch n is written once
    // m_written[n % 2] holds n or a later number. n - 1 there hands batch n
    // to its first caller to write. A batch and the one after it never share
    // a word, so publishing wakes only the callers of one batch.
    WakeWord m_written[2] = {WakeWord(0), WakeWord(1)};
};

}  // namespace ORVA::KIV::System::Utility::Logging

#endif  // KIVLOGGING_LOGS_GROUPCOMMIT_H
