// Sets the process-wide logging switch for one test and restores it after.
#ifndef KIVLOGGING_TESTS_SUPPORT_SCOPEDLOGGINGSWITCH_H
#define KIVLOGGING_TESTS_SUPPORT_SCOPEDLOGGINGSWITCH_H

#include <logging/MsgLog.h>

namespace kivtest {

class ScopedLoggingSwitch {
public:
    explicit ScopedLoggingSwitch(bool on)
        : m_wasOn(ORVA::KIV::System::Utility::Logging::IMsgLog::LoggingIsOn()) {
        Set(on);
    }
    ~ScopedLoggingSwitch() { Set(m_wasOn); }
    ScopedLoggingSwitch(const ScopedLoggingSwitch&) = delete;
    ScopedLoggingSwitch& operator=(const ScopedLoggingSwitch&) = delete;

private:
    static void Set(bool on) {
        using ORVA::KIV::System::Utility::Logging::IMsgLog;
        on ? IMsgLog::TurnLoggingOn() : IMsgLog::TurnLoggingOff();
    }
    bool m_wasOn;
};

}  // namespace kivtest

#endif  // KIVLOGGING_TESTS_SUPPORT_SCOPEDLOGGINGSWITCH_H
