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
    return ignoreByteCap || (open.bytes <= kMaxBytes && text.size() <= kMaxBytes - open.bytes);
}

void GroupCommit::Write(std::string_view text, Writer write, void* context) noexcept {
    for (bool waitedForRoom = false;; waitedForRoom = true) {
        Lock();
        if (!m_writing) {
            m_writing = true;
            Unlock();
            write(context, &text, 1);
            EndWrite();
            return;
        }
        const std::uint32_t number = m_openNumber.Load();
        // A text that already waited once for room joins however many bytes
        // the batch holds, so that short texts cannot keep it out.
        if (OpenBatchTakes(text, waitedForRoom)) {
            Batch& open = m_batches[number % 2];
            open.texts[open.count++] = text;
            open.bytes += text.size();
            const bool leads = open.count == 1;
            Unlock();
            if (leads) {
                m_turn.WaitUntil([number](std::uint32_t turn) { return turn == number; });
                LeadBatch(number, write, context);
            } else {
                // Later batches of the same parity may have been written by
                // the time this caller looks: counting on, not equality.
                m_written[number % 2].WaitUntil([number](std::uint32_t written) {
                    return static_cast<std::int32_t>(written - number) >= 0;
                });
            }
            return;
        }
        Unlock();
        m_openNumber.WaitUntil([number](std::uint32_t open) { return open != number; });
    }
}

void GroupCommit::LeadBatch(std::uint32_t number, Writer write, void* context) noexcept {
    Lock();
    Batch& next = m_batches[(number + 1) % 2];
    next.count = 0;
    next.bytes = 0;
    // Texts arriving from now on join the next batch.
    m_openNumber.Publish(number + 1);
    Unlock();
    const Batch& batch = m_batches[number % 2];
    write(context, batch.texts, batch.count);
    // Before the turn passes on: the batch after the next shares the word,
    // and its leader must not publish before this one does.
    m_written[number % 2].Publish(number);
    EndWrite();
}

void GroupCommit::EndWrite() noexcept {
    Lock();
    const std::uint32_t open = m_openNumber.Load();
    const bool someoneWaits = m_batches[open % 2].count != 0;
    if (!someoneWaits) m_writing = false;
    Unlock();
    // The open batch's leader alone waits for this turn, and it cannot
    // change the open batch before it has the turn.
    if (someoneWaits) m_turn.Publish(open);
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
    // A turn handed to the open batch before the fork belongs to a leader
    // that does not exist here.
    m_turn.ResetInChild(open - 1);
    m_openNumber.ResetInChild(open);
    m_written[0].ResetInChild(m_written[0].Load());
    m_written[1].ResetInChild(m_written[1].Load());
    Unlock();
}

}  // namespace ORVA::KIV::System::Utility::Logging
