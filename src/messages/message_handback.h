// Copies the message list into the host's Messages vector.
#ifndef TAVEX_MESSAGES_MESSAGE_HANDBACK_H
#define TAVEX_MESSAGES_MESSAGE_HANDBACK_H

#include "messages/message_log.h"
#include "tavex/tavex.h"

namespace Tavex {

// Empties settings.Messages and appends one _MESSAGE per message in list
// order: number, class, reference kind, the UTF-8 text cut to at most 260
// bytes (never inside a character) and zero-terminated, and the first
// attached number (0 when none).
void HandBackMessages(const MessageLog& log, _SETTINGS& settings);

// The record of one message as handed back.
_MESSAGE MakeMessageRecord(const CMessageHandler& message);

} // namespace Tavex

#endif
