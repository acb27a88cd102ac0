// Deletion of a logger through the delete operation of its own class.
#ifndef KIVLOGGING_LOGS_MSGLOGDELETION_H
#define KIVLOGGING_LOGS_MSGLOGDELETION_H

#include <logging/MsgLog.h>

namespace ORVA::KIV::System::Utility::Logging {

// Deletes a console log, a file log or a journal member (closing it first) and sets *log to
// null. True when there is nothing to delete or the log was deleted; false,
// changing nothing, for a log of any other kind, such as a group.
bool DeleteMsgLogByKind(IMsgLog** log);

}  // namespace ORVA::KIV::System::Utility::Logging

#endif  // KIVLOGGING_LOGS_MSGLOGDELETION_H
