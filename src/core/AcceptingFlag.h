// A log's accepting flag (m_canLogMessages) is read by CanLogMessages on any
// thread while Close may clear it on another, so both sides access it
// atomically.
#ifndef KIVLOGGING_CORE_ACCEPTINGFLAG_H
#define KIVLOGGING_CORE_ACCEPTINGFLAG_H

#include <atomic>

namespace ORVA::KIV::System::Utility::Logging {

inline bool LoadAcceptingFlag(const bool& flag) {
    return std::atomic_ref<bool>(const_cast<bool&>(flag)).load(std::memory_order_relaxed);
}

inline void ClearAcceptingFlag(bool& flag) {
    std::atomic_ref<bool>(flag).store(false, std::memory_order_relaxed);
}

}  // namespace ORVA::KIV::System::Utility::Logging

#endif  // KIVLOGGING_CORE_ACCEPTINGFLAG_H
