// Free networks on inner constraints: the engine's sparse factorisation of a
// minimally held matrix with its low-rank correction against two dense
// computations in the test — the weighted definition N_w = N + Σ w g gᵀ
// solved by a Householder QR of the weighted design (which squares no
// condition number), and, where the constraint rows span exact datum
// defects, the minimally held solution carried into the inner-constraint
// datum by the S-transformation.
#include "engine/block_solve.h"
#include "engine/datum_rows.h"
#include "engine/factor_capacity.h"
#include "engine/factor_solve.h"
#include "engine/fill_system.h"
#include "engine/network_setup.h"
#include "engine/numeric_factorisation.h"
#include "engine/sparse_inverse.h"
#include "engine/symbolic_factorisation.h"
#include "interface/kernel.h"
#include "support/synthetic_network.h"

#include <Eigen/Dense>
#include <Eigen/Sparse>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace Tavex {
namespace {

using Eigen::MatrixXd;
using Eigen::VectorXd;
using TavexTest::SyntheticNetwork;

// A jittered grid of stations near 52° N, spacing in metres, joined to
// their east, north and north-east neighbours by `join`.
void Grid(SyntheticNetwork& net, int columns, int rows, double spacing,
          const std::function<void(unsigned, unsigned)>& join) {
    const double degNorth = spacing / 111250.0, degEast = degNorth / std::cos(52.0 * M_PI / 180.0);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const double jitter = 0.13 * std::sin(7.1 * r + 3.3 * c);
            std::string name = "P";
            name += std::to_string(r * columns + c);
            net.AddStation(name, 52.0 + (r + jitter) * degNorth, 5.0 + (c - jitter) * degEast,
                           20.0 + 3.0 * std::sin(r + 0.7 * c));
        }
    const auto at = [&](int r, int c) { return static_cast<unsigned>(r * columns + c + 1); };
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            if (c + 1 < columns)
                join(at(r, c), at(r, c + 1));
            if (r + 1 < rows)
                join(at(r, c), at(r + 1, c));
            if (r + 1 < rows && c + 1 < columns)
                join(at(r, c), at(r + 1, c + 1));
        }
}

// The engine's system for the loaded project: rows, unknowns, datum rows,
// the filled design and weights.
struct System {
    EngineState e;
    explicit System(ProjectState& p) {
        Progress progress;
        EXPECT_EQ(SetUpNetwork(p, e), 1);
        AppendDatumRows(p, e);
        EXPECT_EQ(FillSystem(p, e, progress), 1);
    }
    std::size_t u() const { return e.Unknowns(); }
};

MatrixXd DenseRows(const CompressedRows& m) {
    MatrixXd d = MatrixXd::Zero(m.rows, m.columns);
    for (std::size_t r = 1; r <= m.rows; ++r)
        for (std::size_t k = m.Begin(r); k < m.End(r); ++k)
            d(r - 1, m.col[k] - 1) = m.val[k];
    return d;
}

// The design matrix with the inner-constraint rows put back, as the
// weighted definition has them.
MatrixXd DesignWithConstraints(const LinearSystem& s) {
    MatrixXd A = DenseRows(s.A);
    const std::size_t u = s.Unknowns();
    for (std::size_t c = 0; c < s.inner.Count(); ++c)
        for (std::size_t i = 1; i <= u; ++i)
            A(s.inner.rows[c] - 1, i - 1) = s.inner.length[c] * s.inner.G[c * (u + 1) + i];
    return A;
}

struct Reference {
    VectorXd x;
    MatrixXd Q;
};

