// Compiled twice by the tests: as it is, and with KIVLOG_BAD_FORMAT set to
// a format string that does not fit its argument, which must not compile.
#include <logging/MsgLogFormat.h>

#if !defined(KIVLOG_BAD_FORMAT)
#define KIVLOG_BAD_FORMAT "{}"
#endif

int main() {
    ORVA::KIV::System::Utility::Logging::IMsgLog* log = nullptr;
    KIV_WARN(log, "(U) ", KIVLOG_BAD_FORMAT, "text");
    return 0;
}
