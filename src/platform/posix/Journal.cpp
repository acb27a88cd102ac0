// The systemd journal, through libsystemd when the library is built with it.
#include "platform/Platform.h"

#include <logging/MsgLogThreshold.h>

#if defined(KIVLOGGING_WITH_LIBSYSTEMD)
#include <sys/socket.h>
#include <sys/un.h>
// The journal's CODE_FILE, CODE_LINE and CODE_FUNC name the caller of the
// library, not this file.
#define SD_JOURNAL_SUPPRESS_LOCATION
#include <systemd/sd-journal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/MessageBuffer.h"
#include "core/TextHelpers.h"
#endif

namespace ORVA::KIV::System::Utility::Logging::Platform {

#if defined(KIVLOGGING_WITH_LIBSYSTEMD)
namespace {

// Where journald takes native messages; libsystemd sends to this path.
constexpr char kJournalSocket[] = "/run/systemd/journal/socket";

// Whether a journald answers at the socket: connecting a datagram socket
// sends nothing, and a socket file left behind by a journald that has
// stopped refuses the connection.
std::string JournalSocketProblem() {
    const int probe = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (probe < 0) return std::string("no socket for the journal: ") + std::strerror(errno);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, kJournalSocket, sizeof kJournalSocket);
    const int connected = connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    const int error = errno;
    close(probe);
    if (connected == 0) return std::string();
    if (error == ENOENT) return "no systemd journal socket";
    return std::string("the systemd journal socket does not take messages (") +
           std::strerror(error) + ")";
}

// syslog's priorities, by severity from DEBUG to FATAL.
constexpr char kPriorities[] = {'7', '6', '4', '3', '2'};

char PriorityOf(int severity) {
    if (severity < KIVLOGGING_LEVEL_DEBUG || severity > KIVLOGGING_LEVEL_FATAL) return '6';
    return kPriorities[severity - KIVLOGGING_LEVEL_DEBUG];
}

}  // namespace

JournalOpening OpenJournal() {
    JournalOpening opening;
    opening.description = JournalSocketProblem();
    if (opening.description.empty()) {
        opening.handle = 1;
        opening.description = std::string("the systemd journal at ") + kJournalSocket;
    }
    return opening;
}

bool SendToJournal(JournalHandle, const JournalEntry& entry) {
    // Each field is one "NAME=value" piece; pieces are composed one after
    // another and cut apart once the text no longer moves.
    MessageBuffer text;
    size_t ends[6];
    size_t count = 0;
    const auto field = [&](const char* name, const char* value, const char* more) {
        text.Append(name);
        if (value != nullptr) text.Append(value);
        if (more != nullptr) text.Append(more);
        ends[count++] = text.View().size();
    };
    field("MESSAGE=", entry.marking, entry.message);
    const char priority[] = {PriorityOf(entry.severity), '\0'};
    field("PRIORITY=", priority, nullptr);
    if (IsNonEmpty(entry.method)) field("CODE_FUNC=", entry.method, nullptr);
    if (entry.level != nullptr) field("KIV_LEVEL=", entry.level, nullptr);
    if (IsNonEmpty(entry.marking)) field("KIV_MARKING=", entry.marking, nullptr);
    field("SYSLOG_IDENTIFIER=", program_invocation_short_name, nullptr);

    const std::string_view all = text.View();
    iovec fields[6];
    size_t begin = 0;
    for (size_t i = 0; i < count; ++i) {
        fields[i].iov_base = const_cast<char*>(all.data() + begin);
        fields[i].iov_len = ends[i] - begin;
        begin = ends[i];
    }
    return sd_journal_sendv(fields, static_cast<int>(count)) >= 0;
}

#else

JournalOpening OpenJournal() {
    return {kNoJournal, "built without libsystemd"};
}

bool SendToJournal(JournalHandle, const JournalEntry&) {
    return false;
}

#endif

void CloseJournal(JournalHandle) {}

}  // namespace ORVA::KIV::System::Utility::Logging::Platform
