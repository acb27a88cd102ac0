#include "logs/ConsoleOutput.h"

#include <iostream>
#include <mutex>

#include "logs/GroupCommit.h"
#include "platform/Platform.h"

namespace ORVA::KIV::System::Utility::Logging {
namespace {

// Usable at every point of the process's life: constant-initialised, with a
// trivial destructor.
constinit GroupCommit c_consoleWrites;

// Made on first use, whenever that is.
std::mutex& ConsoleMutex() {
    static std::mutex mutex;
    return mutex;
}

struct Batch {
    const std::string_view* texts;
    size_t count;
};

void WriteBatchToConsole(void*, const std::string_view* texts, size_t count) noexcept {
    try {
        // Held by the writing thread, so that a fork never copies the
        // stream in the middle of a batch.
        std::lock_guard<std::mutex> lock(ConsoleMutex());
        // The stream is the application's too: a failure of an earlier
        // write, the library's or the application's, must not silence these
        // messages, and their own failure must not silence the
        // application's next output. So the state is cleared for the write
        // and given back as it was found.
        const std::ios_base::iostate found = std::cout.rdstate();
        Batch batch{texts, count};
        Platform::CallWithoutFileSizeSignal(
            [](void* context) {
                const Batch& batch = *static_cast<const Batch*>(context);
                // Each message gets its own chance: one that the stream
                // refuses must not silence the others of the batch.
                for (size_t text = 0; text < batch.count; ++text) {
                    try {
                        std::cout.clear();
                        std::cout.write(batch.texts[text].data(), static_cast<std::streamsize>(batch.texts[text].size()));
                    } catch (...) {
                        // A stream set to throw: the message is dropped.
                    }
                }
                try {
                    std::cout.clear();
                    std::cout.flush();
                } catch (...) {
                    // A stream set to throw: the flush failed, and says so again.
                }
            },
            &batch);
        try {
            std::cout.clear(found);
        } catch (...) {
            // The state is back; a stream set to throw says so again.
        }
    } catch (...) {
        // A failed lock: the messages are dropped.
    }
}

}  // namespace

void WriteToConsole(std::string_view text) noexcept {
    c_consoleWrites.Write(text, WriteBatchToConsole, nullptr);
}

void LockConsoleForFork() noexcept {
    ConsoleMutex().lock();
    c_consoleWrites.LockForFork();
}

void UnlockConsoleInParent() noexcept {
    c_consoleWrites.UnlockInParent();
    ConsoleMutex().unlock();
}

void UnlockConsoleInChild() noexcept {
    c_consoleWrites.UnlockInChild();
    ConsoleMutex().unlock();
}

}  // namespace ORVA::KIV::System::Utility::Logging
