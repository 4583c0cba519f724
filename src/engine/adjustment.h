// The adjustment: the sequence from the project's stations and observations
// to the solved, iterated network, for every datum type, in adjustment and
// in design mode.
#ifndef TAVEX_ENGINE_ADJUSTMENT_H
#define TAVEX_ENGINE_ADJUSTMENT_H

#include "engine/engine_state.h"
#include "messages/progress.h"
#include "project/project_state.h"

namespace Tavex {

// Runs the adjustment. Returns 1 when it completed, 0 when it stopped (the
// reason is in the message log).
int RunAdjustment(ProjectState& project, EngineState& engine, Progress& progress);

// The convergence test of one solution: the largest coordinate correction
// (metres) must not exceed the criterion; every other unknown's correction
// must stay below its standard deviation. Sets the engine's largest
// correction and the unknown holding it; returns whether converged.
bool Converged(const ProjectState& project, EngineState& engine,
               const std::vector<double>& corrections, unsigned iteration);

// F = vᵀ P v σ0² / (observations − unknowns), the a-posteriori variance
// factor of the residuals in the engine.
double PosterioriVarianceFactor(const ProjectState& project, const EngineState& engine);

} // namespace Tavex

#endif
