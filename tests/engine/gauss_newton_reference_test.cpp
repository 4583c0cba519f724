// The engine's iterated solution of a noisy network against an independent
// dense Gauss-Newton iteration (Eigen) on the same design matrix, weights
// and reduced observations.
#include "engine/adjustment.h"
#include "engine/build_rows.h"
#include "engine/datum_rows.h"
#include "engine/fill_system.h"
#include "engine/geometry_refresh.h"
#include "engine/number_unknowns.h"
#include "engine/station_checks.h"
#include "interface/kernel.h"
#include "support/synthetic_network.h"

#include <Eigen/Dense>
#include <gtest/gtest.h>

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

// Runs the dense iteration on a fresh engine state of the loaded project.
std::vector<double> DenseGaussNewton(ProjectState& p) {
    EngineState e;
    Progress progress;
    const Participation participation = CheckStations(p);
    EXPECT_TRUE(BuildRows(p, participation, e));
    SetUnknownFlags(p, e);
    EXPECT_TRUE(NumberUnknowns(p, e));
    AppendDatumRows(p, e);
    for (int iteration = 0; iteration < 20; ++iteration) {
        EXPECT_TRUE(FillSystem(p, e, progress));
        const Eigen::MatrixXd A = Dense(e.system.A);
        const Eigen::MatrixXd P = Dense(e.system.P);
        const Eigen::VectorXd l =
            Eigen::Map<const Eigen::VectorXd>(e.system.l.data() + 1, e.Rows());
        const Eigen::VectorXd x = (A.transpose() * P * A).ldlt().solve(A.transpose() * P * l);
        std::vector<double> corrections(e.Unknowns() + 1, 0.0);
        for (std::size_t i = 0; i < e.Unknowns(); ++i)
            corrections[i + 1] = x(i);
        ApplyCorrections(e, corrections);
        if (x.cwiseAbs().maxCoeff() < 1e-12)
            break;
    }
    // The values by station and kind, independent of the numbering.
    RefreshGeometry(p, e);
    std::vector<double> values;
    for (unsigned s = 1; s <= p.StationCount; ++s) {
        values.push_back(e.geometry[s].lat);
        values.push_back(e.geometry[s].lon);
        values.push_back(e.geometry[s].h);
    }
    return values;
}

TEST(GaussNewtonReference, NoisyNetworksGiveTheDenseSolution) {
    for (int dimension : {1, 2, 3}) {
        SyntheticNetwork net;
        net.Settings().Dimension = dimension;
        net.Settings().IterMax = 20;
        net.Settings().Epsilon = 1e-9;
        net.Settings().ScaleFactorFree[0] = 1;
        net.AddStation("A", 52.000, 5.000, 10.0);
        net.AddStation("B", 52.010, 5.020, 12.0);
        net.AddStation("C", 52.020, 5.000, 14.0);
        net.AddStation("D", 52.015, 4.975, 9.0);
        net.AddStation("E", 52.002, 4.985, 11.0);
        net.MakeKnown(1, 12);
        net.MakeKnown(3, 12);
        net.MakeKnown(4, 10);
        const unsigned lines[][2] = {{1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 1}, {2, 4}, {1, 3}};
        for (const auto& line : lines) {
            if (dimension == 1) {
                net.HeightDifference(line[0], line[1]);
                continue;
            }
            net.TotalStation(line[0], line[1], 0, true, true, dimension == 3);
            net.TotalStation(line[1], line[0], 0, true, dimension == 3, dimension == 3);
            if (dimension == 3)
                net.GpsBaseline(line[0], line[1]);
        }
        net.AddNoise(17 + dimension, 2e-5, 0.004);
        net.Perturb(0.3, 20 + dimension);

        const std::vector<_STATIONADJ> approximate = net.StationRecords();
        ASSERT_EQ(net.Adjust(), 1) << net.AllMessages();
        const std::vector<_STATIONADJ> adjusted = net.StationRecords();

        // The reference starts from the same approximate coordinates.
        net.StationRecords() = approximate;
        net.Load();
        const std::vector<double> reference = DenseGaussNewton(TheKernel().project);
        for (unsigned s = 1; s <= net.Count(); ++s) {
            const _STATIONADJ& r = adjusted[s - 1];
            const double* ref = &reference[3 * (s - 1)];
            EXPECT_NEAR((r.Coord1 - ref[0]) * 6.39e6, 0.0, 1e-7) << dimension << " station " << s;
            EXPECT_NEAR((r.Coord2 - ref[1]) * 3.9e6, 0.0, 1e-7) << dimension << " station " << s;
            EXPECT_NEAR(r.Height - ref[2], 0.0, 1e-7) << dimension << " station " << s;
        }
        Release();
    }
}

} // namespace
} // namespace Tavex
