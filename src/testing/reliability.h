// Reliability: minimal detectable biases, bias-to-noise ratios, W-tests and
// the rule for uncontrolled rows, and external reliability.
#ifndef TAVEX_TESTING_RELIABILITY_H
#define TAVEX_TESTING_RELIABILITY_H

#include "engine/engine_state.h"
#include "project/project_state.h"

namespace Tavex {

// MDB_i = √(λ0 / max(|D_ii|, 1e-32)), in the row's reduced unit.
void MinimalDetectableBiases(const ProjectState& project, EngineState& engine);

// w_i = σ0² (P ê)_i / √max(|D_ii|, 1e-32) for every row with D_ii.
void WTests(const ProjectState& project, EngineState& engine);

// b²_i = σ0² P_ii MDB_i² − λ0.
void BiasToNoiseRatios(const ProjectState& project, EngineState& engine);

// A row is uncontrolled when √|b²| > 1000 or MDB > 1000 f σ: its W-test is
// set to 0, and a known station whose rows are all uncontrolled loses its
// test.
void ClearUncontrolled(const ProjectState& project, EngineState& engine);

// The largest effect of every row's MDB on each coordinate unknown (the
// others are not reported): for row i the column of P times min(MDB, 1e6),
// through Aᵀ and N⁻¹. Needs the factor; factorises again when the sparse
// inverse replaced it. Returns 1, or 0 after an error message.
int ComputeExternalReliability(ProjectState& project, EngineState& engine);

// Whether row i is a known-station coordinate row whose MDB is out of reach
// (MDB > 1000 f σ): it neither tests nor disturbs.
bool IsUncontrolledDatumRow(const EngineState& engine, std::size_t i);

} // namespace Tavex

#endif
