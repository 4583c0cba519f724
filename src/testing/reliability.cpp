#include "testing/reliability.h"

#include <algorithm>
#include <cmath>

namespace Tavex {

namespace {

constexpr double kFloor = 1e-32;
constexpr double kUncontrolled = 1000.0;

double DiagonalWeight(const CompressedRows& P, std::size_t r) {
    for (std::size_t e = P.Begin(r); e < P.End(r); ++e)
        if (P.col[e] == r)
            return P.val[e];
    return 0.0;
}

bool Uncontrolled(const EngineState& e, std::size_t i) {
    const AdjustmentResults& r = e.results;
    return std::sqrt(std::fabs(r.bnr2[i])) > kUncontrolled ||
           r.mdb[i] > kUncontrolled * r.f * e.sigma[i];
}

} // namespace

void MinimalDetectableBiases(const ProjectState& p, EngineState& e) {
    AdjustmentResults& r = e.results;
    for (std::size_t i = 1; i <= e.Rows(); ++i)
        r.mdb[i] = std::sqrt(p.Critical.lambda0 / std::max(std::fabs(r.D[i]), kFloor));
}

void WTests(const ProjectState& p, EngineState& e) {
    AdjustmentResults& r = e.results;
    const double s02 = p.Sigma0 * p.Sigma0;
    for (std::size_t i = 1; i <= e.Rows(); ++i)
        r.w[i] = r.D[i] == 0.0
                     ? 0.0
                     : s02 * r.weighted[i] / std::sqrt(std::max(std::fabs(r.D[i]), kFloor));
}

void BiasToNoiseRatios(const ProjectState& p, EngineState& e) {
    AdjustmentResults& r = e.results;
    const double s02 = p.Sigma0 * p.Sigma0;
    for (std::size_t i = 1; i <= e.Rows(); ++i)
        r.bnr2[i] = s02 * DiagonalWeight(e.system.P, i) * r.mdb[i] * r.mdb[i] - p.Critical.lambda0;
}

bool IsUncontrolledDatumRow(const EngineState& e, std::size_t i) {
    return e.rows[i].IsDatum() && e.results.mdb[i] > kUncontrolled * e.results.f * e.sigma[i];
}

void ClearUncontrolled(const ProjectState& p, EngineState& e) {
    AdjustmentResults& r = e.results;
    (void)p;
    // A known station whose rows are all uncontrolled has no test.
    std::vector<char> controlledRow(r.stationTests.size(), 0);
    for (std::size_t i = 1; i <= e.Rows(); ++i) {
        const bool uncontrolled = Uncontrolled(e, i);
        if (uncontrolled)
            r.w[i] = 0.0;
        const ObservationRow& row = e.rows[i];
        if (row.IsDatum() && row.source < controlledRow.size() && !uncontrolled)
            controlledRow[row.source] = 1;
    }
    for (std::size_t i = 1; i <= e.Rows(); ++i) {
        const ObservationRow& row = e.rows[i];
        if (!row.IsDatum() || row.source >= controlledRow.size() || controlledRow[row.source])
            continue;
        if (CTTest* test = r.stationTests[row.source].get()) {
            test->T = 0.0;
            test->ratio = 0.0;
        }
    }
}

} // namespace Tavex
