// The factorisation that flags singular pivots and goes on, on small systems
// whose null spaces are known by construction; the dense reference is Eigen.
#include "engine/symbolic_factorisation.h"
#include "messages/progress.h"
#include "prerun/defect_detection.h"
#include "project/project_state.h"

#include "engine/sparse_system_fixture.h"

#include <Eigen/Dense>
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace Tavex {
namespace {

using TavexTest::BuildSystem;
using TavexTest::DenseA;
using TavexTest::DenseP;
using TavexTest::RandomSystem;
using TavexTest::SystemDescription;

// One observation row with unit weight.
void AddRow(SystemDescription& d, std::map<std::uint32_t, double> row, double weight = 1.0) {
    d.rows.push_back(std::move(row));
    d.blocks.push_back(Eigen::MatrixXd::Constant(1, 1, weight));
    d.l.push_back(0.0);
}

struct Flagged {
    LinearSystem system;
    std::vector<char> flags;
    std::uint32_t count = 0;
};

Flagged Factorise(const SystemDescription& d, double c) {
    Flagged f;
    f.system = BuildSystem(d);
    MessageLog log;
    EXPECT_EQ(SymbolicFactorisation(f.system, 1u << 20, log), 1);
    f.count = FactoriseFlaggingDefects(f.system, c, f.flags);
    return f;
}

std::vector<std::uint32_t> FlaggedUnknowns(const Flagged& f) {
    std::vector<std::uint32_t> out;
    for (std::uint32_t j = 1; j < f.flags.size(); ++j)
        if (f.flags[j])
            out.push_back(j);
    return out;
}

// The stored factor as a dense lower triangle.
Eigen::MatrixXd DenseFactor(const LinearSystem& s) {
    const CompressedRows& L = s.factor.L;
    Eigen::MatrixXd dense = Eigen::MatrixXd::Zero(L.rows, L.rows);
    for (std::size_t j = 1; j <= L.rows; ++j)
        for (std::size_t e = L.Begin(j); e < L.End(j); ++e)
            dense(j - 1, L.col[e] - 1) = L.val[e];
    return dense;
}

Eigen::MatrixXd Normal(const SystemDescription& d) {
    const Eigen::MatrixXd A = DenseA(d);
    return A.transpose() * DenseP(d) * A;
}

// N without the rows and columns of the flagged unknowns, its Cholesky
// factor compared with the stored rows of the unknowns not flagged.
void ExpectFactorOfFixedSystem(const SystemDescription& d, const Flagged& f) {
    const Eigen::MatrixXd N = Normal(d);
    std::vector<int> kept;
    for (std::uint32_t j = 1; j < f.flags.size(); ++j)
        if (!f.flags[j])
            kept.push_back(static_cast<int>(j - 1));
    const Eigen::Index m = static_cast<Eigen::Index>(kept.size());
    Eigen::MatrixXd reduced(m, m);
    for (Eigen::Index a = 0; a < m; ++a)
        for (Eigen::Index b = 0; b < m; ++b)
            reduced(a, b) = N(kept[a], kept[b]);
    Eigen::LLT<Eigen::MatrixXd> llt(reduced);
    ASSERT_EQ(llt.info(), Eigen::Success) << "the system without the flagged unknowns is regular";
    const Eigen::MatrixXd expected = llt.matrixL();
    const Eigen::MatrixXd stored = DenseFactor(f.system);
    for (Eigen::Index a = 0; a < m; ++a)
        for (Eigen::Index b = 0; b <= a; ++b)
            EXPECT_NEAR(stored(kept[a], kept[b]), expected(a, b),
                        1e-9 * std::max(1.0, std::fabs(expected(a, b))))
                << "row " << kept[a] + 1 << " column " << kept[b] + 1;
    // The flagged unknowns store nothing, in their own rows or in others.
    for (std::uint32_t j = 1; j < f.flags.size(); ++j)
        if (f.flags[j]) {
            EXPECT_EQ(stored.row(j - 1).norm(), 0.0) << "row " << j;
            EXPECT_EQ(stored.col(j - 1).norm(), 0.0) << "column " << j;
        }
}

Eigen::Index RankDefect(const Eigen::MatrixXd& N) {
    Eigen::FullPivLU<Eigen::MatrixXd> lu(N);
    lu.setThreshold(1e-10);
    return N.rows() - lu.rank();
}

TEST(DefectFactorisation, RegularSystemsFactoriseLikeDenseCholesky) {
    for (unsigned seed : {3u, 11u, 29u}) {
        const SystemDescription d = RandomSystem(12, 20, seed);
        const Flagged f = Factorise(d, 1e-6);
        EXPECT_EQ(f.count, 0u);
        EXPECT_TRUE(FlaggedUnknowns(f).empty());
        const Eigen::MatrixXd L = DenseFactor(f.system);
        const Eigen::MatrixXd N = Normal(d);
        EXPECT_LE((L * L.transpose() - N).norm(), 1e-9 * N.norm()) << "seed " << seed;
    }
}

TEST(DefectFactorisation, DefectsOfRankRFlagExactlyRUnknowns) {
    // Only differences along a chain of five unknowns: one defect (a common
    // shift), met at the last pivot.
    SystemDescription chain;
    chain.unknowns = 5;
    for (std::uint32_t i = 1; i < 5; ++i)
        AddRow(chain, {{i, -1.0}, {i + 1, 1.0}});
    const Flagged one = Factorise(chain, 1e-6);
    EXPECT_EQ(one.count, 1u);
    EXPECT_EQ(RankDefect(Normal(chain)), 1);
    EXPECT_EQ(FlaggedUnknowns(one), std::vector<std::uint32_t>({5}));
    ExpectFactorOfFixedSystem(chain, one);

    // Two separate clusters, each free to shift: two defects, the last
    // unknown of each cluster.
    SystemDescription clusters;
    clusters.unknowns = 6;
    AddRow(clusters, {{1, -1.0}, {2, 1.0}});
    AddRow(clusters, {{2, -1.0}, {3, 1.0}}, 2.0);
    AddRow(clusters, {{1, -1.0}, {3, 1.0}}, 0.5);
    AddRow(clusters, {{4, -1.0}, {5, 1.0}});
    AddRow(clusters, {{5, -1.0}, {6, 1.0}}, 3.0);
    const Flagged two = Factorise(clusters, 1e-6);
    EXPECT_EQ(two.count, 2u);
    EXPECT_EQ(RankDefect(Normal(clusters)), 2);
    EXPECT_EQ(FlaggedUnknowns(two), std::vector<std::uint32_t>({3, 6}));
    ExpectFactorOfFixedSystem(clusters, two);
}

TEST(DefectFactorisation, TheFlagFallsOnTheLastUnknownOfTheNullVector) {
    // Dense rows all orthogonal to v = (1, 2, 0, −1, 0, 0): the columns are
    // dependent from unknown 4 on, and unknowns 5 and 6 stay regular once 4
    // counts as fixed.
    const Eigen::VectorXd v = (Eigen::VectorXd(6) << 1, 2, 0, -1, 0, 0).finished();
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> coefficient(-2.0, 2.0);
    SystemDescription d;
    d.unknowns = 6;
    for (int r = 0; r < 10; ++r) {
        Eigen::VectorXd a(6);
        for (int k = 0; k < 6; ++k)
            a(k) = coefficient(rng);
        a -= a.dot(v) / v.squaredNorm() * v;
        std::map<std::uint32_t, double> row;
        for (int k = 0; k < 6; ++k)
            row[static_cast<std::uint32_t>(k + 1)] = a(k);
        AddRow(d, row, 1.0 + 0.25 * r);
    }
    const Flagged f = Factorise(d, 1e-6);
    EXPECT_EQ(RankDefect(Normal(d)), 1);
    EXPECT_EQ(FlaggedUnknowns(f), std::vector<std::uint32_t>({4}));
    ExpectFactorOfFixedSystem(d, f);
}

TEST(DefectFactorisation, APivotEqualToTheCriterionSquaredIsRegular) {
    // N = [[4, 2], [2, 1.25]]: l21 = 1 and the second pivot is 1.25 − 1 =
    // 0.25 exactly.
    SystemDescription d;
    d.unknowns = 2;
    AddRow(d, {{1, 2.0}, {2, 1.0}});
    AddRow(d, {{2, 0.5}});
    const Flagged at = Factorise(d, 0.5);
    EXPECT_EQ(at.count, 0u);
    EXPECT_DOUBLE_EQ(DenseFactor(at.system)(1, 1), 0.5);
    const Flagged above = Factorise(d, 0.5 * (1.0 + 1e-12));
    EXPECT_EQ(FlaggedUnknowns(above), std::vector<std::uint32_t>({2}));
    const Flagged below = Factorise(d, 0.5 * (1.0 - 1e-12));
    EXPECT_EQ(below.count, 0u);
}

TEST(DefectFactorisation, AZeroCriterionStillFlagsAVanishingPivot) {
    // N = [[4, −4, 2], [−4, 4, −2], [2, −2, 5]]: the second pivot is exactly
    // 0 (null vector (1, 1, 0)); with unknown 2 fixed the third pivot is
    // 5 − 1 = 4. Taking the zero pivot as regular would divide row 3 by it.
    SystemDescription d;
    d.unknowns = 3;
    AddRow(d, {{1, 2.0}, {2, -2.0}, {3, 1.0}});
    AddRow(d, {{3, 2.0}});
    const Flagged f = Factorise(d, 0.0);
    EXPECT_EQ(FlaggedUnknowns(f), std::vector<std::uint32_t>({2}));
    const Eigen::MatrixXd L = DenseFactor(f.system);
    EXPECT_TRUE(L.allFinite());
    EXPECT_DOUBLE_EQ(L(0, 0), 2.0);
    EXPECT_DOUBLE_EQ(L(2, 0), 1.0);
    EXPECT_DOUBLE_EQ(L(2, 2), 2.0);
}

TEST(DefectFactorisation, APivotAtTheRoundingLevelOfItsDiagonalIsSingular) {
    // Two heights observed only as a difference, forth and back, σ 1 mm
    // (weights 1e6): the second pivot 2e6 − (√2e6)² is zero but for
    // rounding, which alone may exceed c² = 1e-12. A pivot that keeps 1e-6 of
    // its diagonal is regular however small.
    SystemDescription pair;
    pair.unknowns = 2;
    AddRow(pair, {{1, -1.0}, {2, 1.0}}, 1e6);
    AddRow(pair, {{1, 1.0}, {2, -1.0}}, 1e6);
    EXPECT_EQ(FlaggedUnknowns(Factorise(pair, 1e-6)), std::vector<std::uint32_t>({2}));
    for (double w : {1e3, 1e6, 1e9, 3.3e7, 7.77e5}) {
        SystemDescription scaled;
        scaled.unknowns = 3;
        AddRow(scaled, {{1, -1.0}, {2, 1.0}}, w);
        AddRow(scaled, {{2, -1.0}, {3, 1.0}}, 1.3 * w);
        AddRow(scaled, {{1, 1.0}, {3, -1.0}}, 0.7 * w);
        EXPECT_EQ(FlaggedUnknowns(Factorise(scaled, 1e-6)), std::vector<std::uint32_t>({3}))
            << "weight " << w;
    }
    SystemDescription weak;
    weak.unknowns = 2;
    AddRow(weak, {{1, 1.0}, {2, 1.0}}, 1e6);
    AddRow(weak, {{2, 1e-3}}, 1e6); // pivot 1, diagonal 1e6 + 1
    EXPECT_EQ(Factorise(weak, 1e-6).count, 0u);
}

// The detection step on a hand-built engine state: the criterion is
// DeltaSingular / Sigma0.
class DefectDetection : public ::testing::Test {
protected:
    void SetUp() override { ResetProject(project); }

    // One scale-factor unknown of group 2 observed once with the weight.
    CVelnikResultsPtrArray& Detect(double weight) {
        SystemDescription d;
        d.unknowns = 1;
        AddRow(d, {{1, 1.0}}, weight);
        engine.system = BuildSystem(d);
        engine.unknowns = {UnknownDescriptor{}, UnknownDescriptor{0, UNK_SCALE, 2}};
        engine.rows.assign(2, ObservationRow{});
        Progress progress;
        EXPECT_EQ(DetectConfigurationDefects(project, engine, progress, results), 1);
        return results;
    }

    ProjectState project;
    EngineState engine;
    CVelnikResultsPtrArray results;
};

TEST_F(DefectDetection, SigmaZeroOfTwoHalvesTheCriterion) {
    // DeltaSingular 1e-3: the pivot 5e-7 lies between (1e-3 / 2)² = 2.5e-7
    // and (1e-3)² = 1e-6.
    project.DeltaSingular = 1e-3;
    project.Sigma0 = 1.0;
    const CVelnikResultsPtrArray& flagged = Detect(5e-7);
    ASSERT_EQ(flagged.GetSize(), 1);
    const CVelnikChecks& block = *flagged.GetAt(0);
    EXPECT_EQ(block.checkKind, CHECK_CONFIGURATION_DEFECTS);
    ASSERT_EQ(block.configurationDefects.GetSize(), 1);
    EXPECT_EQ(block.configurationDefects.GetAt(0)->text.wstr(), L"比例因子 S 奇异2");
    EXPECT_EQ(block.configurationDefects.GetAt(0)->message, 457);
}

TEST_F(DefectDetection, SigmaZeroOfTwoMakesTheSamePivotRegular) {
    project.DeltaSingular = 1e-3;
    project.Sigma0 = 2.0;
    EXPECT_EQ(Detect(5e-7).GetSize(), 0);
    // Below the halved criterion it is singular again.
    results.RemoveAll();
    EXPECT_EQ(Detect(2e-7).GetSize(), 1);
}

} // namespace
} // namespace Tavex
