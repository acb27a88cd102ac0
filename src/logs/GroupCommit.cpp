#include "logs/GroupCommit.h"

#include <thread>
#include <type_traits>

namespace ORVA::KIV::System::Utility::Logging {

static_assert(std::is_trivially_destructible_v<GroupCommit>);

void GroupCommit::Lock() noexcept {
    // The lock is held for a few instructions, never across a write.
    for (int look = 0; m_locked.test_and_set(std::memory_order_acquire); ++look) {
        if (look < 64) {
            PauseInSpin();
        } else {
            std::this_thread::yield();
        }
    }
}

void GroupCommit::Unlock() noexcept {
    m_locked.clear(std::memory_order_release);
}

bool GroupCommit::OpenBatchTakes(std::string_view text, bool ignoreByteCap) const noexcept {
    const Batch& open = m_batches[m_openNumber.Load() % 2];
    if (open.count == 0) return true;
    if (open.count == kMaxTexts) return false;
    if (open.bytes >= kMaxBytes) return false;
    return ignoreByteCap || text.size() <= kMaxBytes - open.bytes;
}

void GroupCommit::Write(std::string_view text, Writer write, void* context) noexcept {
    for (bool waitedForRoom = false;; waitedForRoom = true) {
        Lock();
        if (!m_writing) {
            m_writing = true;
            Unlock();
            write(context, &text, 1);
            WriteQueued(write, context);
            return;
        }
        const std::uint32_t number = m_openNumber.Load();
        // A text that already waited once for room joins any batch below
        // the byte cap, so that short texts cannot keep it out.
        if (OpenBatchTakes(text, waitedForRoom)) {
            Batch& open = m_batches[number % 2];
            open.texts[open.count++] = text;
            open.bytes += text.size();
            const bool leads = open.count == 1;
            Unlock();
            // Later batches of the same parity may have been written by the
            // time this caller looks: counting on, not equality. The one
            // value of the other parity is the turn handed to the leader.
            bool myTurn = false;
            m_written[number % 2].WaitUntil([number, leads, &myTurn](std::uint32_t written) {
                myTurn = leads && written == number - 1;
                return myTurn || static_cast<std::int32_t>(written - number) >= 0;
            });
            if (myTurn) {
                TakeAndWrite(number, write, context);
                WriteQueued(write, context);
            }
            return;
        }
        Unlock();
        m_openNumber.WaitUntil([number](std::uint32_t open) { return open != number; });
    }
}

void GroupCommit::TakeAndWrite(std::uint32_t number, Writer write, void* context) noexcept {
    Lock();
    Batch& next = m_batches[(number + 1) % 2];
    next.count = 0;
    next.bytes = 0;
    // Texts arriving from now on join the next batch.
    m_openNumber.Publish(number + 1);
    Unlock();
    const Batch& batch = m_batches[number % 2];
    write(context, batch.texts, batch.count);
    m_written[number % 2].Publish(number);
}

void GroupCommit::WriteQueued(Writer write, void* context) noexcept {
    for (int batches = 0;; ++batches) {
        Lock();
        const std::uint32_t open = m_openNumber.Load();
        if (m_batches[open % 2].count == 0) {
            m_writing = false;
            Unlock();
            return;
        }
        Unlock();
        if (batches == kBatchesPerWriter) {
            // The writer has done its share: the open batch's leader writes
            // it. The batch before it of the same parity is written, so its
            // callers alone read this value.
            m_written[open % 2].Publish(open - 1);
            return;
        }
        // Only the writer takes batches, so the open one is still there.
        TakeAndWrite(open, write, context);
    }
}

void GroupCommit::LockForFork() noexcept {
    Lock();
}

void GroupCommit::UnlockInParent() noexcept {
    Unlock();
}

void GroupCommit::UnlockInChild() noexcept {
    const std::uint32_t open = m_openNumber.Load();
    m_writing = false;
    m_batches[open % 2].count = 0;
    m_batches[open % 2].bytes = 0;
    m_openNumber.ResetInChild(open);
    // A turn handed to the open batch before the fork belongs to a leader
    // that does not exist here: the word goes back to the batch before.
    m_written[open % 2].ResetInChild(open - 2);
    m_written[(open + 1) % 2].ResetInChild(m_written[(open + 1) % 2].Load());
    Unlock();
}

}  // namespace ORVA::KIV::System::Utility::Logging
