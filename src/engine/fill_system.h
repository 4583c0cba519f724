// Filling the linear system at the current values of the unknowns: the
// design matrix (by row, then transposed by unknown), the weight matrix and
// the reduced observations.
#ifndef TAVEX_ENGINE_FILL_SYSTEM_H
#define TAVEX_ENGINE_FILL_SYSTEM_H

#include "engine/engine_state.h"
#include "messages/progress.h"
#include "project/project_state.h"

namespace Tavex {

// Reduced observations: observed − computed in radians for angles, metres
// for heights, coordinates and baselines, and relative to the computed
// distance for distances ((observed − computed) / computed; their design rows
// and weights are relative likewise). Directions and azimuths are brought to
// the representative nearest zero. In design mode the reduced observations
// are 0. Returns 1, or 0 after an error message (a singular GPS covariance,
// 446/447; no memory, 400 with 410).
int FillSystem(ProjectState& project, EngineState& engine, Progress& progress);

// l − 2π n with n the integer nearest to l / 2π, a fractional part of
// exactly one half going to the lower integer.
double WrapAngle(double l);

} // namespace Tavex

#endif
