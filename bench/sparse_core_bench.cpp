// Benchmarks of the sparse core — station ordering, symbolic and numeric
// factorisation, solve and sparse inverse, each timed on its own — on large
// generated networks, beside Eigen's simplicial Cholesky with its
// approximate minimum degree ordering on the same normal matrix.
//
// Benchmarks are named <network>/<stations>/<step>. All steps of one network
// share one cached copy of it (built by the first of them, not timed); the
// cache holds one network at a time, so the benchmarks of a network must run
// together, as they do in registration order. The "ours_pipeline" step runs
// the kernel's whole sequence from the generated network to the sparse
// inverse in an emptied process, so its peak resident set is what the kernel
// needs for that network.
//
// Counters: unknowns and rows; factor entries (the stored entries of L,
// diagonal included) of ours and of Eigen, and their ratio; the multiply-adds
// a Cholesky factorisation on each structure needs (madds, the work the
// ordering leaves); the bytes of our factor structure and of Eigen's; and
// peak_MiB, the peak resident set of the process during the benchmark (its
// high-water mark is reset before each benchmark). The first benchmark of
// each network of up to 1,000 stations checks our solution against Eigen's
// and aborts the run when they differ; eigen_solve reports the relative
// difference of the two solutions for every network.
#include "cholmod_reference.h"
#include "eigen_reference.h"
#include "network_generator.h"
#include "process_memory.h"

#include "engine/factor_capacity.h"
#include "engine/factor_solve.h"
#include "engine/numeric_factorisation.h"
#include "engine/sparse_inverse.h"
#include "engine/station_order.h"
#include "engine/symbolic_factorisation.h"
#include "platform/memory_status.h"

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace TavexBench {
namespace {

using Tavex::LinearSystem;
using Tavex::MessageLog;

// The singularity criterion ε = DeltaSingular / Sigma0 with the defaults.
constexpr double kEpsilon = 1e-6;
// Our solution must match Eigen's this closely (relative, Euclidean norm).
constexpr double kSolutionTolerance = 1e-8;
// Networks up to this size are checked against Eigen before they are timed.
constexpr unsigned kCheckedStations = 1000;

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "sparse core benchmark aborted: %s\n", what.c_str());
    std::exit(EXIT_FAILURE);
}

const char* KindName(NetworkKind kind) {
    return kind == NetworkKind::Triangulation2D ? "2D" : "GPS";
}

// One network and everything its benchmarks share.
struct NetworkCase {
    NetworkKind kind = NetworkKind::Triangulation2D;
    unsigned stations = 0;
    Network network;
    Tavex::StationOrder order; // after the station reordering
    LinearSystem system;       // unknowns numbered in `order`
    bool symbolicDone = false;
    std::vector<double> factorValues; // L after the numeric factorisation, once done
    bool solved = false;
    Eigen::SparseMatrix<double> normal; // N in input order, for Eigen
    Eigen::VectorXd rightHandSide;
    EigenCholesky eigen;
    bool eigenAnalysed = false;
    bool eigenFactorised = false;
    // CHOLMOD supernodal on N in our order.
    std::unique_ptr<CholmodSupernodal> cholmod;
    Eigen::VectorXd ourRightHandSide; // b in our order
    bool cholmodAnalysed = false;
    bool cholmodFactorised = false;
};

std::unique_ptr<NetworkCase>& CacheSlot() {
    static std::unique_ptr<NetworkCase> slot;
    return slot;
}

void ReleaseCache() {
    CacheSlot().reset();
    malloc_trim(0); // hand the freed arrays back, so that peaks start low
}

void Reorder(const Network& network, Tavex::StationOrder& order) {
    MessageLog log;
    Tavex::ReorderStations(order, RowStations(network), network.stations, log);
    if (log.Count() != 0)
        Fail("the station reordering gave a warning");
}

