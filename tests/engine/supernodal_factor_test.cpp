// The supernodal factorisation, solve and sparse inverse against the dense
// reference and against the simplicial definitions, on systems shaped to
// give one supernode, chains, stars, wide fronts and random structures, and
// the pivot test on singular and near-singular systems.
#include "engine/block_solve.h"
#include "engine/factor_solve.h"
#include "engine/numeric_factorisation.h"
#include "engine/sparse_inverse.h"
#include "engine/sparse_system_fixture.h"
#include "engine/symbolic_factorisation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <string>

namespace Tavex {
namespace {

using TavexTest::BuildSystem;
using TavexTest::DenseA;
using TavexTest::DenseL;
using TavexTest::DenseP;
using TavexTest::RandomSystem;
using TavexTest::SystemDescription;

constexpr std::uint64_t kAmpleCapacity = std::numeric_limits<std::uint64_t>::max();

enum class Shape { Dense, Chain, Star, WideFront, Random, Blocks };

std::string ShapeName(Shape shape) {
    switch (shape) {
    case Shape::Dense:
        return "Dense";
    case Shape::Chain:
        return "Chain";
    case Shape::Star:
        return "Star";
    case Shape::WideFront:
        return "WideFront";
    case Shape::Random:
        return "Random";
    case Shape::Blocks:
        return "Blocks";
    }
    return "";
}

// A system of the given shape with n unknowns. Every unknown is observed
// directly (weight 0.5 … 4), so N is positive definite, unless directly is
// false for some of them.
SystemDescription ShapedSystem(Shape shape, std::size_t n, unsigned seed) {
    if (shape == Shape::Random)
        return RandomSystem(n, 2 * n, seed);
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> coefficient(-2.0, 2.0);
    std::uniform_real_distribution<double> weight(0.5, 4.0);
    SystemDescription d;
    d.unknowns = n;
    auto addRow = [&](std::map<std::uint32_t, double> row) {
        d.rows.push_back(std::move(row));
        d.blocks.push_back(Eigen::MatrixXd::Constant(1, 1, weight(rng)));
    };
    const auto un = static_cast<std::uint32_t>(n);
    for (std::uint32_t k = 1; k <= un; ++k)
        addRow({{k, 1.0}});
    switch (shape) {
    case Shape::Dense: // rows over every unknown: one supernode
        for (int r = 0; r < 3; ++r) {
            std::map<std::uint32_t, double> row;
            for (std::uint32_t k = 1; k <= un; ++k)
                row[k] = coefficient(rng);
            addRow(row);
        }
        break;
    case Shape::Chain: // k with k + 1 and k + 2: a path of small supernodes
        for (std::uint32_t k = 1; k + 2 <= un; ++k)
            addRow({{k, coefficient(rng)}, {k + 1, coefficient(rng)}, {k + 2, coefficient(rng)}});
        break;
    case Shape::Star: // every unknown with the last three: a wide, flat tree
        for (std::uint32_t k = 1; k + 3 <= un; ++k)
            addRow({{k, coefficient(rng)},
                    {un - 2, coefficient(rng)},
                    {un - 1, coefficient(rng)},
                    {un, coefficient(rng)}});
        break;
    case Shape::WideFront: { // a band 40 wide: large fronts all the way
        const std::uint32_t width = 40;
        for (std::uint32_t k = 1; k <= un; ++k)
            for (std::uint32_t m = k + 1; m <= std::min(un, k + width); m += 7)
                addRow({{k, coefficient(rng)}, {m, coefficient(rng)}});
        break;
    }
    case Shape::Blocks: { // GPS-like baselines of three unknowns per station
        const std::uint32_t stations = un / 3;
        std::uniform_int_distribution<std::uint32_t> pick(0, stations - 1);
        for (std::uint32_t b = 0; b < 2 * stations; ++b) {
            const std::uint32_t from = pick(rng), to = pick(rng);
            if (from == to)
                continue;
            Eigen::MatrixXd g = Eigen::MatrixXd::Random(3, 3);
            d.blocks.push_back(g * g.transpose() + 0.5 * Eigen::MatrixXd::Identity(3, 3));
            for (std::uint32_t c = 1; c <= 3; ++c)
                d.rows.push_back({{3 * from + c, -1.0}, {3 * to + c, 1.0}});
        }
        break;
    }
    case Shape::Random:
        break;
    }
    std::normal_distribution<double> noise(0.0, 1.0);
    for (std::size_t r = 0; r < d.rows.size(); ++r)
        d.l.push_back(noise(rng));
    return d;
}

// The difference of two values of row i of L (or of Q on row i and column
// k) against the row's scale.
double Gap(double value, double reference, double scale) {
    return std::abs(value - reference) / scale;
}

struct Case {
    Shape shape;
    std::size_t unknowns;
    unsigned seed;
};

std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
    return ShapeName(info.param.shape) + std::to_string(info.param.unknowns) + "_" +
           std::to_string(info.param.seed);
}

class SupernodalAgainstReferences : public ::testing::TestWithParam<Case> {};

TEST_P(SupernodalAgainstReferences, FactorSolveInverseAndBlockSolve) {
    const Case c = GetParam();
    const SystemDescription description = ShapedSystem(c.shape, c.unknowns, c.seed);
    const std::size_t u = c.unknowns;
    LinearSystem s = BuildSystem(description);
    MessageLog log;
    std::uint32_t singular = 0;
    ASSERT_TRUE(SymbolicFactorisation(s, kAmpleCapacity, log));
    LinearSystem simplicial = s;
    ASSERT_TRUE(SimplicialFactorisation(simplicial, 1e-6, singular, log));
    ASSERT_TRUE(NumericFactorisation(s, 1e-6, singular, log));
    ASSERT_FALSE(s.factor.supernodes.Empty());
    WriteRowValues(s.factor);

    const Eigen::MatrixXd A = DenseA(description);
    const Eigen::MatrixXd P = DenseP(description);
    const Eigen::MatrixXd N = A.transpose() * P * A;
    const Eigen::MatrixXd Ld = N.llt().matrixL();
    const Eigen::MatrixXd Q = N.inverse();

    // The factor: the simplicial values to 1e-12 of the row's scale √n(j, j),
    // the dense factor's to 1e-9.
    const CompressedRows& L = s.factor.L;
    for (std::uint32_t j = 1; j <= u; ++j) {
        const double scale = std::sqrt(N(j - 1, j - 1));
        for (std::size_t e = L.Begin(j); e < L.End(j); ++e) {
            EXPECT_LT(Gap(L.val[e], simplicial.factor.L.val[e], scale), 1e-12)
                << "l(" << j << ", " << L.col[e] << ")";
            EXPECT_LT(Gap(L.val[e], Ld(j - 1, L.col[e] - 1), scale), 1e-9);
        }
    }

    // The solution.
    ASSERT_TRUE(SolveNormalEquations(s, log));
    const Eigen::VectorXd xd = N.llt().solve(A.transpose() * P * DenseL(description));
    const double xScale = std::max(1.0, xd.cwiseAbs().maxCoeff());
    for (std::uint32_t k = 1; k <= u; ++k)
        EXPECT_NEAR(s.x[k], xd(k - 1), 1e-9 * xScale);

    // Columns of Q by block solves.
    BlockSolveWork work;
    for (std::size_t first = 1; first <= u; first += 5 * kSolveBlock) {
        const std::size_t count = std::min(kSolveBlock, u + 1 - first);
        UnitBlockSolve(s.factor, static_cast<std::uint32_t>(first), count, work);
        for (std::size_t b = 0; b < count; ++b)
            for (std::size_t k = 1; k <= u; ++k) {
                const double scale = std::sqrt(Q(k - 1, k - 1) * Q(first + b - 1, first + b - 1));
                EXPECT_LT(Gap(work.x[k * kSolveBlock + b], Q(k - 1, first + b - 1), scale), 1e-9);
            }
    }

    // The sparse inverse: the simplicial one's to 1e-12 of √(q(j, j) q(k, k)),
    // the dense inverse's to 1e-9.
    const std::vector<double> simplicialFactor = simplicial.factor.L.val;
    ASSERT_TRUE(SimplicialSparseInverse(simplicial.factor, log));
    ASSERT_TRUE(SparseInverse(s.factor, log));
    EXPECT_TRUE(s.factor.holdsCofactors);
    for (std::uint32_t j = 1; j <= u; ++j)
        for (std::size_t e = L.Begin(j); e < L.End(j); ++e) {
            const std::uint32_t k = L.col[e];
            const double scale = std::sqrt(Q(j - 1, j - 1) * Q(k - 1, k - 1));
            EXPECT_LT(Gap(L.val[e], simplicial.factor.L.val[e], scale), 1e-12)
                << "q(" << j << ", " << k << ")";
            EXPECT_LT(Gap(L.val[e], Q(j - 1, k - 1), scale), 1e-9);
        }

    // Factorised again over the cofactors (the blocks are kept): the factor.
    ASSERT_TRUE(NumericFactorisation(s, 1e-6, singular, log));
    EXPECT_FALSE(s.factor.holdsCofactors);
    WriteRowValues(s.factor);
    for (std::uint32_t j = 1; j <= u; ++j)
        for (std::size_t e = L.Begin(j); e < L.End(j); ++e)
            EXPECT_LT(Gap(L.val[e], simplicialFactor[e], std::sqrt(N(j - 1, j - 1))), 1e-12);
    EXPECT_EQ(log.Count(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, SupernodalAgainstReferences,
    ::testing::Values(Case{Shape::Dense, 1, 1}, Case{Shape::Dense, 7, 2}, Case{Shape::Dense, 90, 3},
                      Case{Shape::Chain, 60, 4}, Case{Shape::Chain, 400, 5},
                      Case{Shape::Star, 50, 6}, Case{Shape::Star, 300, 7},
                      Case{Shape::WideFront, 200, 8}, Case{Shape::WideFront, 350, 9},
                      Case{Shape::Random, 40, 10}, Case{Shape::Random, 250, 11},
                      Case{Shape::Blocks, 90, 12}, Case{Shape::Blocks, 450, 13}),
    CaseName);

// Both factorisations on a copy of s; the singular unknowns they name.
void BothSingular(const LinearSystem& s, double epsilon, int& okSupernodal, int& okSimplicial,
                  std::uint32_t& atSupernodal, std::uint32_t& atSimplicial) {
    LinearSystem a = s, b = s;
    MessageLog log;
    okSupernodal = NumericFactorisation(a, epsilon, atSupernodal, log);
    okSimplicial = SimplicialFactorisation(b, epsilon, atSimplicial, log);
}

class SupernodalPivotTest : public ::testing::TestWithParam<Case> {};

// Unknowns that only occur in differences with others (no direct
// observation): singular, and both factorisations name the same unknown.
TEST_P(SupernodalPivotTest, SingularSystemsNameTheSimplicialUnknown) {
    const Case c = GetParam();
    SystemDescription description = ShapedSystem(c.shape, c.unknowns, c.seed);
    // Drop the direct observation of every unknown from a third of the way
    // on: the rest see only the combinations of the shape's rows.
    const std::size_t from = c.unknowns / 3;
    for (std::size_t k = from; k < c.unknowns; ++k)
        description.blocks[k](0, 0) = 0.0;
    LinearSystem s = BuildSystem(description);
    MessageLog log;
    ASSERT_TRUE(SymbolicFactorisation(s, kAmpleCapacity, log));
    int okSupernodal = 0, okSimplicial = 0;
    std::uint32_t atSupernodal = 0, atSimplicial = 0;
    BothSingular(s, 1e-6, okSupernodal, okSimplicial, atSupernodal, atSimplicial);
    EXPECT_EQ(okSupernodal, okSimplicial);
    EXPECT_EQ(atSupernodal, atSimplicial);
    if (!okSimplicial) {
        EXPECT_GE(atSimplicial, 1u);
    }
}

// The threshold set between the pivots of a regular system: every pivot
// below it is singular, and the first in the order of the unknowns is named
// by both.
TEST_P(SupernodalPivotTest, NearSingularThresholdsNameTheSimplicialUnknown) {
    const Case c = GetParam();
    const SystemDescription description = ShapedSystem(c.shape, c.unknowns, c.seed);
    LinearSystem s = BuildSystem(description);
    MessageLog log;
    ASSERT_TRUE(SymbolicFactorisation(s, kAmpleCapacity, log));
    LinearSystem reference = s;
    std::uint32_t singular = 0;
    ASSERT_TRUE(SimplicialFactorisation(reference, 1e-6, singular, log));
    std::vector<double> pivots;
    for (std::uint32_t j = 1; j <= c.unknowns; ++j) {
        const double l = reference.factor.L.val[reference.factor.Diagonal(j)];
        pivots.push_back(l * l);
    }
    std::vector<double> sorted = pivots;
    std::sort(sorted.begin(), sorted.end());
    for (const double share : {0.0, 0.1, 0.5, 0.9}) {
        const auto at = static_cast<std::size_t>(share * static_cast<double>(sorted.size() - 1));
        // Halfway between two neighbouring pivots (or just above the
        // smallest), away from rounding.
        const double threshold =
            at + 1 < sorted.size() ? 0.5 * (sorted[at] + sorted[at + 1]) : 1.5 * sorted[at];
        if (at + 1 < sorted.size() && sorted[at + 1] - sorted[at] < 1e-9 * sorted[at + 1])
            continue;
        std::uint32_t expected = 0;
        for (std::uint32_t j = 1; j <= c.unknowns && expected == 0; ++j)
            if (pivots[j - 1] < threshold)
                expected = j;
        int okSupernodal = 0, okSimplicial = 0;
        std::uint32_t atSupernodal = 0, atSimplicial = 0;
        BothSingular(s, std::sqrt(threshold), okSupernodal, okSimplicial, atSupernodal,
                     atSimplicial);
        EXPECT_EQ(okSupernodal, 0);
        EXPECT_EQ(atSimplicial, expected) << "share " << share;
        EXPECT_EQ(atSupernodal, expected) << "share " << share;
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, SupernodalPivotTest,
                         ::testing::Values(Case{Shape::Dense, 80, 21}, Case{Shape::Chain, 200, 22},
                                           Case{Shape::Star, 150, 23},
                                           Case{Shape::WideFront, 300, 24},
                                           Case{Shape::Random, 120, 25},
                                           Case{Shape::Blocks, 300, 26}),
                         CaseName);

// Supernodes: consecutive columns, rows ascending with the supernode's own
// columns first, and every entry of L inside its supernode's rows.
TEST(Supernodes, CoverTheStructureOfL) {
    for (const Shape shape : {Shape::Dense, Shape::Chain, Shape::Star, Shape::WideFront,
                              Shape::Random, Shape::Blocks}) {
        const SystemDescription description = ShapedSystem(shape, 150, 31);
        LinearSystem s = BuildSystem(description);
        MessageLog log;
        ASSERT_TRUE(SymbolicFactorisation(s, kAmpleCapacity, log));
        const Supernodes sn = FindSupernodes(s.factor.L, s.factor.parent);
        ASSERT_EQ(sn.first.front(), 1u);
        ASSERT_EQ(sn.first.back(), 151u);
        for (std::size_t k = 0; k < sn.count; ++k) {
            ASSERT_LT(sn.first[k], sn.first[k + 1]);
            const std::uint32_t* R = sn.rows.data() + sn.rowStart[k];
            for (std::size_t c = 0; c < sn.Columns(k); ++c)
                EXPECT_EQ(R[c], sn.first[k] + c);
            for (std::size_t r = 1; r < sn.RowCount(k); ++r)
                EXPECT_LT(R[r - 1], R[r]);
        }
        std::vector<double> blocks;
        CompressedRows L = s.factor.L;
        for (std::size_t e = 1; e <= L.Stored(); ++e)
            L.val[e] = static_cast<double>(e);
        GatherBlocks(sn, L, blocks);
        CompressedRows back = L;
        std::fill(back.val.begin(), back.val.end(), 0.0);
        ScatterBlocks(sn, blocks, back);
        EXPECT_EQ(back.val, L.val) << ShapeName(shape);
        if (shape == Shape::Dense) {
            EXPECT_EQ(sn.count, 1u);
        }
    }
}

TEST(Supernodes, EmptySystemFactorisesAndInverts) {
    SystemDescription description;
    LinearSystem s = BuildSystem(description);
    MessageLog log;
    std::uint32_t singular = 0;
    ASSERT_TRUE(SymbolicFactorisation(s, kAmpleCapacity, log));
    EXPECT_TRUE(NumericFactorisation(s, 1e-6, singular, log));
    EXPECT_TRUE(SparseInverse(s.factor, log));
    EXPECT_EQ(log.Count(), 0);
}

} // namespace
} // namespace Tavex
