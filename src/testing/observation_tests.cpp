#include "testing/observation_tests.h"

#include "engine/numeric_factorisation.h"
#include "engine/singularity_report.h"
#include "messages/no_memory.h"
#include "resources/string_ids.h"
#include "testing/precision.h"
#include "testing/reliability.h"
#include "testing/variance_components.h"

#include <cmath>
#include <new>

namespace Tavex {

namespace {

constexpr double kFloor = 1e-32;
// Pivots of a test block below this part of its largest diagonal element
// are rounding noise of a singular block.
constexpr double kRelativePivotFloor = 1e-9;

int Packed(int j, int k) {
    return k * (k + 1) / 2 + j;
} // j <= k, 0-based

// The weight-matrix element P(r, s) (0 where not stored).
double Weight(const CompressedRows& P, std::size_t r, std::size_t s) {
    for (std::size_t e = P.Begin(r); e < P.End(r); ++e)
        if (P.col[e] == s)
            return P.val[e];
    return 0.0;
}

// D = σ0² (P − P B P) of a block of rows first .. first + b − 1, with
// B = A Q Aᵀ on the block; rows couple only within their block.
void GroupBlock(const ProjectState& p, const EngineState& e, CofactorLookup& q, std::size_t first,
                int b, double* packed, double* redundancy) {
    double P[3][3] = {}, B[3][3] = {};
    for (int j = 0; j < b; ++j)
        for (int k = 0; k < b; ++k)
            P[j][k] = Weight(e.system.P, first + j, first + k);
    RowBlockCofactors(e, q, first, b, B);
    double BP[3][3] = {}, PBP[3][3] = {};
    for (int j = 0; j < b; ++j)
        for (int k = 0; k < b; ++k)
            for (int m = 0; m < b; ++m)
                BP[j][k] += B[j][m] * P[m][k];
    for (int j = 0; j < b; ++j)
        for (int k = 0; k < b; ++k)
            for (int m = 0; m < b; ++m)
                PBP[j][k] += P[j][m] * BP[m][k];
    const double s02 = p.Sigma0 * p.Sigma0;
    for (int k = 0; k < b; ++k)
        for (int j = 0; j <= k; ++j)
            packed[Packed(j, k)] = s02 * (P[j][k] - PBP[j][k]);
    // Redundancy: 1 − (A Q Aᵀ P)_ii.
    for (int j = 0; j < b; ++j)
        redundancy[j] = (1.0 - BP[j][j]) * 100.0;
}

// Direction tests of a GPS group along north, east and up of its station.
void DirectionTests(const ProjectState& p, const EngineState& e, std::size_t first, const double* D,
                    const double* y, CHTest& test) {
    const StationGeometry& g = e.geometry[e.rows[first].from];
    const double c[3][3] = {{-g.sinLat * g.cosLon, -g.sinLat * g.sinLon, g.cosLat},
                            {-g.sinLon, g.cosLon, 0.0},
                            {g.cosLat * g.cosLon, g.cosLat * g.sinLon, g.sinLat}};
    const auto d = [&](int j, int k) { return j <= k ? D[Packed(j, k)] : D[Packed(k, j)]; };
    for (int axis = 0; axis < 3; ++axis) {
        double cDc = 0.0, cy = 0.0;
        for (int j = 0; j < 3; ++j) {
            cy += c[axis][j] * y[j];
            for (int k = 0; k < 3; ++k)
                cDc += c[axis][j] * d(j, k) * c[axis][k];
        }
        const double Dc = std::max(std::fabs(cDc), kFloor);
        test.w[axis] = cy / std::sqrt(Dc);
        test.mdb[axis] = std::sqrt(p.Critical.lambda0 / Dc);
        test.estimatedError[axis] = cy / Dc;
    }
    test.ratio = std::fabs(test.w[2]) / p.Critical.criticalW;
}

double TRatio(const ProjectState& p, double T, int b) {
    if (b == 3)
        return std::sqrt(std::max(T, 0.0) / p.Critical.criticalT3);
    if (b == 2)
        return std::sqrt(std::max(T, 0.0) / p.Critical.criticalT2);
    return std::sqrt(std::max(T, 0.0)) / p.Critical.criticalW;
}

// The size of the station group that starts at a row of kind 31 or 33.
int StationGroupSize(const EngineState& e, std::size_t r) {
    const ObservationRow& row = e.rows[r];
    if (row.kind == ROW_DATUM_HEIGHT)
        return 1;
    const auto same = [&](std::size_t k, std::uint16_t kind) {
        return k <= e.Rows() && e.rows[k].kind == kind && e.rows[k].source == row.source;
    };
    if (!same(r + 1, ROW_DATUM_EAST))
        return 1;
    return same(r + 2, ROW_DATUM_HEIGHT) ? 3 : 2;
}

// The east and north rows of one observed local coordinate, which a plane
// network tests together.
bool IsLocalPlanePair(const EngineState& e, std::size_t r) {
    return r + 1 <= e.Rows() && e.rows[r].kind == ROW_LOCAL_COORDINATE && e.rows[r].sub == 0 &&
           e.rows[r + 1].kind == ROW_LOCAL_COORDINATE && e.rows[r + 1].sub == 1 &&
           e.rows[r + 1].source == e.rows[r].source;
}

class TestStep {
public:
    // With tests off only D and the redundancy numbers are formed, as in
    // design mode.
    TestStep(ProjectState& p, EngineState& e, bool tests)
        : p_(p), e_(e), r_(e.results), q_(e.system.factor), tests_(tests && !p.AdjDesign) {}

