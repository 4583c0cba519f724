// The statistics record of an adjustment: counts, critical values and the
// five lists of the largest rejected tests.
#ifndef TAVEX_INTERFACE_STATISTICS_HANDBACK_H
#define TAVEX_INTERFACE_STATISTICS_HANDBACK_H

#include "engine/engine_state.h"
#include "project/project_state.h"
#include "tavex/tavex.h"

namespace Tavex {

// Writes words 0 to 40; outside design mode also the five lists, each
// cleared first and then holding up to ten entries in decreasing order of
// its key, the first in table order winning ties.
void HandBackStatistics(const ProjectState& project, const EngineState& engine,
                        _STATISTICS& statistics);

} // namespace Tavex

#endif
