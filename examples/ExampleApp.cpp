// A small batch job that logs the way an application of the library does:
// progress through the system logger that the properties file configures,
// an audit trail in a file log of its own, and a console log for its user.
#include <logging/MsgLog.h>

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

void ProcessOrders(IMsgLog* system, IMsgLog* audit) {
    const Order orders[] = {{1001, 25.0}, {1002, -3.5}, {1003, 120.0}};
    for (const Order& order : orders) {
        const std::string text = "order " + std::to_string(order.id);
        if (order.amount < 0) {
            if (system != nullptr) {
                system->Error("OrderJob::Process", (text + " rejected: negative amount").c_str(), "(U) ");
            }
            continue;
        }
        if (system != nullptr) system->Info("OrderJob::Process", (text + " accepted").c_str(), "(U) ");
        audit->Info("OrderJob::Audit", (text + " booked").c_str(), "(U) ");
    }
}

}  // namespace

int main() {
    const char* level = IMsgLog::GetLoggingSystemProperty(IMsgLog::PropertyKey::LOGGING_LEVEL);
    std::printf("logging is %s, configured level %s\n", IMsgLog::LoggingIsOn() ? "on" : "off",
                level != nullptr ? level : "(none)");

    IMsgLog* system = MsgLogFactory::GetGlobalSystemLogger();
    if (system == nullptr) {
        std::printf("no system logger: is CLASSIFIED/kiv.system.properties beside the program?\n");
    }

    const char* logDirectory = IMsgLog::GetLoggingSystemProperty(IMsgLog::PropertyKey::LOG_DIR);
    const std::string auditPath = std::string(logDirectory ? logDirectory : "") + "kivlog-example-audit.log";
    IMsgLog* audit = MsgLogFactory::NewMsgLog(IMsgLog::MSG_LOG_PLAIN_FILE, auditPath.c_str());
    ProcessOrders(system, audit);

    // The console demonstration runs even without a properties file.
    IMsgLog::TurnLoggingOn();
    IMsgLog* console = SysOutMsgLog::NewSysOutMsgLog();
    if (console != nullptr) ShowEveryFrontEnd(console);
    MsgLogFactory::DeleteMsgLog(&console);
    MsgLogFactory::DeleteMsgLog(&audit);

    std::printf("\nsystem log files: %skiv.log_*.log\n", logDirectory ? logDirectory : "(none)");
    std::printf("audit log file:   %s\n", auditPath.c_str());
    return 0;
}
