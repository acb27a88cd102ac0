#include "logs/ConsoleOutput.h"

#include <iostream>

namespace ORVA::KIV::System::Utility::Logging {

std::mutex& ConsoleMutex() {
    static std::mutex mutex;
    return mutex;
}

void WriteToConsole(std::string_view text) noexcept {
    try {
        std::lock_guard<std::mutex> lock(ConsoleMutex());
        // A failed earlier write must not silence the console for good.
        if (!std::cout.good()) std::cout.clear();
        std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
        std::cout.flush();
    } catch (...) {
        // A stream set to throw, or a failed lock: the message is dropped.
    }
}

}  // namespace ORVA::KIV::System::Utility::Logging
