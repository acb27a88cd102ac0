#include <logging/MsgLogThreshold.h>

#include <algorithm>

#include "core/ProcessSettings.h"

namespace ORVA::KIV::System::Utility::Logging {

std::atomic<int> g_severityThreshold{KIVLOGGING_LEVEL_DEBUG};

std::atomic<int>& MsgLogThreshold::c_threshold = g_severityThreshold;

const char* const MsgLogThreshold::PROPERTY_KEY = "kiv.log.threshold";

void MsgLogThreshold::Set(MsgSeverity threshold) {
    const int severity = std::clamp(static_cast<int>(threshold), KIVLOGGING_LEVEL_DEBUG, KIVLOGGING_LEVEL_FATAL);
    g_severityThreshold.store(severity, std::memory_order_relaxed);
}

}  // namespace ORVA::KIV::System::Utility::Logging
