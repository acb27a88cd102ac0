// Sets the process-wide severity threshold for one test and restores it
// after.
#ifndef KIVLOGGING_TESTS_SUPPORT_SCOPEDTHRESHOLD_H
#define KIVLOGGING_TESTS_SUPPORT_SCOPEDTHRESHOLD_H

#include <logging/MsgLogThreshold.h>

namespace kivtest {

class ScopedThreshold {
public:
    using Severity = ORVA::KIV::System::Utility::Logging::MsgSeverity;
    using Threshold = ORVA::KIV::System::Utility::Logging::MsgLogThreshold;

    explicit ScopedThreshold(Severity threshold) : m_was(Threshold::Get()) { Threshold::Set(threshold); }
    ~ScopedThreshold() { Threshold::Set(m_was); }
    ScopedThreshold(const ScopedThreshold&) = delete;
    ScopedThreshold& operator=(const ScopedThreshold&) = delete;

private:
    Severity m_was;
};

}  // namespace kivtest

#endif  // KIVLOGGING_TESTS_SUPPORT_SCOPEDTHRESHOLD_H
