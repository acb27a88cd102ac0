// Standard output as every console log of the process shares it.
#ifndef KIVLOGGING_LOGS_CONSOLEOUTPUT_H
#define KIVLOGGING_LOGS_CONSOLEOUTPUT_H

#include <mutex>
#include <string_view>

namespace ORVA::KIV::System::Utility::Logging {

// Writes the text to standard output in one insertion and flushes it, under
// the console lock, so the message is whole and on the console when the call
// returns. Never throws; a text the stream refuses is dropped. The stream's
// state (its error flags) is left as it was found.
void WriteToConsole(std::string_view text) noexcept;

// The one lock of all console logs.
std::mutex& ConsoleMutex();

}  // namespace ORVA::KIV::System::Utility::Logging

#endif  // KIVLOGGING_LOGS_CONSOLEOUTPUT_H
