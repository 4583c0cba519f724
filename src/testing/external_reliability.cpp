#include "testing/reliability.h"

#include "engine/block_row.h"
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

constexpr double kMdbCap = 1e6; // larger MDBs disturb as much as this

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

// P A for the given rows, formed once: row i of it times a column of N⁻¹
// is the effect of row i's unit bias on that unknown. P couples rows only
// within a GPS group, so a row of P A has the unknowns of its group.
CompressedRows WeightedDesign(const LinearSystem& s, const std::vector<std::uint32_t>& rows) {
    const CompressedRows& A = s.A;
    const CompressedRows& P = s.P;
    CompressedRowsBuilder pa(rows.size(), A.columns, A.Stored());
    std::vector<double> sum(A.columns + 1, 0.0);
    std::vector<std::uint32_t> touched;
    for (const std::uint32_t i : rows) {
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

// The rows that may disturb the unknowns, in the order the back sweep
// visits them: by the supernode of their first unknown, ascending within
// each. The sweep has finished every unknown of such a row by the time it
// has finished that supernode, as the supernodes are ranges of ascending
// unknowns swept in descending order. Entry k (1-based) of each array
// belongs to the k-th row visited, so the visits read them in sequence.
struct Disturbances {
    std::vector<std::uint32_t> row; // the row's number
    CompressedRows PA;              // its weighted design row
    std::vector<double> bias;       // its capped MDB
    std::vector<std::size_t> start; // per supernode, the first k
    // With inner constraints, (P A Y)(k, c) at [k * rank + c]: a row's
    // effects corrected into the datum are (P A)(k) x − (P A Y)(k) Zᵀ e(j).
    std::size_t rank = 0;
    std::vector<double> PAY;
};

// Lists the rows with a bias whose row of P A has unknowns (those of the
// rows of A that P couples it with) in visit order.
void VisitOrder(const EngineState& e, const std::vector<double>& bias, Disturbances& d) {
    const CompressedRows& A = e.system.A;
    const CompressedRows& P = e.system.P;
    const Supernodes& sn = e.system.factor.supernodes;
    std::vector<std::uint32_t> supernodeOf(A.rows + 1, 0);
    std::vector<std::size_t> start(sn.count + 1, 0);
    std::vector<char> visited(A.rows + 1, 0);
    for (std::size_t i = 1; i <= A.rows; ++i) {
        if (bias[i] == 0.0)
            continue;
        std::uint32_t firstUnknown = 0;
        for (std::size_t f = P.Begin(i); f < P.End(i); ++f)
            for (std::size_t g = A.Begin(P.col[f]); g < A.End(P.col[f]); ++g)
                if (firstUnknown == 0 || A.col[g] < firstUnknown)
                    firstUnknown = A.col[g];
        if (firstUnknown == 0)
            continue;
        visited[i] = 1;
        supernodeOf[i] = sn.of[firstUnknown];
        ++start[supernodeOf[i] + 1];
    }
    for (std::size_t s = 0; s < sn.count; ++s)
        start[s + 1] += start[s];
    d.row.assign(start[sn.count] + 1, 0);
    d.bias.assign(start[sn.count] + 1, 0.0);
    std::vector<std::size_t> next(start.begin(), start.end() - 1);
    for (std::size_t i = 1; i <= A.rows; ++i)
        if (visited[i]) {
            const std::size_t k = ++next[supernodeOf[i]];
            d.row[k] = static_cast<std::uint32_t>(i);
            d.bias[k] = bias[i];
        }
    d.start = std::move(start);
}

void WeightCorrection(const LowRankCorrection& c, Disturbances& d) {
    if (!c.Active())
        return;
    const CompressedRows& PA = d.PA;
    d.rank = c.rank;
    d.PAY.assign((PA.rows + 1) * c.rank, 0.0);
    for (std::size_t k = 1; k <= PA.rows; ++k)
        for (std::size_t g = PA.Begin(k); g < PA.End(k); ++g)
            for (std::size_t r = 0; r < c.rank; ++r)
                d.PAY[k * c.rank + r] += PA.val[g] * c.Y[std::size_t{PA.col[g]} * c.rank + r];
}

Disturbances DisturbancesOf(const EngineState& e) {
    Disturbances d;
    VisitOrder(e, DisturbingBiases(e), d);
    d.PA = WeightedDesign(e.system, std::vector<std::uint32_t>(d.row.begin() + 1, d.row.end()));
    WeightCorrection(e.system.factor.correction, d);
    return d;
}

// The strongest effect so far on each unknown of a block.
struct StrongestSoFar {
    double largest[kSolveBlock];
    double value[kSolveBlock];
    double row[kSolveBlock]; // a row number, exact in a double
};

// ∇x_j = e(j)ᵀ N⁻¹ Aᵀ P e(i) MDB_i = (P A N⁻¹ e(j))_i MDB_i, as N⁻¹ and P are
// symmetric: one solve per unknown gives the effects of all rows on it,
// fewer solves than one per row, with the same result. A row replaces the
// kept one when its effect is larger, or as large and the row comes first,
// so the result does not depend on the order rows are visited in.
// Branch-free, so that it vectorises over the block.
TAVEX_VECTOR_CLONES
void StrongerEffects(const Disturbances& d, std::size_t firstVisit, std::size_t lastVisit,
                     const double* x, const double* zBlock, StrongestSoFar& so) {
    constexpr std::size_t B = kSolveBlock;
    const CompressedRows& PA = d.PA;
    for (std::size_t k = firstVisit; k <= lastVisit; ++k) {
        BlockRow sum = BlockRow::Zero();
        for (std::size_t g = PA.Begin(k); g < PA.End(k); ++g)
            sum.AddScaled(PA.val[g], x + std::size_t{PA.col[g]} * B);
        for (std::size_t c = 0; c < d.rank; ++c)
            sum.SubtractScaled(d.PAY[k * d.rank + c], zBlock + c * B);
        double effect[B];
        sum.Store(effect);
        const double mdb = d.bias[k];
        // As a double, so that every lane of the selection below is as wide.
        const double i = d.row[k];
        for (std::size_t b = 0; b < B; ++b) {
            const double v = effect[b] * mdb;
            const double size = std::fabs(v);
            const bool stronger = size > so.largest[b] || (size == so.largest[b] && i < so.row[b]);
            so.largest[b] = stronger ? size : so.largest[b];
            so.value[b] = stronger ? v : so.value[b];
            so.row[b] = stronger ? i : so.row[b];
        }
    }
}

// Keeps the strongest effects of one block of unknowns while the back
// sweep finishes the supernodes, reading each row's unknowns while they are
// still in cache.
class StrongestEffectsOfBlock final : public BackSweepVisitor {
public:
    StrongestEffectsOfBlock(const Disturbances& d, const LowRankCorrection& c,
                            const std::uint32_t* unknowns, std::size_t count)
        : d_(d), zBlock_(d.rank * kSolveBlock, 0.0) {
        // Zᵀ e(j) for the block's unknowns, by constraint; zero past count.
        for (std::size_t r = 0; r < d.rank; ++r)
            for (std::size_t b = 0; b < count; ++b)
                zBlock_[r * kSolveBlock + b] = c.Z[std::size_t{unknowns[b]} * d.rank + r];
    }
    void Finished(std::size_t s, const double* x) override {
        StrongerEffects(d_, d_.start[s] + 1, d_.start[s + 1], x, zBlock_.data(), so_);
    }
    ExternalEffect Effect(std::size_t b) const {
        return ExternalEffect{so_.value[b], static_cast<std::uint32_t>(so_.row[b])};
    }

private:
    const Disturbances& d_;
    std::vector<double> zBlock_;
    StrongestSoFar so_{};
};

void ExternalReliabilityBlock(const EngineState& e, const Disturbances& d,
                              const std::uint32_t* unknowns, std::size_t count,
                              BlockSolveWork& work, std::vector<ExternalEffect>& external) {
    const CholeskyFactor& factor = e.system.factor;
    StrongestEffectsOfBlock effects(d, factor.correction, unknowns, count);
    SupernodalUnitBlockSolve(factor, unknowns, count, work, &effects);
    for (std::size_t b = 0; b < count; ++b)
        external[unknowns[b]] = effects.Effect(b);
}

// Runs the blocks worker, worker + workers, … of the unknowns on one thread
// with its own work space. False when memory ran out.
bool ExternalReliabilityBlocks(const EngineState& e, const Disturbances& d,
                               const std::vector<std::uint32_t>& unknowns, unsigned worker,
                               unsigned workers, std::vector<ExternalEffect>& external) noexcept {
    try {
        BlockSolveWork work;
        for (std::size_t first = worker * kSolveBlock; first < unknowns.size();
             first += workers * kSolveBlock)
            ExternalReliabilityBlock(e, d, unknowns.data() + first,
                                     std::min(kSolveBlock, unknowns.size() - first), work,
                                     external);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// Only the coordinates' external reliability is reported, so only their
// columns of N⁻¹ are solved for (in 2D a third of the unknowns are the
// direction sets' orientations).
std::vector<std::uint32_t> CoordinateUnknowns(const EngineState& e) {
    std::vector<std::uint32_t> unknowns;
    for (std::uint32_t j = 1; j <= e.Unknowns(); ++j)
        if (e.unknowns[j].IsCoordinate())
            unknowns.push_back(j);
    return unknowns;
}

// Each block writes the entries of its own unknowns only, so the blocks are
// shared out among the machine's cores without locking. The result does
// not depend on how many threads ran.
bool ExternalReliabilityOnAllCores(const EngineState& e, const Disturbances& d,
                                   std::vector<ExternalEffect>& external) {
    constexpr std::size_t kBlocksPerWorker = 16; // below this a thread is not worth starting
    const std::vector<std::uint32_t> unknowns = CoordinateUnknowns(e);
    const std::size_t blocks = (unknowns.size() + kSolveBlock - 1) / kSolveBlock;
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const auto workers = static_cast<unsigned>(
        std::max<std::size_t>(1, std::min<std::size_t>(cores, blocks / kBlocksPerWorker)));
    std::vector<char> done(workers, 0);
    std::vector<std::thread> threads;
    for (unsigned w = 1; w < workers; ++w) {
        try {
            threads.emplace_back([&, w] {
                done[w] = ExternalReliabilityBlocks(e, d, unknowns, w, workers, external);
            });
        } catch (const std::system_error&) {
            // No thread to be had: this thread does that share as well.
            done[w] = ExternalReliabilityBlocks(e, d, unknowns, w, workers, external);
        }
    }
    done[0] = ExternalReliabilityBlocks(e, d, unknowns, 0, workers, external);
    for (std::thread& thread : threads)
        thread.join();
    return std::all_of(done.begin(), done.end(), [](char ok) { return ok != 0; });
}

} // namespace

int ComputeExternalReliability(ProjectState& p, EngineState& e) {
    AdjustmentResults& r = e.results;
    CholeskyFactor& factor = e.system.factor;
    // The effects are gathered during the back sweep on the supernodal
    // blocks, so the factor is made again when the blocks do not hold it.
    if (factor.holdsCofactors || !factor.blocksHoldFactor) {
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
