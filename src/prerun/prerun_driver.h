// The pre-run: it checks a project before it is adjusted, without solving
// anything and without changing a coordinate. On the network the adjustment
// would build (its rows, unknowns, design matrix and weights at the
// approximate coordinates, every known coordinate fixed, no inner
// constraints, so that a missing datum shows as a defect) it finds the
// configuration defects, then, for an adjustment, the repeated observations
// that contradict each other, the observations that contradict the
// approximate coordinates and the observations entered twice, and, except in
// 1D, the stations that may be one point entered twice. The result goes to
// the ".vnk" report or the ".vnk.xml" document by the output form.
#ifndef TAVEX_PRERUN_PRERUN_DRIVER_H
#define TAVEX_PRERUN_PRERUN_DRIVER_H

#include "engine/engine_state.h"
#include "messages/progress.h"
#include "project/project_state.h"

namespace Tavex {

// Returns 1 when every step ran (whatever was found), 0 when one failed
// after its message. The engine's tables are freed at the end.
int RunPreRun(ProjectState& project, EngineState& engine, Progress& progress);

} // namespace Tavex

#endif
