// Stations that may be one point entered twice: pairs closer than 2 m in
// space, from their approximate coordinates. A station that coincides with
// an earlier one to within a micrometre is reported once, with the first.
#ifndef TAVEX_PRERUN_COINCIDING_STATIONS_H
#define TAVEX_PRERUN_COINCIDING_STATIONS_H

#include "prerun/prerun_results.h"
#include "project/project_state.h"

namespace Tavex {

inline constexpr double kCoincidingDistance = 2.0; // metres

// Appends one block of check kind 3 when a pair is found. Pairs come in
// station-number order (i < j), from a grid of 2 m cells, so large
// networks take linear time.
void CheckCoincidingStations(const ProjectState& project, CVelnikResultsPtrArray& results);

} // namespace Tavex

#endif
