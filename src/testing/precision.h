// Precision of an adjustment from Q = N⁻¹: standard deviations of the
// unknowns, station covariance blocks and absolute standard ellipses,
// relative ellipses of connected stations, criterion circles of a free
// network, and standard deviations of the adjusted observations.
#ifndef TAVEX_TESTING_PRECISION_H
#define TAVEX_TESTING_PRECISION_H

#include "engine/cofactor_lookup.h"
#include "engine/engine_state.h"
#include "project/project_state.h"

namespace Tavex {

// The ellipse of a 2 x 2 block (Q units): h = (qEE − qNN)/2,
// s = √(h² + qNE²), λ = (qEE + qNN)/2 ± s; φ = π/2 when |λ1 − qEE| < 1e-32,
// else atan(qNE / (λ1 − qEE)); A = √λ1 / σ0, B = √|λ2| / σ0.
StandardEllipse EllipseOf(double qEE, double qNE, double qNN, double sigma0);

// Standard deviations of the unknowns, station blocks and (in 2D and 3D)
// absolute ellipses.
void ComputeStationPrecision(const ProjectState& project, EngineState& engine);

// Relative ellipses of the station pairs the observation rows connect.
// Returns 1, or 0 after 401 with 418.
int ComputeRelativeEllipses(ProjectState& project, EngineState& engine);

// The criterion circles of a free network (c(d) = C0 + C1 d).
void ComputeCriterionCircles(const ProjectState& project, EngineState& engine);

// sd_i = √|aᵢᵀ Q aᵢ| / σ0 for every row, in the row's reduced unit. Returns
// 1, or 0 after 401 with 422.
int ComputeAdjustedObservationPrecision(ProjectState& project, EngineState& engine);

// aᵢᵀ Q a_k for rows i and k of the design matrix.
double RowCofactor(const EngineState& engine, CofactorLookup& q, std::size_t i, std::size_t k);

// B = A Q Aᵀ on rows first … first + count − 1 (count ≤ 3): the cofactors
// of the rows' unknowns are looked up once each and the product formed on
// them (a GPS baseline's three rows share six unknowns: 21 look-ups instead
// of 324).
void RowBlockCofactors(const EngineState& engine, CofactorLookup& q, std::size_t first, int count,
                       double (&B)[3][3]);

inline constexpr double kCriterionC0 = 0.0;  // m²
inline constexpr double kCriterionC1 = 1e-7; // m² per m

} // namespace Tavex

#endif
