// Handing the approximate coordinates back into the host's station records.
#ifndef TAVEX_INTERFACE_COGO_HANDBACK_H
#define TAVEX_INTERFACE_COGO_HANDBACK_H

#include "cogo/cogo_result.h"
#include "project/project_state.h"

namespace Tavex {

// For every station with a computed component: a known station (status 8)
// gets its horizontal pair only when the presence bits 0–1 are not both
// set, and its height only when the presence bits 2–3 are both clear; any
// other station gets its computed components and status 1, class 8. The
// horizontal pair is written in the record's own form: latitude and
// longitude when its flags have bit 4, the grid pair of the project's
// projection when they have bit 5, nothing otherwise. A component that was
// not computed is never written: a station that only got a height keeps
// its horizontal coordinates.
void HandBackApproximateCoordinates(ProjectState& project, const CogoResults& results);

} // namespace Tavex

#endif