void EnsureSymbolic(NetworkCase& c) {
    if (c.symbolicDone)
        return;
    MessageLog log;
    const std::uint64_t capacity =
        Tavex::FactorCapacity(c.system.Unknowns(), c.system.Rows(), Tavex::AvailableMemoryBytes());
    if (!Tavex::SymbolicFactorisation(c.system, capacity, log))
        Fail("the symbolic factorisation failed");
    c.symbolicDone = true;
    c.factorValues.clear();
}

void Factorise(NetworkCase& c) {
    MessageLog log;
    std::uint32_t singular = 0;
    if (!Tavex::NumericFactorisation(c.system, kEpsilon, singular, log))
        Fail("the numeric factorisation found unknown " + std::to_string(singular) + " singular");
}

// The factor in place of L's values (not the cofactors).
void EnsureFactor(NetworkCase& c) {
    EnsureSymbolic(c);
    if (c.factorValues.empty()) {
        Factorise(c);
        c.factorValues = c.system.factor.L.val;
    } else if (c.system.factor.holdsCofactors) {
        c.system.factor.L.val = c.factorValues;
        c.system.factor.holdsCofactors = false;
    }
}

void EnsureSolved(NetworkCase& c) {
    EnsureFactor(c);
    if (c.solved)
        return;
    MessageLog log;
    if (!Tavex::SolveNormalEquations(c.system, log))
        Fail("the solve failed");
    c.solved = true;
}

void EnsureEigenAnalysed(NetworkCase& c) {
    if (c.eigenAnalysed)
        return;
    c.eigen.analyzePattern(c.normal);
    c.eigenAnalysed = true;
    c.eigenFactorised = false;
}

void EnsureEigenFactorised(NetworkCase& c) {
    EnsureEigenAnalysed(c);
    if (c.eigenFactorised)
        return;
    c.eigen.factorize(c.normal);
    if (c.eigen.info() != Eigen::Success)
        Fail("Eigen's factorisation failed");
    c.eigenFactorised = true;
}

void EnsureCholmodAnalysed(NetworkCase& c) {
    if (!c.cholmod) {
        c.cholmod = std::make_unique<CholmodSupernodal>(NormalMatrix(c.system));
        c.ourRightHandSide = RightHandSide(c.system);
        c.cholmodAnalysed = false;
    }
    if (c.cholmodAnalysed)
        return;
    if (!c.cholmod->Analyse())
        Fail("CHOLMOD's analysis failed");
    c.cholmodAnalysed = true;
    c.cholmodFactorised = false;
}

void EnsureCholmodFactorised(NetworkCase& c) {
    EnsureCholmodAnalysed(c);
    if (c.cholmodFactorised)
        return;
    if (!c.cholmod->Factorise())
        Fail("CHOLMOD's factorisation failed");
    c.cholmodFactorised = true;
}

// ||x_ours − x_Eigen|| / ||x_Eigen||, our unknowns mapped to input order.
double RelativeDifference(const NetworkCase& c, const Eigen::VectorXd& reference) {
    double difference = 0.0, norm = 0.0;
    for (unsigned s = 1; s <= c.stations; ++s)
        for (unsigned k = 0; k < kUnknownsPerStation; ++k) {
            const double ours = c.system.x[UnknownNumber(c.order.positionOf[s], k)];
            const double theirs = reference(UnknownNumber(s, k) - 1);
            difference += (ours - theirs) * (ours - theirs);
            norm += theirs * theirs;
        }
    return std::sqrt(difference / norm);
}

// Our solution against Eigen's; aborts the run when they differ.
void CheckAgainstEigen(NetworkCase& c) {
    EnsureSolved(c);
    EnsureEigenFactorised(c);
    const Eigen::VectorXd reference = c.eigen.solve(c.rightHandSide);
    const double difference = RelativeDifference(c, reference);
    if (!(difference <= kSolutionTolerance))
        Fail(std::string(KindName(c.kind)) + " network of " + std::to_string(c.stations) +
             " stations: the solution differs from Eigen's by " + std::to_string(difference) +
             " (relative), more than the allowed " + std::to_string(kSolutionTolerance));
}

