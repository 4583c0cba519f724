// Allocation failures: message 400 (not enough memory to allocate) or 401
// (not enough memory for the computation) followed by the name of the
// structure that could not be had.
#ifndef TAVEX_MESSAGES_NO_MEMORY_H
#define TAVEX_MESSAGES_NO_MEMORY_H

#include "messages/message_log.h"

namespace Tavex {

// Logs error code (400 or 401) with the structure named by string
// structureId; returns 0 so that a failing step can end with it.
int ReportNoMemory(MessageLog& log, int code, int structureId);

} // namespace Tavex

#endif
