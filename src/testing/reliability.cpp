#include "testing/reliability.h"

#include "engine/factor_solve.h"
#include "engine/numeric_factorisation.h"
#include "engine/singularity_report.h"
#include "messages/no_memory.h"
#include "resources/string_ids.h"

#include <cmath>
#include <new>

namespace Tavex {

namespace {

constexpr double kFloor = 1e-32;
constexpr double kUncontrolled = 1000.0;
constexpr double kMdbCap = 1e6;

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
    std::vector<char> uncontrolled(e.Rows() + 1, 0);
    for (std::size_t i = 1; i <= e.Rows(); ++i)
        if (Uncontrolled(e, i)) {
            uncontrolled[i] = 1;
            r.w[i] = 0.0;
        }
    // A known station whose rows are all uncontrolled has no test.
    for (std::size_t i = 1; i <= e.Rows(); ++i) {
        const ObservationRow& row = e.rows[i];
        if (!row.IsDatum() || r.stationTests.size() <= row.source)
            continue;
        CTTest* test = r.stationTests[row.source].get();
        if (test == nullptr)
            continue;
        bool all = true;
        for (std::size_t k = 1; k <= e.Rows(); ++k)
            if (e.rows[k].IsDatum() && e.rows[k].source == row.source)
                all = all && uncontrolled[k];
        if (all) {
            test->T = 0.0;
            test->ratio = 0.0;
        }
    }
}

int ComputeExternalReliability(ProjectState& p, EngineState& e) {
    AdjustmentResults& r = e.results;
    const std::size_t u = e.Unknowns();
    CholeskyFactor& factor = e.system.factor;
    if (factor.holdsCofactors) {
        std::uint32_t singular = 0;
        if (!NumericFactorisation(e.system, p.DeltaSingular / p.Sigma0, singular, p.Messages)) {
            ReportSingularity(p, e, singular);
            return 0;
        }
    }
    std::vector<double> bias;
    try {
        r.external.assign(u + 1, ExternalEffect{});
        bias.assign(u + 1, 0.0);
    } catch (const std::bad_alloc&) {
        return ReportNoMemory(p.Messages, STR_NO_MEMORY_COMPUTE, STR_OBJECT_EXTERNAL_RELIABILITY);
    }
    const CompressedRows& P = e.system.P;
    const CompressedRows& A = e.system.A;
    for (std::size_t i = 1; i <= e.Rows(); ++i) {
        const ObservationRow& row = e.rows[i];
        if (row.kind >= ROW_TRANSFORMATION || IsUncontrolledDatumRow(e, i))
            continue;
        // u = Aᵀ (P e_i) MDB_i: the rows P couples with row i.
        const double mdb = std::min(r.mdb[i], kMdbCap);
        std::fill(bias.begin(), bias.end(), 0.0);
        for (std::size_t f = P.Begin(i); f < P.End(i); ++f) {
            const std::size_t coupled = P.col[f];
            const double weight = P.val[f] * mdb;
            for (std::size_t g = A.Begin(coupled); g < A.End(coupled); ++g)
                bias[A.col[g]] += A.val[g] * weight;
        }
        ForwardSubstitution(factor, bias);
        BackSubstitution(factor, bias);
        for (std::size_t j = 1; j <= u; ++j)
            if (std::fabs(bias[j]) > std::fabs(r.external[j].value)) {
                r.external[j].value = bias[j];
                r.external[j].row = static_cast<std::uint32_t>(i);
            }
    }
    r.externalComputed = true;
    return 1;
}

} // namespace Tavex