    void Walk();

private:
    void SingleRow(std::size_t i);
    void GpsGroup(std::size_t first);
    void StationGroup(std::size_t first, int b);
    void LocalPlaneGroup(std::size_t first);
    // D of rows first .. first + b − 1 into the results; the T-test of the
    // group when adjusting, else null.
    std::unique_ptr<CTTest> Group(std::size_t first, int b);

    ProjectState& p_;
    EngineState& e_;
    AdjustmentResults& r_;
    CofactorLookup q_;
    bool tests_;
};

void TestStep::SingleRow(std::size_t i) {
    double D = 0.0, redundancy = 0.0;
    GroupBlock(p_, e_, q_, i, 1, &D, &redundancy);
    r_.D[i] = D;
    r_.redundancy[i] = redundancy;
}

void TestStep::GpsGroup(std::size_t first) {
    double D[6], redundancy[3];
    GroupBlock(p_, e_, q_, first, 3, D, redundancy);
    for (int j = 0; j < 3; ++j) {
        r_.D[first + j] = D[Packed(j, j)];
        r_.redundancy[first + j] = redundancy[j];
    }
    if (!tests_)
        return;
    const double s02 = p_.Sigma0 * p_.Sigma0;
    const double y[3] = {s02 * r_.weighted[first], s02 * r_.weighted[first + 1],
                         s02 * r_.weighted[first + 2]};
    const std::uint32_t observation = e_.rows[first].source;
    auto height = std::make_unique<CHTest>();
    DirectionTests(p_, e_, first, D, y, *height);
    r_.antennaTests[observation] = std::move(height);
    auto test = std::make_unique<CTTest>();
    test->dimension = 3;
    test->T = GroupTest(D, y, 3, p_.DeltaSingular * p_.DeltaSingular, test->estimatedError);
    test->ratio = TRatio(p_, test->T, 3);
    r_.observationTests[observation] = std::move(test);
}

std::unique_ptr<CTTest> TestStep::Group(std::size_t first, int b) {
    double D[6], redundancy[3];
    GroupBlock(p_, e_, q_, first, b, D, redundancy);
    for (int j = 0; j < b; ++j) {
        r_.D[first + j] = D[Packed(j, j)];
        r_.redundancy[first + j] = redundancy[j];
    }
    if (!tests_)
        return nullptr;
    const double s02 = p_.Sigma0 * p_.Sigma0;
    double y[3] = {};
    for (int j = 0; j < b; ++j)
        y[j] = s02 * r_.weighted[first + j];
    auto test = std::make_unique<CTTest>();
    test->dimension = static_cast<std::uint32_t>(b);
    test->T = GroupTest(D, y, b, p_.DeltaSingular * p_.DeltaSingular, test->estimatedError);
    test->ratio = TRatio(p_, test->T, b);
    return test;
}

void TestStep::StationGroup(std::size_t first, int b) {
    if (std::unique_ptr<CTTest> test = Group(first, b))
        r_.stationTests[e_.rows[first].source] = std::move(test);
}

void TestStep::LocalPlaneGroup(std::size_t first) {
    if (std::unique_ptr<CTTest> test = Group(first, 2))
        r_.observationTests[e_.rows[first].source] = std::move(test);
}

void TestStep::Walk() {
    const bool free = p_.Phase == PHASE_FREE;
    const bool stationGroups = (p_.Dimension == 2 || p_.Dimension == 3) && !free;
    std::size_t i = 1;
    while (i <= e_.Rows()) {
        const ObservationRow& row = e_.rows[i];
        if ((row.kind == ROW_GPS_BASELINE || row.kind == ROW_GPS_COORDINATE) && row.sub == 0 &&
            i + 2 <= e_.Rows()) {
            GpsGroup(i);
            i += 3;
        } else if (p_.Dimension != 3 && IsLocalPlanePair(e_, i)) {
            LocalPlaneGroup(i);
            i += 2;
        } else if (stationGroups && (row.kind == ROW_DATUM_NORTH || row.kind == ROW_DATUM_HEIGHT)) {
            const int b = StationGroupSize(e_, i);
            StationGroup(i, b);
            i += static_cast<std::size_t>(b);
        } else if (row.kind >= 20 && row.kind != ROW_TRANSFORMATION && free) {
            r_.D[i] = 0.0; // not tested
            r_.redundancy[i] = 0.0;
            ++i;
        } else {
            SingleRow(i);
            ++i;
        }
    }
}

} // namespace

double GroupTest(const double* D, const double* y, int b, double pivotFloor,
                 double* estimatedError) {
    for (int k = 0; k < 3; ++k)
        estimatedError[k] = 0.0;
    if (b == 1) {
        const double d = std::fabs(D[0]) < kFloor ? kFloor : D[0];
        estimatedError[0] = y[0] / d;
        return y[0] * estimatedError[0];
    }
    // Packed Cholesky D = G Gᵀ (G lower, stored by the same packing of its
    // transpose), then ∇ = D⁻¹ y by two substitutions.
    double g[3][3] = {};
    const auto d = [&](int j, int k) { return j <= k ? D[Packed(j, k)] : D[Packed(k, j)]; };
    // A pivot that only rounding keeps from zero also counts as singular:
    // a rank-deficient block (for example the two coordinates of a known
    // station that the datum leaves one redundancy) has pivots of rounding
    // size, and its inverse would turn them into a huge, meaningless T.
    double largestDiagonal = 0.0;
    for (int j = 0; j < b; ++j)
        largestDiagonal = std::max(largestDiagonal, std::fabs(d(j, j)));
    const double floor = std::max(pivotFloor, kRelativePivotFloor * largestDiagonal);
    for (int j = 0; j < b; ++j) {
        double pivot = d(j, j);
        for (int k = 0; k < j; ++k)
            pivot -= g[j][k] * g[j][k];
        if (!(pivot >= floor))
            return 0.0; // a singular block: no test
        g[j][j] = std::sqrt(pivot);
        for (int i = j + 1; i < b; ++i) {
            double s = d(i, j);
            for (int k = 0; k < j; ++k)
                s -= g[i][k] * g[j][k];
            g[i][j] = s / g[j][j];
        }
    }
    double z[3] = {};
    for (int i = 0; i < b; ++i) {
        double s = y[i];
        for (int k = 0; k < i; ++k)
            s -= g[i][k] * z[k];
        z[i] = s / g[i][i];
    }
    for (int i = b - 1; i >= 0; --i) {
        double s = z[i];
        for (int k = i + 1; k < b; ++k)
            s -= g[k][i] * estimatedError[k];
        estimatedError[i] = s / g[i][i];
    }
    double T = 0.0;
    for (int i = 0; i < b; ++i)
        T += y[i] * estimatedError[i];
    return T / b;
}

namespace {

// D, the redundancy numbers and the weighted residuals of every row, and
// with tests the group tests.
int WalkRows(ProjectState& p, EngineState& e, bool tests) {
    AdjustmentResults& r = e.results;
    const std::size_t n = e.Rows();
    try {
        r.D.assign(n + 1, 0.0);
        r.w.assign(n + 1, 0.0);
        r.mdb.assign(n + 1, 0.0);
        r.redundancy.assign(n + 1, 0.0);
        r.bnr2.assign(n + 1, 0.0);
        r.observationTests.clear();
        r.antennaTests.clear();
        r.observationTests.resize(static_cast<std::size_t>(p.Observations.GetSize()));
        r.antennaTests.resize(static_cast<std::size_t>(p.Observations.GetSize()));
        r.stationTests.clear();
        r.stationTests.resize(p.StationCount + 1);
        // x = P ê.
        if (p.AdjDesign)
            r.weighted.assign(n + 1, 0.0);
        else
            Multiply(e.system.P, e.system.l, r.weighted);
        TestStep(p, e, tests).Walk();
    } catch (const std::bad_alloc&) {
        return ReportNoMemory(p.Messages, STR_NO_MEMORY_COMPUTE, STR_OBJECT_TEST_STATISTICS);
    }
    return 1;
}

} // namespace

int ComputeRedundancyNumbers(ProjectState& p, EngineState& e) {
    return WalkRows(p, e, false);
}

int RunTests(ProjectState& p, EngineState& e, Progress& progress) {
    AdjustmentResults& r = e.results;
    const bool design = p.AdjDesign != 0;
    if (!WalkRows(p, e, true))
        return 0;
    MinimalDetectableBiases(p, e);
    if (p.ExternalReliability()) {
        if (!progress.Stage(STR_STAGE_EXTERNAL_RELIABILITY))
            return 0;
        if (!ComputeExternalReliability(p, e))
            return 0;
    }
    if (!design)
        WTests(p, e);
    BiasToNoiseRatios(p, e);
    if (!design) {
        ClearUncontrolled(p, e);
        // The estimates of the final solution, whether or not the groups
        // were re-weighted.
        EstimateVarianceComponents(p, e, false);
    }
    r.tested = !design;
    return 1;
}

} // namespace Tavex
