#include "testing/reliability.h"

#include "engine/block_solve.h"
#include "engine/numeric_factorisation.h"
#include "engine/singularity_report.h"
#include "engine/vector_clones.h"
#include "messages/no_memory.h"
#include "resources/string_ids.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <system_error>
#include <thread>

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

namespace {

// The rows that may disturb the unknowns: not transformation rows and not
// known-station rows whose MDB is out of reach. Their capped MDBs, 0 for
// the others.
std::vector<double> DisturbingBiases(const EngineState& e) {
    std::vector<double> bias(e.Rows() + 1, 0.0);
    for (std::size_t i = 1; i <= e.Rows(); ++i)
        if (e.rows[i].kind < ROW_TRANSFORMATION && !IsUncontrolledDatumRow(e, i))
            bias[i] = std::min(e.results.mdb[i], kMdbCap);
    return bias;
}

// P A by rows, formed once: row i of it times a column of N⁻¹ is the effect
// of row i's unit bias on that unknown. P couples rows only within a GPS
// group, so a row of P A has the unknowns of its group.
CompressedRows WeightedDesign(const LinearSystem& s) {
    const CompressedRows& A = s.A;
    const CompressedRows& P = s.P;
    CompressedRowsBuilder pa(A.rows, A.columns, A.Stored());
    std::vector<double> sum(A.columns + 1, 0.0);
    std::vector<std::uint32_t> touched;
    for (std::size_t i = 1; i <= A.rows; ++i) {
        touched.clear();
        for (std::size_t f = P.Begin(i); f < P.End(i); ++f)
            for (std::size_t g = A.Begin(P.col[f]); g < A.End(P.col[f]); ++g) {
                const std::uint32_t k = A.col[g];
                if (sum[k] == 0.0 && std::find(touched.begin(), touched.end(), k) == touched.end())
                    touched.push_back(k);
                sum[k] += P.val[f] * A.val[g];
            }
        std::sort(touched.begin(), touched.end());
        for (std::uint32_t k : touched) {
            pa.Append(k, sum[k]);
            sum[k] = 0.0;
        }
        pa.EndRow();
    }
    return pa.Finish();
}

// The rows that may disturb the unknowns (in ascending order) with their
// weighted design rows and biases.
struct Disturbances {
    CompressedRows PA;
    std::vector<double> bias;
    std::vector<std::uint32_t> order;
};

Disturbances DisturbancesOf(const EngineState& e) {
    Disturbances d;
    d.bias = DisturbingBiases(e);
    d.PA = WeightedDesign(e.system);
    for (std::size_t i = 1; i <= e.Rows(); ++i)
        if (d.bias[i] != 0.0 && d.PA.End(i) > d.PA.Begin(i))
            d.order.push_back(static_cast<std::uint32_t>(i));
    return d;
}

// The strongest effect on each unknown of the block: ∇x_j = e(j)ᵀ N⁻¹ Aᵀ P
// e(i) MDB_i = (P A N⁻¹ e(j))_i MDB_i, as N⁻¹ and P are symmetric. So one
// solve per unknown gives the effects of all rows on it: fewer solves than
// one per row, with the same result. Rows are visited in ascending order and
// only a strictly larger effect replaces the kept one, so among equal effects
// the first row is kept. Branch-free, so that it vectorises over the block.
TAVEX_VECTOR_CLONES
void StrongestEffects(const Disturbances& d, const double* x, double* largest, double* value,
                      std::uint32_t* row) {
    constexpr std::size_t B = kSolveBlock;
    const CompressedRows& PA = d.PA;
    for (const std::uint32_t i : d.order) {
        const double mdb = d.bias[i];
        double effect[B] = {};
        for (std::size_t g = PA.Begin(i); g < PA.End(i); ++g) {
            const double a = PA.val[g];
            const double* xc = x + std::size_t{PA.col[g]} * B;
            for (std::size_t b = 0; b < B; ++b)
                effect[b] += a * xc[b];
        }
        for (std::size_t b = 0; b < B; ++b) {
            const double v = effect[b] * mdb;
            const double size = std::fabs(v);
            const bool stronger = size > largest[b];
            largest[b] = stronger ? size : largest[b];
            value[b] = stronger ? v : value[b];
            row[b] = stronger ? i : row[b];
        }
    }
}

void ExternalReliabilityBlock(const EngineState& e, const Disturbances& d, std::uint32_t first,
                              std::size_t count, BlockSolveWork& work,
                              std::vector<ExternalEffect>& external) {
    constexpr std::size_t B = kSolveBlock;
    UnitBlockSolve(e.system.factor, first, count, work);
    double largest[B] = {}, value[B] = {};
    std::uint32_t row[B] = {};
    StrongestEffects(d, work.x.data(), largest, value, row);
    for (std::size_t b = 0; b < count; ++b)
        external[first + b] = ExternalEffect{value[b], row[b]};
}

// Runs the blocks of unknowns worker, worker + workers, … on one thread
// with its own work space. False when memory ran out.
bool ExternalReliabilityBlocks(const EngineState& e, const Disturbances& d, unsigned worker,
                               unsigned workers, std::vector<ExternalEffect>& external) noexcept {
    try {
        const std::size_t u = e.Unknowns();
        BlockSolveWork work;
        for (std::size_t first = 1 + worker * kSolveBlock; first <= u;
             first += workers * kSolveBlock)
            ExternalReliabilityBlock(e, d, static_cast<std::uint32_t>(first),
                                     std::min(kSolveBlock, u + 1 - first), work, external);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// Each block writes the entries of its own unknowns only, so the blocks are
// shared out among the machine's cores without locking. The result does
// not depend on how many threads ran.
bool ExternalReliabilityOnAllCores(const EngineState& e, const Disturbances& d,
                                   std::vector<ExternalEffect>& external) {
    constexpr std::size_t kBlocksPerWorker = 16; // below this a thread is not worth starting
    const std::size_t blocks = (e.Unknowns() + kSolveBlock - 1) / kSolveBlock;
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const auto workers = static_cast<unsigned>(
        std::max<std::size_t>(1, std::min<std::size_t>(cores, blocks / kBlocksPerWorker)));
    std::vector<char> done(workers, 0);
    std::vector<std::thread> threads;
    for (unsigned w = 1; w < workers; ++w) {
        try {
            threads.emplace_back(
                [&, w] { done[w] = ExternalReliabilityBlocks(e, d, w, workers, external); });
        } catch (const std::system_error&) {
            // No thread to be had: this thread does that share as well.
            done[w] = ExternalReliabilityBlocks(e, d, w, workers, external);
        }
    }
    done[0] = ExternalReliabilityBlocks(e, d, 0, workers, external);
    for (std::thread& thread : threads)
        thread.join();
    return std::all_of(done.begin(), done.end(), [](char ok) { return ok != 0; });
}

} // namespace

int ComputeExternalReliability(ProjectState& p, EngineState& e) {
    AdjustmentResults& r = e.results;
    CholeskyFactor& factor = e.system.factor;
    if (factor.holdsCofactors) {
        std::uint32_t singular = 0;
        if (!NumericFactorisation(e.system, p.DeltaSingular / p.Sigma0, singular, p.Messages)) {
            ReportSingularity(p, e, singular);
            return 0;
        }
    }
    try {
        r.external.assign(e.Unknowns() + 1, ExternalEffect{});
        const Disturbances d = DisturbancesOf(e);
        if (!ExternalReliabilityOnAllCores(e, d, r.external))
            throw std::bad_alloc();
    } catch (const std::bad_alloc&) {
        return ReportNoMemory(p.Messages, STR_NO_MEMORY_COMPUTE, STR_OBJECT_EXTERNAL_RELIABILITY);
    }
    r.externalComputed = true;
    return 1;
}

} // namespace Tavex
