// A small batch job that logs the way an application of the library does:
// progress through the system logger that the properties file configures,
// an audit trail in a file log of its own, and a console log for its user.
// The order job formats its messages with the KIV_* macros, which name the
// method themselves; ShowEveryFrontEnd shows the plain front ends.
#include <logging/MsgLog.h>
#include <logging/MsgLogFormat.h>
#include <logging/MsgLogThreshold.h>

#include <cstdio>
#include <string>

using namespace ORVA::KIV::System::Utility::Logging;

namespace {

struct Order {
    int id;
    double amount;
};

// Every level in its three forms, and the raw form, on one log.
void ShowEveryFrontEnd(IMsgLog* log) {
    log->Debug("ExampleApp::ShowEveryFrontEnd", "debug with method", "(U) ");
    log->Debug("debug with marking", "(U) ");
    log->Debug("debug alone");
    log->Info("ExampleApp::ShowEveryFrontEnd", "info with method", "(U) ");
    log->Info("info with marking", "(U) ");
    log->Info("info alone");
    log->Warn("ExampleApp::ShowEveryFrontEnd", "warn with method", "(U) ");
    log->Warn("warn with marking", "(U) ");
    log->Warn("warn alone");
    log->Error("ExampleApp::ShowEveryFrontEnd", "error with method", "(U) ");
    log->Error("error with marking", "(U) ");
    log->Error("error alone");
    log->Fatal("ExampleApp::ShowEveryFrontEnd", "fatal with method", "(U) ");
    log->Fatal("fatal with marking", "(U) ");
    log->Fatal("fatal alone");
    log->LogMessage("raw text, written even while logging is off", "(U) ");
    SysOutMsgLog::WriteMessage("a raw line that needs no log object");
}

// Books orders: progress to the system logger (which may be null: the
// macros then write nothing), bookings to the audit log.
class OrderJob {
public:
    OrderJob(IMsgLog* system, IMsgLog* audit) : m_system(system), m_audit(audit) {}

    void Process(const Order& order) {
        if (order.amount < 0) {
            KIV_ERROR(m_system, "(U) ", "order {} rejected: negative amount {:.2f}", order.id, order.amount);
            return;
        }
        // Below the threshold (INFO in the example's configuration) the
        // macro evaluates nothing; KIV_ENABLED guards preparation by hand.
        KIV_DEBUG(m_system, "(U) ", "order {} amount {}", order.id, order.amount);
        if (KIV_ENABLED(m_system, Debug)) {
            const std::string trace = "order " + std::to_string(order.id) + " passed every check";
            m_system->Debug("OrderJob::Process", trace.c_str(), "(U) ");
        }
        KIV_INFO(m_system, "(U) ", "order {} accepted", order.id);
        KIV_INFO_AT(m_audit, "OrderJob::Audit", "(U) ", "order {} booked: {:.2f}", order.id, order.amount);
    }

private:
    IMsgLog* m_system;
    IMsgLog* m_audit;
};

}  // namespace

int main() {
    const char* level = IMsgLog::GetLoggingSystemProperty(IMsgLog::PropertyKey::LOGGING_LEVEL);
    const char* threshold = IMsgLog::GetLoggingSystemProperty(MsgLogThreshold::PROPERTY_KEY);
    std::printf("logging is %s, configured level %s, threshold %s\n", IMsgLog::LoggingIsOn() ? "on" : "off",
                level != nullptr ? level : "(none)", threshold != nullptr ? threshold : "(none)");

    IMsgLog* system = MsgLogFactory::GetGlobalSystemLogger();
    if (system == nullptr) {
        std::printf("no system logger: is CLASSIFIED/kiv.system.properties beside the program?\n");
    }

    const char* logDirectory = IMsgLog::GetLoggingSystemProperty(IMsgLog::PropertyKey::LOG_DIR);
    const std::string auditPath = std::string(logDirectory ? logDirectory : "") + "kivlog-example-audit.log";
    // Owned: closed and deleted when main returns. The system logger is the
    // library's and is never held this way.
    const MsgLogPtr audit = MakeMsgLog(IMsgLog::MSG_LOG_PLAIN_FILE, auditPath.c_str());
    OrderJob job(system, audit.get());
    for (const Order& order : {Order{1001, 25.0}, Order{1002, -3.5}, Order{1003, 120.0}}) job.Process(order);

    // The console demonstration runs even without a properties file, and
    // shows every level.
    IMsgLog::TurnLoggingOn();
    MsgLogThreshold::Set(MsgSeverity::Debug);
    const MsgLogPtr console(SysOutMsgLog::NewSysOutMsgLog());
    if (console != nullptr) ShowEveryFrontEnd(console.get());

    std::printf("\nsystem log files: %skiv.log_*.log\n", logDirectory ? logDirectory : "(none)");
    std::printf("audit log file:   %s\n", auditPath.c_str());
    return 0;
}
