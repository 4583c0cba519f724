// The results of an adjustment written into the host's observation records.
#ifndef TAVEX_INTERFACE_OBSERVATION_HANDBACK_H
#define TAVEX_INTERFACE_OBSERVATION_HANDBACK_H

#include "engine/engine_state.h"
#include "project/project_state.h"

namespace Tavex {

// Writes, for every reading with an equation row, its redundancy number,
// the relative ellipse of its station pair, residual, MDB, bias-to-noise
// ratio, W-test, standard deviations and (GPS) group results, in the layout
// of its type code. Readings without a row receive nothing.
void HandBackObservations(const ProjectState& project, const EngineState& engine);

// The code of the reading behind a row, as the records name a causing
// observation: the type code 1 to 5, 60 + component for a baseline, 70 +
// component for a GPS coordinate, 1000 + component for a datum row.
int CausingCode(const ProjectState& project, const EngineState& engine, std::size_t row);
// The number the records name a causing row by: the observation's record
// position, or the known-station number of a datum row.
int CausingSubject(const ProjectState& project, const EngineState& engine, std::size_t row);

// A redundancy number in percent as the records' whole number, truncated.
// A correlated GPS group whose covariance is nearly singular can give any
// value: it is clamped to the integer range, and one that is not a number
// becomes 0.
int WholePercent(double redundancy);

} // namespace Tavex

#endif
