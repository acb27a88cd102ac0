// Standard output as every console log of the process shares it.
#ifndef KIVLOGGING_LOGS_CONSOLEOUTPUT_H
#define KIVLOGGING_LOGS_CONSOLEOUTPUT_H

#include <string_view>

namespace ORVA::KIV::System::Utility::Logging {

// Writes the text to standard output in one insertion and flushes it, so the
// message is whole and on the console when the call returns. Threads that
// write at the same time have their texts written together, with one flush
// per batch (see GroupCommit). Never throws; a text the stream refuses is
// dropped. The stream's state (its error flags) is left as it was found.
void WriteToConsole(std::string_view text) noexcept;

// Around fork(): the forking thread holds the console while the process is
// copied; the child forgets texts that the parent's other threads queued.
void LockConsoleForFork() noexcept;
void UnlockConsoleInParent() noexcept;
void UnlockConsoleInChild() noexcept;

}  // namespace ORVA::KIV::System::Utility::Logging

#endif  // KIVLOGGING_LOGS_CONSOLEOUTPUT_H
