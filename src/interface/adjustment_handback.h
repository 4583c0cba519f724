// Handing the results of an adjustment back into the host's records.
#ifndef TAVEX_INTERFACE_ADJUSTMENT_HANDBACK_H
#define TAVEX_INTERFACE_ADJUSTMENT_HANDBACK_H

#include "engine/engine_state.h"
#include "project/project_state.h"
#include "tavex/tavex.h"

namespace Tavex {

// Whether every value that would be handed back is a finite number; logs
// error 730 when not.
int ResultsAreFinite(ProjectState& project, const EngineState& engine);

// The hand-back of a successful adjustment, in order: station records,
// statistics, additional parameters into the settings record.
void HandBackAdjustment(ProjectState& project, EngineState& engine, _STATISTICS& statistics);

// An external reliability as the station records carry it: 0.0 when its
// absolute value exceeds 1000.
double ReportedExternalReliability(double value);

// The standard deviation of unknown i (in the unknown's correction unit).
double UnknownSigma(const ProjectState& project, const EngineState& engine, std::uint32_t i);

} // namespace Tavex

#endif
