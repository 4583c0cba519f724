// The test step of an adjustment: W-tests of every row, T-tests of GPS
// groups and known stations, direction (antenna height) tests of GPS groups,
// with the reliability quantities (redundancy numbers, minimal detectable
// biases, bias-to-noise ratios, external reliability) in the order the
// B-method needs them.
#ifndef TAVEX_TESTING_OBSERVATION_TESTS_H
#define TAVEX_TESTING_OBSERVATION_TESTS_H

#include "engine/engine_state.h"
#include "messages/progress.h"
#include "project/project_state.h"

namespace Tavex {

// Runs the test step on the solved system (the sparse inverse must hold
// Q). In design mode only D, the MDBs, redundancy numbers and bias-to-noise
// ratios are formed. Returns 1, or 0 after an error message.
int RunTests(ProjectState& project, EngineState& engine, Progress& progress);

// The redundancy numbers and weighted residuals of every row without the
// tests (the variance-component passes). Returns 1, or 0 after 401.
int ComputeRedundancyNumbers(ProjectState& project, EngineState& engine);

// The T-test of a group of b rows from its packed block D (D11, D12, D22,
// D13, D23, D33) and y = σ0² P ê of its rows: b = 1: ∇ = y/D, T = y ∇;
// b ≥ 2: ∇ = D⁻¹ y, T = yᵀ∇ / b, or T = 0 and ∇ = 0 when a pivot of the
// Cholesky factor of D falls below pivotFloor.
double GroupTest(const double* packedD, const double* y, int b, double pivotFloor,
                 double* estimatedError);

} // namespace Tavex

#endif
