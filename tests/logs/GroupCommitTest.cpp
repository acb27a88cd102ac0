// Texts handed to one writer by many threads: each written once, in each
// thread's order, before its call returns, in batches that keep to their
// caps, with never two writes at once.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "logs/GroupCommit.h"

using namespace ORVA::KIV::System::Utility::Logging;

namespace {

// A writer that keeps every batch it is given. While held, a write waits
// until it is let go, so that texts pile up behind it.
class RecordingWriter {
public:
    static void Write(void* context, const std::string_view* texts, size_t count) {
        static_cast<RecordingWriter*>(context)->Record(texts, count);
    }

    void Hold() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_held = true;
    }
    // Returns once a held write has begun.
    void WaitForHeldWrite() {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] { return m_waiting; });
    }
    void LetGo() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_held = false;
        m_changed.notify_all();
    }

    std::vector<std::vector<std::string>> Batches() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_batches;
    }
    bool Written(const std::string& text) {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const auto& batch : m_batches) {
            for (const std::string& written : batch) {
                if (written == text) return true;
            }
        }
        return false;
    }
    int Overlaps() const { return m_overlaps.load(); }

private:
    void Record(const std::string_view* texts, size_t count) {
        if (m_inside.exchange(true)) ++m_overlaps;
        std::unique_lock<std::mutex> lock(m_mutex);
        m_waiting = true;
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return !m_held; });
        m_waiting = false;
        m_batches.emplace_back(texts, texts + count);
        lock.unlock();
        m_inside.store(false);
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_held = false;
    bool m_waiting = false;
    std::vector<std::vector<std::string>> m_batches;
    std::atomic<bool> m_inside{false};
    std::atomic<int> m_overlaps{0};
};

// Starts a thread that writes text and records that its call returned.
std::thread WriteOnThread(GroupCommit& commit, RecordingWriter& writer, std::string text) {
    return std::thread([&commit, &writer, text = std::move(text)] {
        commit.Write(text, RecordingWriter::Write, &writer);
    });
}

void Join(std::vector<std::thread>& threads) {
    for (std::thread& thread : threads) thread.join();
}

// Long enough for a started thread to queue its text, even on a loaded
// machine; the tests' results do not depend on timing otherwise.
constexpr std::chrono::milliseconds kSettle{150};

TEST(GroupCommitTest, EveryTextIsWrittenOnceInItsThreadsOrderBeforeTheCallReturns) {
    GroupCommit commit;
    constexpr int kThreads = 8;
    constexpr int kTexts = 2000;
    // The writer checks each thread's order as texts arrive.
    struct Checker {
        std::atomic<int> written[kThreads] = {};
        std::atomic<int> outOfOrder{0};
        std::atomic<int> overlaps{0};
        std::atomic<bool> inside{false};
        std::atomic<size_t> largestBatch{0};
    } checker;
    const GroupCommit::Writer write = [](void* context, const std::string_view* texts, size_t count) {
        Checker& checker = *static_cast<Checker*>(context);
        if (checker.inside.exchange(true)) ++checker.overlaps;
        for (size_t i = 0; i < count; ++i) {
            const int thread = texts[i][0] - 'a';
            const int number = std::stoi(std::string(texts[i].substr(1)));
            if (checker.written[thread].load() != number) ++checker.outOfOrder;
            checker.written[thread].store(number + 1);
        }
        if (count > checker.largestBatch.load()) checker.largestBatch.store(count);
        checker.inside.store(false);
    };
    std::atomic<int> returnedEarly{0};
    std::vector<std::thread> threads;
    for (int thread = 0; thread < kThreads; ++thread) {
        threads.emplace_back([&, thread] {
            for (int number = 0; number < kTexts; ++number) {
                const std::string text = std::string(1, static_cast<char>('a' + thread)) + std::to_string(number);
                commit.Write(text, write, &checker);
                if (checker.written[thread].load() <= number) ++returnedEarly;
            }
        });
    }
    Join(threads);
    EXPECT_EQ(checker.outOfOrder.load(), 0);
    EXPECT_EQ(checker.overlaps.load(), 0);
    EXPECT_EQ(returnedEarly.load(), 0);
    EXPECT_LE(checker.largestBatch.load(), GroupCommit::kMaxTexts);
    for (const auto& written : checker.written) EXPECT_EQ(written.load(), kTexts);
}

// A first text is being written, held, while the test queues more.
class HeldWriteTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_writer.Hold();
        Queue("first");
        m_writer.WaitForHeldWrite();
    }

    void Queue(std::string text) { m_threads.push_back(WriteOnThread(m_commit, m_writer, std::move(text))); }

    std::vector<std::vector<std::string>> LetGoAndJoin() {
        m_writer.LetGo();
        Join(m_threads);
        EXPECT_EQ(m_writer.Overlaps(), 0);
        return m_writer.Batches();
    }

    GroupCommit m_commit;
    RecordingWriter m_writer;
    std::vector<std::thread> m_threads;
};

TEST_F(HeldWriteTest, TextsArrivingDuringAWriteGoOutTogetherInArrivalOrder) {
    for (const char* text : {"second", "third", "fourth"}) {
        Queue(text);
        std::this_thread::sleep_for(kSettle);
    }
    EXPECT_FALSE(m_writer.Written("second")) << "a call returned before the write in progress ended";
    const std::vector<std::vector<std::string>> expected = {{"first"}, {"second", "third", "fourth"}};
    EXPECT_EQ(LetGoAndJoin(), expected);
}

TEST_F(HeldWriteTest, ABatchHoldsAtMostItsCountOfTexts) {
    constexpr size_t kQueued = GroupCommit::kMaxTexts + 6;
    for (size_t i = 0; i < kQueued; ++i) Queue(std::to_string(i));
    std::this_thread::sleep_for(kSettle * 3);
    const auto batches = LetGoAndJoin();
    size_t texts = 0;
    for (const auto& batch : batches) {
        EXPECT_LE(batch.size(), GroupCommit::kMaxTexts);
        texts += batch.size();
    }
    EXPECT_EQ(texts, kQueued + 1);
    ASSERT_GE(batches.size(), 3u);
    EXPECT_EQ(batches[1].size(), GroupCommit::kMaxTexts);
}

// Two texts that together pass the byte cap go out one after the other.
TEST_F(HeldWriteTest, ABatchKeepsToItsByteCap) {
    const std::string big(GroupCommit::kMaxBytes / 2 + 1, 'b');
    for (int i = 0; i < 2; ++i) {
        Queue(big);
        std::this_thread::sleep_for(kSettle);
    }
    const std::vector<std::vector<std::string>> expected = {{"first"}, {big}, {big}};
    EXPECT_EQ(LetGoAndJoin(), expected);
}

}  // namespace