// The weighted definition by QR: with P = Rpᵀ Rp, the least-squares problem
// min |Rp (A x − l)| has N_w = Rᵀ R for the R of Rp A.
Reference WeightedDefinition(const LinearSystem& s) {
    const MatrixXd A = DesignWithConstraints(s);
    const MatrixXd P = DenseRows(s.P);
    const Eigen::LLT<MatrixXd> weights(P);
    const MatrixXd Rp = weights.matrixU();
    const VectorXd l =
        Eigen::Map<const VectorXd>(s.l.data() + 1, static_cast<Eigen::Index>(s.Rows()));
    const MatrixXd WA = Rp * A;
    Eigen::HouseholderQR<MatrixXd> qr(WA);
    const Eigen::Index u = WA.cols();
    const MatrixXd R = qr.matrixQR().topRows(u).triangularView<Eigen::Upper>();
    const MatrixXd Rinv = R.triangularView<Eigen::Upper>().solve(MatrixXd::Identity(u, u));
    Reference ref;
    ref.Q = Rinv * Rinv.transpose();
    ref.x = qr.solve(Rp * l);
    return ref;
}

// The S-transformation of a minimally held dense solution: any held set E
// that covers the defect, then S = I − G (GᵀG)⁻¹ Gᵀ, and the weighted rows'
// own small term G (GᵀG)⁻¹ diag(1/w) (GᵀG)⁻¹ Gᵀ.
Reference STransformed(const LinearSystem& s, const std::vector<Eigen::Index>& heldUnknowns) {
    const MatrixXd A = DenseRows(s.A);
    const MatrixXd P = DenseRows(s.P);
    // A and P are sparse: their product through sparse matrices.
    const Eigen::SparseMatrix<double> As = A.sparseView(), Ps = P.sparseView();
    MatrixXd N = MatrixXd(As.transpose() * (Ps * As));
    const Eigen::Index u = N.rows();
    for (Eigen::Index k : heldUnknowns)
        N(k, k) += 1e4 * N(k, k);
    const Eigen::LLT<MatrixXd> held(N);
    const MatrixXd Qm = held.solve(MatrixXd::Identity(u, u));
    const VectorXd l =
        Eigen::Map<const VectorXd>(s.l.data() + 1, static_cast<Eigen::Index>(s.Rows()));
    const VectorXd xm = Qm * (As.transpose() * (Ps * l));
    const Eigen::Index d = static_cast<Eigen::Index>(s.inner.Count());
    MatrixXd G(u, d);
    VectorXd w(d);
    for (Eigen::Index c = 0; c < d; ++c) {
        for (Eigen::Index i = 0; i < u; ++i)
            G(i, c) = s.inner.length[c] * s.inner.G[c * (u + 1) + i + 1];
        w(c) = P(s.inner.rows[c] - 1, s.inner.rows[c] - 1);
    }
    const MatrixXd GtGinv = (G.transpose() * G).inverse();
    // S = I − H Gᵀ with H = G (GᵀG)⁻¹; S Qm Sᵀ expanded, as d ≪ u.
    const MatrixXd H = G * GtGinv;
    const MatrixXd QmG = Qm * G;
    Reference ref;
    ref.x = xm - H * (G.transpose() * xm);
    ref.Q =
        Qm - H * QmG.transpose() - QmG * H.transpose() +
        H * (G.transpose() * QmG + w.cwiseInverse().asDiagonal().toDenseMatrix()) * H.transpose();
    return ref;
}

