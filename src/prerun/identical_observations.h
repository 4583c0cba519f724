// Observations that may be one measurement entered twice: records that are
// exact copies (the same stations, readings and heights, bit for bit), and
// height differences or GPS baselines that agree within their precision
// although they share only one station (a measurement given to the wrong
// pair of stations).
#ifndef TAVEX_PRERUN_IDENTICAL_OBSERVATIONS_H
#define TAVEX_PRERUN_IDENTICAL_OBSERVATIONS_H

#include "engine/engine_state.h"
#include "prerun/prerun_results.h"
#include "project/project_state.h"

namespace Tavex {

// Appends one block of check kind 4 per group found, the record that starts
// it first. k is the W-test critical value. Records are indexed by their
// readings and stations, so large projects take about linear time.
void CheckIdenticalObservations(const ProjectState& project, const EngineState& engine, double k,
                                CVelnikResultsPtrArray& results);

} // namespace Tavex

#endif
