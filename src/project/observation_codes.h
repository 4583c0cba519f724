// Short codes and long labels of observation readings, for reports.
#ifndef TAVEX_PROJECT_OBSERVATION_CODES_H
#define TAVEX_PROJECT_OBSERVATION_CODES_H

#include "geodesy/kz_string.h"
#include "messages/message_log.h"

namespace Tavex {

// The short code of a reading ("R3", "S0", "DX", "AN", ...). A code out of
// range (a set number above 99, a group above 9, an unknown relation or
// component, an unknown type) adds warning 471 to the log when one is given;
// an unknown type gives "??".
CKZString ObservationCode(unsigned type, unsigned sub, MessageLog* log = nullptr);

// The long label of a reading: the type's label with the set number or group
// appended where it is in range; empty for unknown codes, without a message.
CKZString ObservationLabel(unsigned type, unsigned sub);

} // namespace Tavex

#endif