// Factorises, solves and inverts with the engine and compares with the
// reference: the solution relative to its largest element, the cofactors on
// the factor's structure, a block of columns of Q and an element off the
// structure relative to √(q(i, i) q(j, j)).
void ExpectEngineMatches(LinearSystem& s, const Reference& ref, double tolerance,
                         const std::string& what) {
    MessageLog log;
    ASSERT_EQ(SymbolicFactorisation(s, FactorCapacity(s.Unknowns(), s.Rows(), 1ull << 34), log), 1);
    std::uint32_t singular = 0;
    ASSERT_EQ(NumericFactorisation(s, 1e-12, singular, log), 1)
        << what << " singular at " << singular;
    ASSERT_TRUE(s.factor.correction.Active()) << what;
    ASSERT_EQ(SolveNormalEquations(s, log), 1);
    const std::size_t u = s.Unknowns();
    const double largest = ref.x.cwiseAbs().maxCoeff();
    for (std::size_t i = 1; i <= u; ++i)
        ASSERT_NEAR(s.x[i], ref.x(i - 1), tolerance * largest) << what << " x(" << i << ")";
    const auto scale = [&](std::size_t i, std::size_t j) {
        return std::sqrt(ref.Q(i - 1, i - 1) * ref.Q(j - 1, j - 1));
    };

    CofactorWorkspace work;
    const std::uint32_t far = static_cast<std::uint32_t>(u);
    EXPECT_NEAR(CofactorElement(s.factor, 1, far, work), ref.Q(0, u - 1), tolerance * scale(1, u))
        << what << " element off the structure";
    BlockSolveWork block;
    UnitBlockSolve(s.factor, 1, std::min<std::size_t>(kSolveBlock, u), block);
    for (std::size_t b = 0; b < std::min<std::size_t>(kSolveBlock, u); ++b)
        for (std::size_t i = 1; i <= u; ++i)
            ASSERT_NEAR(block.x[i * kSolveBlock + b], ref.Q(i - 1, b), tolerance * scale(i, b + 1))
                << what << " column " << b + 1 << " row " << i;

    ASSERT_EQ(SparseInverse(s.factor, log), 1);
    const CompressedRows& L = s.factor.L;
    for (std::uint32_t j = 1; j <= u; ++j)
        for (std::size_t k = L.Begin(j); k < L.End(j); ++k)
            ASSERT_NEAR(L.val[k], ref.Q(j - 1, L.col[k] - 1), tolerance * scale(j, L.col[k]))
                << what << " q(" << j << ", " << L.col[k] << ")";
}

void Triangulation(SyntheticNetwork& net, int columns, int rows, bool distances) {
    Grid(net, columns, rows, 400.0, [&](unsigned a, unsigned b) {
        net.TotalStation(a, b, 0, true, distances, false);
        net.TotalStation(b, a, 0, true, false, false);
    });
    net.AddNoise(3, 1e-5, 0.002);
    net.Perturb(0.05, 4);
}

TEST(InnerConstraints, WeightedDefinitionOfEveryDatumCase) {
    struct Case {
        const char* name;
        std::function<void(SyntheticNetwork&)> build;
    };
    const Case cases[] = {
        // Directions and distances: the scale row over-constrains (the
        // distances fix the scale).
        {"2D directions and distances",
         [](SyntheticNetwork& net) { Triangulation(net, 8, 6, true); }},
        // Directions only: translations, rotation and scale are the defect.
        {"2D directions", [](SyntheticNetwork& net) { Triangulation(net, 7, 6, false); }},
        {"1D levelling",
         [](SyntheticNetwork& net) {
             net.Settings().Dimension = 1;
             Grid(net, 9, 7, 300.0, [&](unsigned a, unsigned b) { net.HeightDifference(a, b); });
             net.AddNoise(5, 0.0, 0.001);
         }},
        // GPS baselines fix rotations and scale that the seven rows ask for.
        {"3D GPS baselines, seven rows",
         [](SyntheticNetwork& net) {
             net.Settings().Dimension = 3;
             Grid(net, 6, 5, 800.0, [&](unsigned a, unsigned b) { net.GpsBaseline(a, b); });
             net.AddNoise(6, 0.0, 0.003);
             net.Perturb(0.05, 7);
         }},
        {"3D terrestrial",
         [](SyntheticNetwork& net) {
             net.Settings().Dimension = 3;
             Grid(net, 5, 5, 300.0, [&](unsigned a, unsigned b) {
                 net.TotalStation(a, b, 0, true, true, true);
                 net.TotalStation(b, a, 0, true, false, true);
             });
             net.AddNoise(8, 1e-5, 0.002);
             net.Perturb(0.05, 9);
         }},
    };
    for (const Case& c : cases) {
        SyntheticNetwork net;
        c.build(net);
        net.Load();
        System system(TheKernel().project);
        ASSERT_GT(system.e.system.inner.Count(), 0u) << c.name;
        const Reference ref = WeightedDefinition(system.e.system);
        ExpectEngineMatches(system.e.system, ref, 1e-9, c.name);
        Release();
    }
}

