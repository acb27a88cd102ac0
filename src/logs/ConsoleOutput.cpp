#include "logs/ConsoleOutput.h"

#include <iostream>

#include "platform/Platform.h"

namespace ORVA::KIV::System::Utility::Logging {

std::mutex& ConsoleMutex() {
    static std::mutex mutex;
    return mutex;
}

void WriteToConsole(std::string_view text) noexcept {
    try {
        std::lock_guard<std::mutex> lock(ConsoleMutex());
        // The stream is the application's too: a failure of an earlier
        // write, the library's or the application's, must not silence this
        // message, and this message's own failure must not silence the
        // application's next output. So the state is cleared for the write
        // and given back as it was found.
        const std::ios_base::iostate found = std::cout.rdstate();
        Platform::CallWithoutFileSizeSignal(
            [](void* context) {
                const std::string_view& message = *static_cast<const std::string_view*>(context);
                try {
                    std::cout.clear();
                    std::cout.write(message.data(), static_cast<std::streamsize>(message.size()));
                    std::cout.flush();
                } catch (...) {
                    // A stream set to throw: the message is dropped.
                }
            },
            &text);
        try {
            std::cout.clear(found);
        } catch (...) {
            // The state is back; a stream set to throw says so again.
        }
    } catch (...) {
        // A failed lock: the message is dropped.
    }
}

}  // namespace ORVA::KIV::System::Utility::Logging
