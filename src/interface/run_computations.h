// The computations behind the four runs, as the run frame calls them. Each
// checks the project's input first and returns nonzero on success.
#ifndef TAVEX_INTERFACE_RUN_COMPUTATIONS_H
#define TAVEX_INTERFACE_RUN_COMPUTATIONS_H

#include "interface/run_state.h"
#include "messages/progress.h"
#include "project/project_state.h"
#include "tavex/tavex.h"

namespace Tavex {

int ComputeAdjustment(ProjectState& project, RunState& run, Progress& progress);
int ComputePreRun(ProjectState& project, RunState& run, Progress& progress);
int ComputeApproximateCoordinates(ProjectState& project, RunState& run, Progress& progress);
// The loops go into results, which the run's hand-back turns into the
// host's records.
int ComputeLoops(ProjectState& project, RunState& run, Progress& progress,
                 CLoopResultsPtrArray& results);

// Logs that this build has no computation for the run named by string
// runNameId, and returns 0: a run never reports success for work it did not
// do.
int ReportNotAvailable(ProjectState& project, int runNameId);

} // namespace Tavex

#endif