// Where the rows span the defect exactly (a height translation of a
// levelling network; translations of baselines in their own GPS frame), the
// result is the minimally held solution S-transformed.
// Levelling of 1,000 stations over 12 × 7 km and GPS baselines between 400
// stations over 15 × 15 km (small ones in a debug build, where the dense
// reference would take minutes).
TEST(InnerConstraints, ExactDefectsGiveTheSTransformedMinimalSolution) {
#ifdef NDEBUG
    const int levelling[2] = {40, 25}, gps = 20;
#else
    const int levelling[2] = {10, 8}, gps = 6;
#endif
    for (int dimension : {1, 3}) {
        SyntheticNetwork net;
        net.Settings().Dimension = dimension;
        if (dimension == 1) {
            Grid(net, levelling[0], levelling[1], 300.0,
                 [&](unsigned a, unsigned b) { net.HeightDifference(a, b); });
            net.AddNoise(10, 0.0, 0.001);
        } else {
            // Baselines in their own frame: only the translations are free.
            net.SetEllipsoid(Tavex::ELLIPSOID_FRAME_GEOGRAPHIC);
            net.Settings().TerCoord = 0;
            net.Settings().TerObserv = 0;
            net.Settings().GPSCoordType = 1;
            Grid(net, gps, gps, 800.0, [&](unsigned a, unsigned b) { net.GpsBaseline(a, b); });
            net.AddNoise(11, 0.0, 0.003);
            net.Perturb(0.05, 12);
        }
        net.Load();
        System system(TheKernel().project);
        const LinearSystem& s = system.e.system;
        ASSERT_EQ(s.inner.Count(), dimension == 1 ? 1u : 3u);
        // Held: a far corner station's unknowns, not the engine's choice.
        std::vector<Eigen::Index> held;
        const EngineState& e = system.e;
        const unsigned corner = net.Count();
        for (std::uint32_t k :
             {e.index.north[corner], e.index.east[corner], e.index.height[corner]})
            if (k != 0)
                held.push_back(k - 1);
        const Reference ref = STransformed(s, held);
        std::string what = "dimension ";
        what += std::to_string(dimension);
        ExpectEngineMatches(system.e.system, ref, 1e-9, what);
        Release();
    }
}

// A long, narrow free network of several kilometres (a corridor survey):
// with the constraint rows inside N its metre-scale rotation and scale
// coefficients at weight 10⁸ put N's largest eigenvalues near 10¹⁸ and the
// factorisation failed; held minimally and corrected it adjusts.
TEST(InnerConstraints, LongCorridorAdjustsAsAFreeNetwork) {
#ifdef NDEBUG
    const int length = 400; // 416 m apart: 16 km
#else
    const int length = 60;
#endif
    const auto build = [&](SyntheticNetwork& net) {
        net.Settings().IterMax = 10;
        Grid(net, length, 2, 40.0, [&](unsigned a, unsigned b) {
            net.TotalStation(a, b, 0, true, true, false);
            net.TotalStation(b, a, 0, true, true, false);
        });
        net.AddNoise(13, 1e-5, 0.002);
        net.Perturb(0.03, 14);
    };
    SyntheticNetwork free;
    build(free);
    ASSERT_EQ(free.Adjust(), 1) << free.AllMessages();
    // The shape against the truth: every adjusted distance along the
    // corridor within the distances' noise (2 mm) of the true one.
    const auto& adjusted = free.StationRecords();
    double worst = 0.0;
    for (unsigned s = 2; s <= free.Count(); ++s) {
        const auto& a = adjusted[s - 2];
        const auto& b = adjusted[s - 1];
        const double d = std::hypot((b.Coord1 - a.Coord1) * 6.39e6,
                                    (b.Coord2 - a.Coord2) * 6.39e6 * std::cos(a.Coord1));
        const auto& ta = free.Truth(s - 1);
        const auto& tb = free.Truth(s);
        const double t =
            std::hypot((tb.lat - ta.lat) * 6.39e6, (tb.lon - ta.lon) * 6.39e6 * std::cos(ta.lat));
        worst = std::max(worst, std::fabs(d - t));
    }
    EXPECT_LT(worst, 0.005);
}

} // namespace
} // namespace Tavex
