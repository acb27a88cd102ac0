// The two halves of a logger's life that every kind shares: creation that
// turns any exception into null, and deletion that clears the caller's
// pointer.
#ifndef KIVLOGGING_CORE_LOGLIFETIME_H
#define KIVLOGGING_CORE_LOGLIFETIME_H

#include <logging/MsgLog.h>

namespace ORVA::KIV::System::Utility::Logging {

// The result of make(), or null when it throws. A throwing constructor
// inside make() has its storage freed by the new-expression.
template <typename Make>
auto CreateOrNull(Make make) noexcept -> decltype(make()) {
    try {
        return make();
    } catch (...) {
        return nullptr;
    }
}

// True when there is nothing to delete. Otherwise, when *log is of the
// given kind and really a Concrete, destroys it, sets *log to null and
// answers true; any other log is left alone and the answer is false.
template <typename Concrete, typename Log, typename Destroy>
bool DeleteIfKind(Log** log, IMsgLog::SupportedMsgLog kind, Destroy destroy) {
    if (log == nullptr || *log == nullptr) return true;
    Concrete* concrete = (*log)->MsgLogType() == kind ? dynamic_cast<Concrete*>(*log) : nullptr;
    if (concrete == nullptr) return false;
    destroy(concrete);
    *log = nullptr;
    return true;
}

}  // namespace ORVA::KIV::System::Utility::Logging

#endif  // KIVLOGGING_CORE_LOGLIFETIME_H
