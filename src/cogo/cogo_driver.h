// The approximate-coordinate computation: rounds of simple constructions in
// a plane, a fit onto the known stations, rounds anchored on them, then the
// heights the same way in one dimension; the report or result document; and
// the results for the hand-back into the host's station records.
#ifndef TAVEX_COGO_COGO_DRIVER_H
#define TAVEX_COGO_COGO_DRIVER_H

#include "cogo/cogo_result.h"
#include "cogo/cogo_state.h"
#include "messages/progress.h"
#include "project/project_state.h"

namespace Tavex {

// The whole run; 1 on success, 0 after its message. results receives one
// entry per station (element 0 unused) on success.
int RunApproximateCoordinates(ProjectState& project, Progress& progress, CogoResults& results);

// The computation without output, for tests: fills the state.
int ComputeCogo(ProjectState& project, Progress& progress, CogoState& c);

} // namespace Tavex

#endif
