// A process that forks while other threads log gives its child copies of the
// library's locks in whatever state they were. The child has only the thread
// that forked, so a lock some other thread held would stay held for good and
// the child's first message would wait forever. Before the copy, the forking
// thread therefore takes every lock of the library, in the order in which
// the library nests them, and both processes release them afterwards.
#include "core/DateTime.h"
#include "factory/SystemLogger.h"
#include "logs/ConsoleOutput.h"
#include "logs/FileMsgLog.h"
#include "platform/Platform.h"
#include "properties/PropertyStore.h"

namespace ORVA::KIV::System::Utility::Logging {
namespace {

void LockForFork() {
    SystemLoggerMutex().lock();
    PropertyStoreMutex().lock();
    FileMsgLog::LockAllForFork();
    LockConsoleForFork();
    LocalTimeMutex().lock();
}

void UnlockInParent() {
    LocalTimeMutex().unlock();
    UnlockConsoleInParent();
    FileMsgLog::UnlockAllInParent();
    PropertyStoreMutex().unlock();
    SystemLoggerMutex().unlock();
}

// The child has only the forking thread: what other threads had queued to
// write is theirs, and the parent writes it.
void UnlockInChild() {
    LocalTimeMutex().unlock();
    UnlockConsoleInChild();
    FileMsgLog::UnlockAllInChild();
    PropertyStoreMutex().unlock();
    SystemLoggerMutex().unlock();
}

struct ForkGuard {
    ForkGuard() noexcept { Platform::CallAroundFork(LockForFork, UnlockInParent, UnlockInChild); }
};
const ForkGuard c_forkGuard;

}  // namespace
}  // namespace ORVA::KIV::System::Utility::Logging
