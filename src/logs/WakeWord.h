// A number that threads wait on until it says what they wait for, made for
// waits about as long as one write to a file or a pipe.
#ifndef KIVLOGGING_LOGS_WAKEWORD_H
#define KIVLOGGING_LOGS_WAKEWORD_H

#include <atomic>
#include <cstdint>
#include <thread>

#include "platform/Platform.h"

namespace ORVA::KIV::System::Utility::Logging {

// Tells the processor that this thread spins, so that it spins cheaply.
inline void PauseInSpin() noexcept {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

// A waiter first looks again briefly, then gives its core away a few times,
// and only then sleeps in the kernel: on a machine with few cores, putting a
// thread to sleep and waking it costs about as much as the write it waits
// for. Publishing wakes the sleepers of this word only, and makes no system
// call when nobody sleeps. Trivially destructible, so that it stays usable
// during static destruction.
class WakeWord {
public:
    constexpr explicit WakeWord(std::uint32_t value) noexcept : m_value(value) {}
    WakeWord(const WakeWord&) = delete;
    WakeWord& operator=(const WakeWord&) = delete;

    std::uint32_t Load() const noexcept { return m_value.load(std::memory_order_acquire); }

    // Stores the value and wakes whoever sleeps on the word.
    void Publish(std::uint32_t value) noexcept {
        // Sequentially consistent on both sides: either the sleeper counted
        // below sees this store before it sleeps, or this load sees it.
        m_value.store(value, std::memory_order_seq_cst);
        if (m_sleepers.load(std::memory_order_seq_cst) != 0) Platform::WakeSleepersOn(m_value);
    }

    // In a child process just forked: the value, and no sleepers (they
    // were threads of the parent).
    void ResetInChild(std::uint32_t value) noexcept {
        m_value.store(value, std::memory_order_relaxed);
        m_sleepers.store(0, std::memory_order_relaxed);
    }

    // Returns once done(value) holds for the word's value.
    template <typename Done>
    void WaitUntil(Done done) noexcept {
        for (int look = 0; look < kLooks; ++look) {
            if (done(Load())) return;
            PauseInSpin();
        }
        for (int turn = 0; turn < kYields; ++turn) {
            if (done(Load())) return;
            std::this_thread::yield();
        }
        for (;;) {
            m_sleepers.fetch_add(1, std::memory_order_seq_cst);
            const std::uint32_t seen = m_value.load(std::memory_order_seq_cst);
            const bool finished = done(seen);
            // The sleep begins only while the word still holds what was
            // seen, so a value published since cannot be missed.
            if (!finished) Platform::SleepWhileWordIs(m_value, seen);
            m_sleepers.fetch_sub(1, std::memory_order_relaxed);
            if (finished) return;
        }
    }

private:
    static constexpr int kLooks = 64;
    static constexpr int kYields = 16;

    std::atomic<std::uint32_t> m_value;
    std::atomic<std::uint32_t> m_sleepers{0};
};

}  // namespace ORVA::KIV::System::Utility::Logging

#endif  // KIVLOGGING_LOGS_WAKEWORD_H
