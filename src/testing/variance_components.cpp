#include "testing/variance_components.h"

#include "engine/engine_state.h"
#include "project/project_state.h"

#include <algorithm>
#include <cmath>

namespace Tavex {

namespace {

constexpr double kFloor = 1e-32;
constexpr std::uint32_t kFirstPseudoKind = 20;
// A group whose redundancy numbers add up to less than this has none: rows
// without redundancy sum to rounding noise, never to exactly 0, and their
// estimate means nothing.
constexpr double kNoRedundancy = 1e-6;

// The group kind of a row kind.
std::uint32_t MappedKind(std::uint16_t kind) {
    if (kind < kFirstPseudoKind)
        return kind;
    return kind < kGroupDatumRows ? kGroupDatumRows : kGroupOtherRows;
}

bool IsTerrestrialKind(std::uint32_t k) {
    return (k >= ROW_DIRECTION && k <= ROW_HEIGHT_DIFFERENCE) || k == ROW_TRIG_HEIGHT ||
           k == ROW_RELATION || k == ROW_LOCAL_COORDINATE;
}

bool IsGpsKind(std::uint32_t k) {
    return k == ROW_GPS_BASELINE || k == ROW_GPS_COORDINATE;
}

// The variance group s of a row's observation (0 for pseudo-observations).
std::uint32_t KeyOf(const ProjectState& p, const ObservationRow& row) {
    if (!row.IsObservation() || p.CallerMode != kCallerModeHost)
        return 0;
    return p.Observations.GetAt(static_cast<int>(row.source))->VarGroup;
}

const VarianceGroup* Find(const std::vector<VarianceGroup>& groups, std::uint32_t key,
                          std::uint32_t kind) {
    for (const VarianceGroup& g : groups)
        if (g.key == key && g.kind == kind)
            return &g;
    return nullptr;
}

void AddGroup(std::vector<VarianceGroup>& groups, std::uint32_t key, std::uint32_t kind) {
    if (!Find(groups, key, kind))
        groups.push_back({key, kind, 0.0, 0.0, 1.0});
}

// The group whose factor re-weights a row under the mode, or null.
const VarianceGroup* WeightingGroup(const ProjectState& p, const EngineState& e,
                                    const ObservationRow& row) {
    const std::uint32_t k = MappedKind(row.kind);
    const std::vector<VarianceGroup>& groups = e.variance.groups;
    switch (p.VarComponent) {
    case 1:
        // Local coordinates count in the terrestrial sums, but keep their
        // weights.
        if (IsTerrestrialKind(k) && k != ROW_LOCAL_COORDINATE)
            return Find(groups, 0, kGroupTerrestrial);
        return IsGpsKind(k) ? Find(groups, 0, kGroupGps) : nullptr;
    case 2:
        return k >= ROW_DIRECTION && k <= ROW_RELATION ? Find(groups, 0, k) : nullptr;
    case 3: {
        const std::uint32_t s = KeyOf(p, row);
        return k >= ROW_DIRECTION && k <= ROW_TRIG_HEIGHT && s != 0 ? Find(groups, s, k) : nullptr;
    }
    default:
        return nullptr;
    }
}

// Whether the mode re-weights a group (and so watches its convergence).
bool Watched(const ProjectState& p, const VarianceGroup& g) {
    switch (p.VarComponent) {
    case 1:
        return g.key == 0 && (g.kind == kGroupTerrestrial || g.kind == kGroupGps);
    case 2:
        return g.key == 0 && g.kind >= ROW_DIRECTION && g.kind < kFirstPseudoKind + 1;
    case 3:
        return g.key != 0;
    default:
        return false;
    }
}

} // namespace

void BuildVarianceGroups(const ProjectState& p, EngineState& e) {
    VarianceComponents& v = e.variance;
    v = VarianceComponents{};
    if (p.AdjDesign)
        return;
    bool terrestrial = false, gps = false;
    for (std::size_t r = 1; r <= e.observationRows; ++r) {
        gps |= IsGpsKind(e.rows[r].kind);
        terrestrial |= IsTerrestrialKind(e.rows[r].kind);
    }
    if (terrestrial)
        AddGroup(v.groups, 0, kGroupTerrestrial);
    if (gps)
        AddGroup(v.groups, 0, kGroupGps);
    for (std::size_t r = 1; r <= e.Rows(); ++r)
        AddGroup(v.groups, 0, MappedKind(e.rows[r].kind));
    for (std::size_t r = 1; r <= e.Rows(); ++r) {
        const ObservationRow& row = e.rows[r];
        const std::uint32_t s = KeyOf(p, row);
        if (row.kind < kFirstPseudoKind && s != 0)
            AddGroup(v.groups, s, row.kind);
    }
}

void EstimateVarianceComponents(const ProjectState& p, EngineState& e, bool pass) {
    VarianceComponents& v = e.variance;
    for (VarianceGroup& g : v.groups)
        g.estimate = g.redundancy = 0.0;
    const std::size_t n = e.Rows(), u = e.Unknowns();
    const AdjustmentResults& r = e.results;
    if (n == u || r.redundancy.size() <= n || r.weighted.size() <= n)
        return;
    for (std::size_t i = 1; i <= n; ++i) {
        const ObservationRow& row = e.rows[i];
        const std::uint32_t k = MappedKind(row.kind);
        const std::uint32_t s = row.kind < kFirstPseudoKind ? KeyOf(p, row) : 0;
        const double square = e.system.l[i] * r.weighted[i];
        const double redundancy = r.redundancy[i] / 100.0;
        for (VarianceGroup& g : v.groups) {
            const bool matches =
                (g.key == 0 && g.kind == kGroupTerrestrial && IsTerrestrialKind(k)) ||
                (g.key == 0 && g.kind == kGroupGps && IsGpsKind(k)) ||
                (g.key == 0 && g.kind == k) || (s != 0 && g.key == s && g.kind == k);
            if (matches) {
                g.estimate += square;
                g.redundancy += redundancy;
            }
        }
    }
    const double s02 = p.Sigma0 * p.Sigma0;
    for (VarianceGroup& g : v.groups) {
        g.estimate = g.estimate / std::max(g.redundancy, kFloor) * s02;
        // Without redundancy the estimate is rounding noise over 1e-32:
        // re-weighting a group with it would make its weights 0 or 1e32
        // and the normal equations singular, so its factor stays.
        if (pass && g.redundancy > kNoRedundancy)
            g.factor *= g.estimate;
    }
    v.estimated = true;
}

void ReweightRows(const ProjectState& p, EngineState& e) {
    CompressedRows& P = e.system.P;
    for (std::size_t i = 1; i <= e.Rows(); ++i) {
        const VarianceGroup* g = WeightingGroup(p, e, e.rows[i]);
        if (g == nullptr)
            continue;
        const double divide = 1.0 / std::max(g->factor, kFloor);
        for (std::size_t k = P.Begin(i); k < P.End(i); ++k)
            P.val[k] *= divide;
    }
}

bool VarianceComponentsConverged(const ProjectState& p, const EngineState& e) {
    for (const VarianceGroup& g : e.variance.groups)
        if (Watched(p, g) && g.redundancy > kNoRedundancy &&
            std::fabs(g.estimate - 1.0) > p.VarEpsilon)
            return false;
    return true;
}

} // namespace Tavex
