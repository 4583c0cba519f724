// The loop run: for every kind of loop the network's dimension allows, in
// the order of kLoopFamilies, the station graph of its legs, the search for
// its independent loops and their misclosures; then the ".rnd" report or
// the ".rnd.xml" document by the output form.
#ifndef TAVEX_LOOPS_LOOPS_DRIVER_H
#define TAVEX_LOOPS_LOOPS_DRIVER_H

#include "messages/progress.h"
#include "output/loop_output.h"
#include "project/project_state.h"
#include "tavex/tavex.h"

namespace Tavex {

// Finds the loops into results (in the order of the kinds, each kind's in
// the order found). Returns 1 when every step ran, 0 after the message of
// the one that failed.
int RunLoops(ProjectState& project, Progress& progress, CLoopResultsPtrArray& results);

// The same without writing anything, for callers that only want the loops;
// summary receives what the outputs would need.
int FindLoops(ProjectState& project, Progress& progress, CLoopResultsPtrArray& results,
              LoopRunSummary& summary);

} // namespace Tavex

#endif
