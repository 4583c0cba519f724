// Variance component analysis: one variance factor per group of observation
// rows, estimated from the residuals and the redundancy numbers,
//   σ̂²_k = Σ_(i in k) êᵢ (P ê)ᵢ / Σ_(i in k) rᵢ · σ0²,
// and, when VarComponent asks for it, the re-weighting of the groups by the
// product of their estimates, pass after pass, until every estimate of the
// re-weighted groups is within VarEpsilon of 1.
//
// Groups (key, kind): (0, 50) terrestrial and (0, 60) GPS when the network
// has such observations; (0, k) for every row kind k met (datum rows 20 to
// 34 as 35, the others from 35 up as 40); and (s, k) for every row of kind
// below 20 whose observation carries the variance group s ≠ 0. A row counts
// in every group that matches it. Modes of VarComponent: 1 re-weights the
// terrestrial (kinds 1 to 5, 8, 9) and the GPS (6, 7) groups, 2 every kind
// (1 to 9), 3 every kind within each variance group s (1 to 8; a row of an
// observation without a group keeps its weight).
//
// The engine forms the weights anew in every iteration, so the cumulative
// factor divides them once per fill (ReweightRows), never once per pass on
// top of weights already divided.
#ifndef TAVEX_TESTING_VARIANCE_COMPONENTS_H
#define TAVEX_TESTING_VARIANCE_COMPONENTS_H

#include <cstdint>
#include <vector>

namespace Tavex {

struct EngineState;
struct ProjectState;

inline constexpr std::uint32_t kGroupTerrestrial = 50;
inline constexpr std::uint32_t kGroupGps = 60;
inline constexpr std::uint32_t kGroupDatumRows = 35;
inline constexpr std::uint32_t kGroupOtherRows = 40;

struct VarianceGroup {
    std::uint32_t key = 0;   // 0, or the observations' variance group
    std::uint32_t kind = 0;  // 50, 60, a row kind 1 to 19, 35 or 40
    double estimate = 0.0;   // σ̂² of the last computation
    double redundancy = 0.0; // Σ rᵢ, as fractions
    double factor = 1.0;     // product of the estimates of the completed passes
};

struct VarianceComponents {
    std::vector<VarianceGroup> groups; // in the order they were met
    unsigned passes = 0;
    bool reweighting = false; // the weights are divided by the groups' factors
    bool estimated = false;   // estimates of the final solution exist
};

// The group table of a run (empty in design mode).
void BuildVarianceGroups(const ProjectState& project, EngineState& engine);

// The estimates and redundancies of every group from the residuals in
// engine.system.l, the weighted residuals and the redundancy numbers of the
// results; in a pass (not in the test step) every factor is then multiplied
// by its new estimate.
void EstimateVarianceComponents(const ProjectState& project, EngineState& engine, bool pass);

// Divides every stored weight of a row by the cumulative factor of its group
// under the project's mode (at least 1e-32).
void ReweightRows(const ProjectState& project, EngineState& engine);

// Whether every re-weighted group with redundancy is within VarEpsilon of 1.
bool VarianceComponentsConverged(const ProjectState& project, const EngineState& engine);

} // namespace Tavex

#endif
