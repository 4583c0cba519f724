// Tests, reliability and precision of adjusted networks against dense
// computations with Eigen on the same design matrix, weights and residuals.
#include "engine/adjustment.h"
#include "interface/kernel.h"
#include "support/synthetic_network.h"
#include "testing/precision.h"

#include <Eigen/Dense>
#include <gtest/gtest.h>

#include <cmath>

namespace Tavex {
namespace {

using TavexTest::SyntheticNetwork;

Eigen::MatrixXd Dense(const CompressedRows& m) {
    Eigen::MatrixXd d = Eigen::MatrixXd::Zero(m.rows, m.columns);
    for (std::size_t r = 1; r <= m.rows; ++r)
        for (std::size_t e = m.Begin(r); e < m.End(r); ++e)
            d(r - 1, m.col[e] - 1) = m.val[e];
    return d;
}

// The dense quantities of the B-method for σ0 = 1.
struct DenseReference {
    Eigen::MatrixXd A, P, Q, D, R; // R = A Q Aᵀ P
    Eigen::VectorXd v, x;          // residuals, P v
};

DenseReference Reference(const EngineState& e) {
    DenseReference d;
    d.A = Dense(e.system.A);
    d.P = Dense(e.system.P);
    const Eigen::MatrixXd N = d.A.transpose() * d.P * d.A;
    d.Q = N.inverse();
    d.R = d.A * d.Q * d.A.transpose() * d.P;
    d.D = d.P - d.P * d.A * d.Q * d.A.transpose() * d.P;
    d.v = Eigen::Map<const Eigen::VectorXd>(e.system.l.data() + 1, e.Rows());
    d.x = d.P * d.v;
    return d;
}

double Relative(double value, double reference) {
    return std::abs(value - reference) / std::max(1e-12, std::abs(reference));
}

class BMethod : public ::testing::Test {
protected:
    // Loads the network and runs the engine directly, so that the engine's
    // tables stay for inspection.
    void Run(SyntheticNetwork& net) {
        net.Load();
        Progress progress;
        ASSERT_EQ(RunAdjustment(TheKernel().project, engine, progress), 1) << net.AllMessages();
    }
    void TearDown() override { Release(); }
    EngineState engine;
};

void AddNetwork2D(SyntheticNetwork& net) {
    net.AddStation("A", 52.000, 5.000, 10.0);
    net.AddStation("B", 52.010, 5.020, 12.0);
    net.AddStation("C", 52.020, 5.000, 14.0);
    net.AddStation("D", 52.015, 4.975, 9.0);
    net.AddStation("E", 52.002, 4.985, 11.0);
    net.MakeKnown(1, 12, 0.005);
    net.MakeKnown(3, 12, 0.005);
    const unsigned lines[][2] = {{1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 1}, {2, 4}, {1, 3}, {2, 5}};
    for (const auto& line : lines) {
        net.TotalStation(line[0], line[1], 0, true, true, false, 0, 0);
        net.TotalStation(line[1], line[0], 0, true, false, false, 0, 0);
    }
}

TEST_F(BMethod, TwoDimensionalNetworkAgainstDenseComputations) {
    SyntheticNetwork net;
    net.Settings().Phase = 3; // weighted constraints: datum rows are tested too
    AddNetwork2D(net);
    net.AddNoise(3, 1e-5, 0.002);
    Run(net);
    const AdjustmentResults& r = engine.results;
    const DenseReference d = Reference(engine);
    const std::size_t n = engine.Rows(), u = engine.Unknowns();
    const double lambda0 = TheKernel().project.Critical.lambda0;
    double redundancySum = 0.0;
    for (std::size_t i = 1; i <= n; ++i) {
        const std::size_t k = i - 1;
        const double redundancy = 100.0 * (1.0 - d.R(k, k));
        EXPECT_NEAR(r.redundancy[i], redundancy, 1e-6) << i;
        redundancySum += r.redundancy[i];
        // A row without redundancy has D of rounding size only.
        if (r.redundancy[i] < 1e-6) {
            EXPECT_LT(std::abs(r.D[i] - d.D(k, k)), 1e-12 * d.P(k, k)) << i;
            continue;
        }
        EXPECT_LT(Relative(r.D[i], d.D(k, k)), 1e-6) << i;
        EXPECT_LT(Relative(r.w[i], d.x(k) / std::sqrt(d.D(k, k))), 1e-6) << i;
        EXPECT_LT(Relative(r.mdb[i], std::sqrt(lambda0 / d.D(k, k))), 1e-6) << i;
        EXPECT_LT(Relative(r.bnr2[i], d.P(k, k) * lambda0 / d.D(k, k) - lambda0), 1e-6) << i;
        const double aQa = (d.A.row(k) * d.Q * d.A.row(k).transpose())(0, 0);
        EXPECT_LT(Relative(r.sdAdjusted[i], std::sqrt(aQa)), 1e-6) << i;
    }
    EXPECT_NEAR(redundancySum, 100.0 * (n - u), 1e-6);
    // Standard deviations of the unknowns and the station ellipses.
    for (std::size_t j = 1; j <= u; ++j)
        EXPECT_LT(Relative(r.sdUnknown[j], std::sqrt(d.Q(j - 1, j - 1))), 1e-6);
    for (unsigned s = 1; s <= net.Count(); ++s) {
        const std::uint32_t n0 = engine.index.north[s] - 1, e0 = engine.index.east[s] - 1;
        Eigen::Matrix2d block;
        block << d.Q(n0, n0), d.Q(n0, e0), d.Q(e0, n0), d.Q(e0, e0);
        Eigen::SelfAdjointEigenSolver<Eigen::Matrix2d> eigen(block);
        const StationPrecision& sp = r.stations[s];
        EXPECT_LT(Relative(sp.ellipse.A, std::sqrt(eigen.eigenvalues()(1))), 1e-6);
        EXPECT_LT(Relative(sp.ellipse.B, std::sqrt(eigen.eigenvalues()(0))), 1e-6);
        // The major axis from north towards east, folded into (−π/2, π/2].
        const Eigen::Vector2d major = eigen.eigenvectors().col(1);
        double phi = std::atan2(major(1), major(0));
        if (phi > M_PI / 2)
            phi -= M_PI;
        if (phi <= -M_PI / 2)
            phi += M_PI;
        // Directions that differ by π are the same axis; the direction of a
        // nearly circular ellipse is as uncertain as its roundness.
        const double flattening = (sp.ellipse.A - sp.ellipse.B) / sp.ellipse.A;
        if (flattening > 1e-3) {
            EXPECT_NEAR(std::remainder(sp.ellipse.phi - phi, M_PI), 0.0, 1e-6 / flattening) << s;
        }
    }
}

TEST_F(BMethod, RelativeEllipsesAndExternalReliability) {
    SyntheticNetwork net;
    net.Settings().Phase = 3;
    net.Settings().ReportSwitch[Tavex::REPORT_EXTERNAL_RELIABILITY] = 1;
    AddNetwork2D(net);
    net.AddNoise(5, 1e-5, 0.002);
    Run(net);
    const AdjustmentResults& r = engine.results;
    const DenseReference d = Reference(engine);
    // Relative ellipse of the pair B-D from the covariance of the
    // coordinate differences.
    const auto& index = r.relativeIndex;
    const auto at = index.find({2u, 4u});
    ASSERT_NE(at, index.end());
    const RelativePrecision& rel = r.relative[at->second];
    const std::uint32_t bn = engine.index.north[2] - 1, be = engine.index.east[2] - 1;
    const std::uint32_t dn = engine.index.north[4] - 1, de = engine.index.east[4] - 1;
    Eigen::MatrixXd J = Eigen::MatrixXd::Zero(2, engine.Unknowns());
    J(0, dn) = 1;
    J(0, bn) = -1;
    J(1, de) = 1;
    J(1, be) = -1;
    const Eigen::Matrix2d qd = J * d.Q * J.transpose();
    Eigen::SelfAdjointEigenSolver<Eigen::Matrix2d> eigen(qd);
    EXPECT_LT(Relative(rel.ellipse.A, std::sqrt(eigen.eigenvalues()(1))), 1e-6);
    EXPECT_LT(Relative(rel.ellipse.B, std::sqrt(eigen.eigenvalues()(0))), 1e-6);
    // External reliability: the largest effect of every row's MDB.
    ASSERT_TRUE(r.externalComputed);
    const std::size_t u = engine.Unknowns();
    Eigen::VectorXd largest = Eigen::VectorXd::Zero(u);
    std::vector<std::size_t> cause(u, 0);
    for (std::size_t i = 1; i <= engine.Rows(); ++i) {
        // Parameter rows, and known coordinates whose MDB is out of reach,
        // disturb nothing.
        if (engine.rows[i].kind >= 40 ||
            (engine.rows[i].IsDatum() && r.mdb[i] > 1000 * engine.sigma[i]))
            continue;
        const Eigen::VectorXd effect =
            d.Q * d.A.transpose() * d.P.col(i - 1) * std::min(r.mdb[i], 1e6);
        for (std::size_t j = 0; j < u; ++j)
            if (std::abs(effect(j)) > std::abs(largest(j))) {
                largest(j) = effect(j);
                cause[j] = i;
            }
    }
    for (std::size_t j = 1; j <= u; ++j) {
        if (!engine.unknowns[j].IsCoordinate())
            continue; // only the coordinates' effects are reported
        EXPECT_LT(std::abs(r.external[j].value - largest(j - 1)),
                  1e-6 * std::max(1e-6, std::abs(largest(j - 1))))
            << j;
        EXPECT_EQ(r.external[j].row, cause[j - 1]) << j;
    }
}

TEST_F(BMethod, PlantedBlunderIsFoundWhereItWasPlanted) {
    SyntheticNetwork net;
    AddNetwork2D(net);
    net.AddNoise(7, 1e-5, 0.002);
    // An 8 cm error in the distance B-D (the sixth line's first record).
    const std::size_t blunderRecord = 11;
    ASSERT_EQ(+net.ObservationRecords()[blunderRecord].K100.Target, 4u);
    const double blunder = 0.08;
    net.ObservationRecords()[blunderRecord].K100.Reading[1] += blunder;
    Run(net);
    const AdjustmentResults& r = engine.results;
    std::size_t largest = 1;
    for (std::size_t i = 1; i <= engine.observationRows; ++i)
        if (std::abs(r.w[i]) > std::abs(r.w[largest]))
            largest = i;
    const ObservationRow& row = engine.rows[largest];
    ASSERT_EQ(row.kind, ROW_DISTANCE);
    EXPECT_EQ(TheKernel().project.Observations.GetAt(static_cast<int>(row.source))->Record,
              blunderRecord);
    const double lambda0 = TheKernel().project.Critical.lambda0;
    // Estimated error in metres and its standard deviation MDB / √λ0.
    const double scale = engine.computed[largest];
    const double estimated = r.w[largest] * r.mdb[largest] / std::sqrt(lambda0) * scale;
    const double sd = r.mdb[largest] / std::sqrt(lambda0) * scale;
    EXPECT_GT(std::abs(r.w[largest]), TheKernel().project.Critical.criticalW);
    EXPECT_NEAR(estimated, blunder, sd);
}

TEST_F(BMethod, AntennaHeightErrorIsRejectedAsSuch) {
    SyntheticNetwork net;
    net.Settings().Dimension = 3;
    net.AddStation("A", 52.000, 5.000, 10.0);
    net.AddStation("B", 52.010, 5.020, 12.0);
    net.AddStation("C", 52.020, 5.000, 14.0);
    net.AddStation("D", 52.015, 4.975, 9.0);
    net.MakeKnown(1, 12);
    net.MakeKnown(2, 12);
    net.MakeKnown(3, 10);
    const unsigned lines[][2] = {{1, 2}, {2, 3}, {3, 4}, {4, 1}, {1, 3}, {2, 4}};
    for (const auto& line : lines)
        net.GpsBaseline(line[0], line[1], 0.002, false);
    for (const auto& line : lines)
        net.GpsBaseline(line[1], line[0], 0.002, false);
    net.AddNoise(9, 0.0, 0.001);
    // A 5 cm antenna height error at the target of baseline 2 (B to C):
    // the baseline grows along C's up direction.
    Tavex::_OBSERVATION& record = net.ObservationRecords()[2];
    const auto& c = net.Truth(3);
    const double up[3] = {std::cos(c.lat) * std::cos(c.lon), std::cos(c.lat) * std::sin(c.lon),
                          std::sin(c.lat)};
    for (int k = 0; k < 3; ++k)
        record.K6.Reading[k] += 0.05 * up[k];
    Run(net);
    const AdjustmentResults& r = engine.results;
    const CHTest* antenna = r.antennaTests[2].get();
    ASSERT_NE(antenna, nullptr);
    const double criticalW = TheKernel().project.Critical.criticalW;
    EXPECT_TRUE(antenna->Rejected(criticalW))
        << antenna->w[0] << " " << antenna->w[1] << " " << antenna->w[2];
    EXPECT_NEAR(antenna->estimatedError[2], 0.05, 0.01);
    // Its T-test is rejected as well, against the dense T = yᵀ D⁻¹ y / 3.
    const DenseReference d = Reference(engine);
    std::size_t first = 0;
    for (std::size_t i = 1; i <= engine.Rows(); ++i)
        if (engine.rows[i].kind == ROW_GPS_BASELINE && engine.rows[i].source == 2 &&
            engine.rows[i].sub == 0)
            first = i - 1;
    const Eigen::Vector3d y = d.x.segment<3>(first);
    const Eigen::Matrix3d D = d.D.block<3, 3>(first, first);
    const double T = y.dot(D.ldlt().solve(y)) / 3.0;
    EXPECT_LT(Relative(r.observationTests[2]->T, T), 1e-6);
}

// Every row of a correlated baseline has its own standard deviation (the
// square root of its block's diagonal), W-test and MDB.
TEST_F(BMethod, EveryRowOfACorrelatedBaselineIsTested) {
    SyntheticNetwork net;
    net.Settings().Dimension = 3;
    net.AddStation("A", 52.000, 5.000, 10.0);
    net.AddStation("B", 52.010, 5.020, 12.0);
    net.AddStation("C", 52.020, 5.000, 14.0);
    net.AddStation("D", 52.015, 4.975, 9.0);
    net.MakeKnown(1, 12);
    net.MakeKnown(2, 12);
    net.MakeKnown(3, 10);
    const unsigned lines[][2] = {{1, 2}, {2, 3}, {3, 4}, {4, 1}, {1, 3}, {2, 4}};
    for (const auto& line : lines)
        net.GpsBaseline(line[0], line[1], 0.003, true);
    net.AddNoise(5, 0.0, 0.002);
    Run(net);
    const AdjustmentResults& r = engine.results;
    const DenseReference d = Reference(engine);
    const double lambda0 = TheKernel().project.Critical.lambda0;
    unsigned checked = 0;
    for (std::size_t i = 1; i <= engine.Rows(); ++i) {
        if (engine.rows[i].kind != ROW_GPS_BASELINE)
            continue;
        const std::size_t k = i - 1, first = k - engine.rows[i].sub;
        const Eigen::Matrix3d covariance = d.P.block<3, 3>(first, first).inverse();
        const std::size_t c = k - first;
        EXPECT_LT(Relative(engine.sigma[i], std::sqrt(covariance(c, c))), 1e-9) << i;
        EXPECT_LT(Relative(r.w[i], d.x(k) / std::sqrt(d.D(k, k))), 1e-6) << i;
        EXPECT_LT(Relative(r.mdb[i], std::sqrt(lambda0 / d.D(k, k))), 1e-6) << i;
        EXPECT_NE(r.w[i], 0.0) << i;
        ++checked;
    }
    EXPECT_EQ(checked, 18u);
}

TEST(Ellipse, EqualVariancesWithoutCorrelationPointEast) {
    const StandardEllipse circle = EllipseOf(4.0, 0.0, 4.0, 1.0);
    EXPECT_DOUBLE_EQ(circle.phi, M_PI / 2);
    EXPECT_DOUBLE_EQ(circle.A, 2.0);
    EXPECT_DOUBLE_EQ(circle.B, 2.0);
    const StandardEllipse north = EllipseOf(1.0, 0.0, 9.0, 1.0);
    EXPECT_NEAR(north.phi, 0.0, 1e-15);
    EXPECT_DOUBLE_EQ(north.A, 3.0);
}

} // namespace
} // namespace Tavex