NetworkCase& CachedCase(NetworkKind kind, unsigned stations) {
    std::unique_ptr<NetworkCase>& slot = CacheSlot();
    if (slot && slot->kind == kind && slot->stations == stations)
        return *slot;
    ReleaseCache();
    slot = std::make_unique<NetworkCase>();
    NetworkCase& c = *slot;
    c.kind = kind;
    c.network = GenerateNetwork(kind, stations);
    c.stations = c.network.stations;
    {
        const LinearSystem inputOrder = LayOut(c.network, InputOrder(c.network));
        c.normal = NormalMatrix(inputOrder);
        c.rightHandSide = RightHandSide(inputOrder);
    }
    c.order = InputOrder(c.network);
    Reorder(c.network, c.order);
    c.system = LayOut(c.network, c.order);
    if (stations <= kCheckedStations)
        CheckAgainstEigen(c);
    return c;
}

// --- counters -------------------------------------------------------------

std::size_t FactorBytes(const Tavex::CholeskyFactor& factor) {
    const Tavex::CompressedRows& L = factor.L;
    return L.rowStart.capacity() * sizeof(std::size_t) + L.col.capacity() * sizeof(std::uint32_t) +
           L.val.capacity() * sizeof(double) + factor.parent.capacity() * sizeof(std::uint32_t);
}

std::size_t EigenFactorBytes(const EigenCholesky& cholesky) {
    const std::size_t n = static_cast<std::size_t>(cholesky.rows());
    return FactorEntries(cholesky) * (sizeof(double) + sizeof(int)) + (n + 1) * sizeof(int);
}

void SizeCounters(benchmark::State& state, const NetworkCase& c) {
    state.counters["unknowns"] = static_cast<double>(c.system.Unknowns());
    state.counters["rows"] = static_cast<double>(c.system.Rows());
}

void PeakCounter(benchmark::State& state) {
    state.counters["peak_MiB"] = static_cast<double>(PeakResidentSetBytes()) / kMebibyte;
}

// Σ c (c + 1) / 2 over the columns of L with c off-diagonal entries.
double OurMultiplyAdds(const Tavex::CholeskyFactor& factor) {
    const Tavex::CompressedRows& L = factor.L;
    std::vector<double> column(L.rows + 1, 0.0);
    for (std::size_t j = 1; j <= L.rows; ++j)
        for (std::size_t e = L.Begin(j); e < factor.Diagonal(j); ++e)
            ++column[L.col[e]];
    double madds = 0.0;
    for (double c : column)
        madds += c * (c + 1.0) / 2.0;
    return madds;
}

void OurFactorCounters(benchmark::State& state, const NetworkCase& c) {
    state.counters["L_entries"] = static_cast<double>(c.system.factor.L.Stored());
    const Tavex::Supernodes& sn = c.system.factor.supernodes;
    if (!sn.Empty()) {
        state.counters["supernodes"] = static_cast<double>(sn.count);
        state.counters["block_entries"] = static_cast<double>(sn.blockStart[sn.count]);
    }
    state.counters["L_MiB"] = static_cast<double>(FactorBytes(c.system.factor)) / kMebibyte;
}

// --- our steps --------------------------------------------------------------

// Pair collection from the rows and quotient minimum degree, from the input
// order.
void OursOrdering(benchmark::State& state, NetworkCase& c) {
    for (auto _ : state) {
        Tavex::StationOrder order = InputOrder(c.network);
        Reorder(c.network, order);
        benchmark::DoNotOptimize(order.stationAt.data());
    }
    state.counters["stations"] = static_cast<double>(c.stations);
}

