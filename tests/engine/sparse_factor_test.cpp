#include "engine/factor_capacity.h"
#include "engine/factor_solve.h"
#include "engine/numeric_factorisation.h"
#include "engine/sparse_inverse.h"
#include "engine/sparse_system_fixture.h"
#include "engine/symbolic_factorisation.h"

#include <gtest/gtest.h>

#include <limits>

namespace Tavex {
namespace {

using TavexTest::BuildSystem;
using TavexTest::DenseA;
using TavexTest::DenseL;
using TavexTest::DenseP;
using TavexTest::RandomSystem;
using TavexTest::SystemDescription;

constexpr std::uint64_t kAmpleCapacity = std::numeric_limits<std::uint64_t>::max();

// Factorises with ε = 1e-6.
bool Factorise(LinearSystem& s, MessageLog& log, std::uint32_t& singular) {
    if (!SymbolicFactorisation(s, kAmpleCapacity, log))
        return false;
    if (!NumericFactorisation(s, 1e-6, singular, log))
        return false;
    WriteRowValues(s.factor); // the values are read by rows below
    return true;
}

double Relative(double value, double reference, double scale) {
    return std::abs(value - reference) / std::max(1.0, std::abs(scale));
}

class AgainstDenseReference : public ::testing::TestWithParam<unsigned> {};

TEST_P(AgainstDenseReference, FactorSolutionCofactorsAndSparseInverse) {
    const unsigned seed = GetParam();
    const std::size_t unknowns = 8 + seed % 25;
    const SystemDescription description = RandomSystem(unknowns, 2 * unknowns, seed);
    LinearSystem s = BuildSystem(description);
    MessageLog log;
    std::uint32_t singular = 0;
    ASSERT_TRUE(Factorise(s, log, singular));

    const Eigen::MatrixXd A = DenseA(description);
    const Eigen::MatrixXd P = DenseP(description);
    const Eigen::MatrixXd N = A.transpose() * P * A;
    const Eigen::MatrixXd Ld = N.llt().matrixL();
    const double scale = N.cwiseAbs().maxCoeff();

    // Every stored value is the dense factor's, and the dense factor has
    // nothing outside the structure.
    const CompressedRows& L = s.factor.L;
    Eigen::MatrixXd covered = Eigen::MatrixXd::Zero(unknowns, unknowns);
    for (std::size_t j = 1; j <= unknowns; ++j) {
        EXPECT_EQ(L.col[s.factor.Diagonal(j)], j) << "diagonal last in row " << j;
        for (std::size_t e = L.Begin(j); e < L.End(j); ++e) {
            if (e > L.Begin(j)) {
                EXPECT_LT(L.col[e - 1], L.col[e]) << "columns ascend";
            }
            const std::size_t k = L.col[e];
            EXPECT_LT(Relative(L.val[e], Ld(j - 1, k - 1), std::sqrt(scale)), 1e-9);
            covered(j - 1, k - 1) = 1.0;
        }
    }
    for (std::size_t j = 0; j < unknowns; ++j)
        for (std::size_t k = 0; k <= j; ++k)
            if (covered(j, k) == 0.0) {
                EXPECT_LT(std::abs(Ld(j, k)), 1e-9 * std::sqrt(scale));
            }

    // The solution and A x.
    ASSERT_TRUE(SolveNormalEquations(s, log));
    const Eigen::VectorXd xd = N.llt().solve(A.transpose() * P * DenseL(description));
    const Eigen::VectorXd axd = A * xd;
    for (std::size_t k = 1; k <= unknowns; ++k)
        EXPECT_NEAR(s.x[k], xd(k - 1), 1e-9 * std::max(1.0, xd.cwiseAbs().maxCoeff()));
    for (std::size_t r = 1; r <= s.Rows(); ++r)
        EXPECT_NEAR(s.Ax[r], axd(r - 1), 1e-9 * std::max(1.0, axd.cwiseAbs().maxCoeff()));

    // Single cofactors against the dense inverse.
    const Eigen::MatrixXd Q = N.inverse();
    const double qScale = Q.cwiseAbs().maxCoeff();
    CofactorWorkspace work;
    for (std::uint32_t i = 1; i <= unknowns; ++i)
        for (std::uint32_t j = 1; j <= unknowns; j += 3)
            EXPECT_LT(Relative(CofactorElement(s.factor, i, j, work), Q(i - 1, j - 1), qScale),
                      1e-9);
    std::vector<double> diagonal(unknowns + 1);
    for (std::uint32_t i = 1; i <= unknowns; ++i)
        diagonal[i] = CofactorElement(s.factor, i, i, work);

    // The sparse inverse: every element on the structure.
    ASSERT_TRUE(SparseInverse(s.factor, log));
    EXPECT_TRUE(s.factor.holdsCofactors);
    for (std::size_t j = 1; j <= unknowns; ++j) {
        for (std::size_t e = L.Begin(j); e < L.End(j); ++e)
            EXPECT_LT(Relative(L.val[e], Q(j - 1, L.col[e] - 1), qScale), 1e-9)
                << "q(" << j << ", " << L.col[e] << ")";
        EXPECT_LT(Relative(L.val[s.factor.Diagonal(j)], diagonal[j], qScale), 1e-12);
    }
    EXPECT_EQ(log.Count(), 0);
}

INSTANTIATE_TEST_SUITE_P(RandomSystems, AgainstDenseReference, ::testing::Range(1u, 25u));

// One unknown observed by a single row with the given weight.
SystemDescription SingleUnknown(double weight) {
    SystemDescription description;
    description.unknowns = 1;
    description.rows = {{{1, 1.0}}};
    description.blocks = {Eigen::MatrixXd::Constant(1, 1, weight)};
    description.l = {0.0};
    return description;
}

TEST(Singularity, UntouchedUnknownIsSingularAtItsOwnIndex) {
    SystemDescription description;
    description.unknowns = 4;
    description.rows = {{{1, 1.0}}, {{2, 1.0}, {4, 1.0}}, {{4, 2.0}}};
    description.blocks = {Eigen::MatrixXd::Ones(1, 1), Eigen::MatrixXd::Ones(1, 1),
                          Eigen::MatrixXd::Ones(1, 1)};
    description.l = {0, 0, 0};
    LinearSystem s = BuildSystem(description);
    MessageLog log;
    std::uint32_t singular = 0;
    EXPECT_FALSE(Factorise(s, log, singular));
    EXPECT_EQ(singular, 3u);
    ASSERT_EQ(log.Count(), 1);
    EXPECT_EQ(log.Messages().GetAt(0)->Code, 531);
    EXPECT_EQ(log.Messages().GetAt(0)->Class, MSG_ERROR);
    EXPECT_EQ(log.Messages().GetAt(0)->Text.wstr(), L"法方程奇异，使用VELNIK");
}

TEST(Singularity, DifferenceOnlyPairIsSingularAtTheSecondUnknown) {
    // A height difference h2 − h1 without a fixed height.
    SystemDescription description;
    description.unknowns = 2;
    description.rows = {{{1, -1.0}, {2, 1.0}}};
    description.blocks = {Eigen::MatrixXd::Constant(1, 1, 4.0)};
    description.l = {0.01};
    LinearSystem s = BuildSystem(description);
    MessageLog log;
    std::uint32_t singular = 0;
    EXPECT_FALSE(Factorise(s, log, singular));
    EXPECT_EQ(singular, 2u);
}

TEST(Singularity, PivotExactlyEpsilonSquaredIsAccepted) {
    for (const double weight : {0.25, std::nextafter(0.25, 0.0)}) {
        LinearSystem s = BuildSystem(SingleUnknown(weight));
        MessageLog log;
        std::uint32_t singular = 0;
        ASSERT_TRUE(SymbolicFactorisation(s, kAmpleCapacity, log));
        const int ok = NumericFactorisation(s, 0.5, singular, log);
        EXPECT_EQ(ok, weight == 0.25 ? 1 : 0) << weight;
        if (ok) {
            WriteRowValues(s.factor);
            EXPECT_EQ(s.factor.L.val[1], 0.5);
        } else {
            EXPECT_EQ(singular, 1u);
        }
    }
}

TEST(MemoryBudget, CapacityFollowsTheFormula) {
    // u = 10, m = 20: full = 55 + 10 + 4 = 69; request = (69 + 40 + 10) 8 + 40.
    EXPECT_EQ(FactorCapacity(10, 20, 1u << 30), 69u);
    // 800 bytes: 100 words − 2·20 − 10 − 5 = 45.
    EXPECT_EQ(FactorCapacity(10, 20, 800), 45u);
    EXPECT_EQ(FactorCapacity(10, 20, 100), 0u);
    // Large networks do not overflow.
    EXPECT_EQ(FactorCapacity(300000, 1000000, 8000000000ull), 1000000000ull - 2300005ull);
}

TEST(MemoryBudget, SymbolicFactorisationStopsWithinTheBudget) {
    const SystemDescription description = RandomSystem(40, 80, 7);
    LinearSystem s = BuildSystem(description);
    MessageLog log;
    ASSERT_TRUE(SymbolicFactorisation(s, kAmpleCapacity, log));
    const std::size_t needed = s.factor.L.Stored();
    ASSERT_TRUE(SymbolicFactorisation(s, needed, log)) << "exactly enough room";
    EXPECT_FALSE(SymbolicFactorisation(s, needed - 1, log));
    ASSERT_EQ(log.Count(), 1);
    EXPECT_EQ(log.Messages().GetAt(0)->Code, 401);
    EXPECT_EQ(log.Messages().GetAt(0)->Text.wstr(),
              L"无足够的内存用于计算 法方程矩阵的符号因数分解");
    EXPECT_EQ(s.factor.L.rows, 0u) << "nothing is left allocated";
}

TEST(FactorStructure, EliminationTreeParentsAreTheFirstSubdiagonalEntries) {
    const SystemDescription description = RandomSystem(30, 45, 11);
    LinearSystem s = BuildSystem(description);
    MessageLog log;
    std::uint32_t singular = 0;
    ASSERT_TRUE(Factorise(s, log, singular));
    const CompressedRows& L = s.factor.L;
    std::vector<std::uint32_t> expected(31, 0);
    for (std::uint32_t j = 1; j <= 30; ++j)
        for (std::size_t e = L.Begin(j); e + 1 < L.End(j); ++e)
            if (expected[L.col[e]] == 0)
                expected[L.col[e]] = j;
    EXPECT_EQ(s.factor.parent, expected);
}

} // namespace
} // namespace Tavex