void OursSymbolic(benchmark::State& state, NetworkCase& c) {
    for (auto _ : state) {
        c.symbolicDone = false;
        EnsureSymbolic(c);
    }
    EnsureEigenAnalysed(c);
    OurFactorCounters(state, c);
    state.counters["Eigen_L_entries"] = static_cast<double>(FactorEntries(c.eigen));
    state.counters["entries_ratio"] = static_cast<double>(c.system.factor.L.Stored()) /
                                      static_cast<double>(FactorEntries(c.eigen));
    state.counters["madds"] = OurMultiplyAdds(c.system.factor);
    state.counters["Eigen_madds"] = CholeskyMultiplyAdds(c.eigen);
}

void OursNumeric(benchmark::State& state, NetworkCase& c) {
    EnsureSymbolic(c);
    for (auto _ : state)
        Factorise(c);
    c.factorValues = c.system.factor.L.val;
    OurFactorCounters(state, c);
}

void OursSolve(benchmark::State& state, NetworkCase& c) {
    EnsureFactor(c);
    MessageLog log;
    for (auto _ : state)
        if (!Tavex::SolveNormalEquations(c.system, log))
            Fail("the solve failed");
    c.solved = true;
}

// Timed by hand: each round first puts the factor back in place.
void OursInverse(benchmark::State& state, NetworkCase& c) {
    EnsureFactor(c);
    MessageLog log;
    for (auto _ : state) {
        EnsureFactor(c);
        const auto start = std::chrono::steady_clock::now();
        if (!Tavex::SparseInverse(c.system.factor, log))
            Fail("the sparse inverse failed");
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(elapsed.count());
    }
    OurFactorCounters(state, c);
}

// The kernel's whole sequence, from the generated network: generation,
// ordering, numbering, symbolic and numeric factorisation, solve and sparse
// inverse.
void OursPipeline(benchmark::State& state, NetworkKind kind, unsigned stations) {
    ReleaseCache();
    ResetPeakResidentSet();
    for (auto _ : state) {
        NetworkCase c;
        c.kind = kind;
        c.network = GenerateNetwork(kind, stations);
        c.stations = c.network.stations;
        c.order = InputOrder(c.network);
        Reorder(c.network, c.order);
        c.system = LayOut(c.network, c.order);
        EnsureSolved(c);
        MessageLog log;
        if (!Tavex::SparseInverse(c.system.factor, log))
            Fail("the sparse inverse failed");
        SizeCounters(state, c);
        OurFactorCounters(state, c);
    }
}

// --- Eigen's steps ----------------------------------------------------------

// Approximate minimum degree ordering and the symbolic analysis.
void EigenAnalyse(benchmark::State& state, NetworkCase& c) {
    for (auto _ : state) {
        c.eigenAnalysed = false;
        EnsureEigenAnalysed(c);
    }
    state.counters["Eigen_L_entries"] = static_cast<double>(FactorEntries(c.eigen));
    state.counters["Eigen_L_MiB"] = static_cast<double>(EigenFactorBytes(c.eigen)) / kMebibyte;
    state.counters["Eigen_madds"] = CholeskyMultiplyAdds(c.eigen);
}

// The numeric factorisation (the symmetric permutation of N included).
void EigenFactorise(benchmark::State& state, NetworkCase& c) {
    EnsureEigenAnalysed(c);
    for (auto _ : state) {
        c.eigenFactorised = false;
        EnsureEigenFactorised(c);
    }
}

void EigenSolve(benchmark::State& state, NetworkCase& c) {
    EnsureEigenFactorised(c);
    Eigen::VectorXd x;
    for (auto _ : state) {
        x = c.eigen.solve(c.rightHandSide);
        benchmark::DoNotOptimize(x.data());
    }
    EnsureSolved(c);
    state.counters["solution_rel_diff"] = RelativeDifference(c, x);
}

// --- CHOLMOD's steps ---------------------------------------------------------

// Supernodal analysis of N in our order (natural ordering, no postorder).
void CholmodAnalyse(benchmark::State& state, NetworkCase& c) {
    for (auto _ : state) {
        c.cholmodAnalysed = false;
        EnsureCholmodAnalysed(c);
    }
    state.counters["CHOLMOD_L_entries"] = c.cholmod->FactorEntries();
    state.counters["CHOLMOD_supernodes"] = c.cholmod->Supernodes();
}

void CholmodFactorise(benchmark::State& state, NetworkCase& c) {
    EnsureCholmodAnalysed(c);
    for (auto _ : state) {
        c.cholmodFactorised = false;
        EnsureCholmodFactorised(c);
    }
}

void CholmodSolve(benchmark::State& state, NetworkCase& c) {
    EnsureCholmodFactorised(c);
    Eigen::VectorXd x;
    for (auto _ : state) {
        x = c.cholmod->Solve(c.ourRightHandSide);
        benchmark::DoNotOptimize(x.data());
    }
    EnsureSolved(c);
    double difference = 0.0, norm = 0.0;
    for (Eigen::Index k = 0; k < x.size(); ++k) {
        const double ours = c.system.x[static_cast<std::size_t>(k) + 1];
        difference += (ours - x(k)) * (ours - x(k));
        norm += x(k) * x(k);
    }
    state.counters["solution_rel_diff"] = std::sqrt(difference / norm);
}

// --- registration -----------------------------------------------------------

using CaseStep = void (*)(benchmark::State&, NetworkCase&);

struct Step {
    const char* name;
    CaseStep run;
    bool manualTime;
};

constexpr Step kSteps[] = {
    {"ours_ordering", OursOrdering, false},     {"ours_symbolic", OursSymbolic, false},
    {"ours_numeric", OursNumeric, false},       {"ours_solve", OursSolve, false},
    {"ours_inverse", OursInverse, true},        {"eigen_analyse", EigenAnalyse, false},
    {"eigen_factorise", EigenFactorise, false}, {"eigen_solve", EigenSolve, false},
    {"cholmod_analyse", CholmodAnalyse, false}, {"cholmod_factorise", CholmodFactorise, false},
    {"cholmod_solve", CholmodSolve, false},
};

// Networks this large are timed once per step.
constexpr unsigned kSingleIterationStations = 100000;

void RegisterNetwork(NetworkKind kind, unsigned stations) {
    const std::string prefix = std::string(KindName(kind)) + "/" + std::to_string(stations) + "/";
    const auto configure = [&](benchmark::internal::Benchmark* b) {
        b->Unit(benchmark::kMillisecond);
        if (stations >= kSingleIterationStations)
            b->Iterations(1);
    };
    benchmark::internal::Benchmark* pipeline = benchmark::RegisterBenchmark(
        (prefix + "ours_pipeline").c_str(), [kind, stations](benchmark::State& state) {
            OursPipeline(state, kind, stations);
            PeakCounter(state);
        });
    configure(pipeline);
    pipeline->Iterations(1);
    for (const Step& step : kSteps) {
        benchmark::internal::Benchmark* b =
            benchmark::RegisterBenchmark((prefix + step.name).c_str(),
                                         [kind, stations, run = step.run](benchmark::State& state) {
                                             NetworkCase& c = CachedCase(kind, stations);
                                             ResetPeakResidentSet();
                                             run(state, c);
                                             SizeCounters(state, c);
                                             PeakCounter(state);
                                         });
        configure(b);
        if (step.manualTime)
            b->UseManualTime();
    }
}

} // namespace
} // namespace TavexBench

int main(int argc, char** argv) {
    using TavexBench::NetworkKind;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    for (NetworkKind kind : {NetworkKind::Triangulation2D, NetworkKind::Gps3D})
        for (unsigned stations : {1000u, 10000u, 100000u})
            TavexBench::RegisterNetwork(kind, stations);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
