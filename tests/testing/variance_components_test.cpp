// Variance components on networks whose readings carry noise a known factor
// larger or smaller than their a-priori standard deviations say: the
// cumulative factors come out at the true ones within their own
// uncertainty, the last estimates near 1, and the group redundancies add up
// to the degrees of freedom.
#include "engine/adjustment.h"
#include "interface/kernel.h"
#include "support/synthetic_network.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>

namespace TavexTest {
namespace {

using Tavex::VarianceGroup;

constexpr double kApparentDirection = 1e-5; // rad, as the records say
constexpr double kGpsSigma = 0.004;         // m, as the records say
constexpr double kSpacing = 0.009;          // degrees of latitude, about 1 km

std::string StationName(int number) {
    char name[8];
    std::snprintf(name, sizeof name, "S%d", number);
    return name;
}

class VarianceComponentsTest : public ::testing::Test {
protected:
    void TearDown() override { Tavex::Release(); }

    // A grid of 6 × 6 stations with directions and distances to the
    // neighbours (diagonals included), two known; in 3D zenith angles and
    // GPS baselines along the grid lines too.
    void Grid(int dimension) {
        net.Settings().Dimension = dimension;
        for (int i = 0; i < 6; ++i)
            for (int j = 0; j < 6; ++j)
                net.AddStation(StationName(6 * i + j + 1), 52.0 + kSpacing * i,
                               5.0 + 1.5 * kSpacing * j, 10.0 + 3.0 * ((i * j) % 5));
        net.MakeKnown(1, 12);
        net.MakeKnown(36, 12);
        if (dimension == 3)
            net.MakeKnown(6, 10);
        const auto at = [](int i, int j) { return static_cast<unsigned>(6 * i + j + 1); };
        for (int i = 0; i < 6; ++i)
            for (int j = 0; j < 6; ++j)
                for (const auto& [di, dj] : {std::pair{0, 1}, {1, 0}, {1, 1}, {1, -1}}) {
                    const int k = i + di, l = j + dj;
                    if (k > 5 || l < 0 || l > 5)
                        continue;
                    net.TotalStation(at(i, j), at(k, l), 0, true, true, dimension == 3);
                    net.TotalStation(at(k, l), at(i, j), 0, true, dimension == 3, dimension == 3);
                    if (dimension == 3 && di + dj == 1)
                        net.GpsBaseline(at(i, j), at(k, l), kGpsSigma, false);
                }
    }

    // Noise of factor² times the a-priori variance of each kind of reading.
    void Noise(double directions, double distances, double zeniths, double gps) {
        std::mt19937 rng(77);
        std::normal_distribution<double> n(0.0, 1.0);
        auto& records = net.ObservationRecords();
        for (std::size_t k = 1; k < records.size(); ++k) {
            Tavex::_OBSERVATION& o = records[k];
            double r[3];
            if (o.Kind == 100) {
                std::memcpy(r, o.K100.Reading, sizeof r);
                const double sdDistance = 0.002 + 2e-6 * r[1];
                r[0] += directions * kApparentDirection * n(rng);
                r[1] += distances * sdDistance * n(rng);
                r[2] += zeniths * kApparentDirection * n(rng);
                std::memcpy(o.K100.Reading, r, sizeof r);
            } else if (o.Kind == 6) {
                std::memcpy(r, o.K6.Reading, sizeof r);
                for (double& x : r)
                    x += gps * kGpsSigma * n(rng);
                std::memcpy(o.K6.Reading, r, sizeof r);
            }
        }
    }

    void Run() {
        net.Perturb(0.1, 78);
        net.Load();
        Tavex::Progress progress;
        ASSERT_EQ(Tavex::RunAdjustment(Project(), engine, progress), 1) << Messages();
    }

    const VarianceGroup& Group(std::uint32_t key, std::uint32_t kind) const {
        for (const VarianceGroup& g : engine.variance.groups)
            if (g.key == key && g.kind == kind)
                return g;
        ADD_FAILURE() << "no group " << key << "/" << kind;
        static const VarianceGroup none;
        return none;
    }

    // The factor within three times the standard deviation of a variance
    // estimate from redundancy r, σ ≈ f √(2 / r).
    static void ExpectFactor(const VarianceGroup& g, double truth) {
        const double sd = truth * std::sqrt(2.0 / std::max(g.redundancy, 1.0));
        EXPECT_NEAR(g.factor, truth, 3.0 * sd)
            << "group " << g.key << "/" << g.kind << ", redundancy " << g.redundancy;
    }

    // Σ of the redundancies of the kind groups is the degrees of freedom.
    void ExpectRedundanciesAddUp() const {
        double total = 0.0;
        for (const VarianceGroup& g : engine.variance.groups)
            if (g.key == 0 && g.kind != Tavex::kGroupTerrestrial && g.kind != Tavex::kGroupGps)
                total += g.redundancy;
        EXPECT_NEAR(total, static_cast<double>(engine.Rows() - engine.Unknowns()), 1e-6);
    }

    Tavex::ProjectState& Project() { return Tavex::TheKernel().project; }
    std::string Messages() {
        std::string text;
        for (int k = 0; k < Project().Messages.Count(); ++k)
            text += Project().Messages.Messages().GetAt(k)->Text.Utf8() + "\n";
        return text;
    }

    SyntheticNetwork net;
    Tavex::EngineState engine;
};

TEST_F(VarianceComponentsTest, PerKindFactorsOfDistancesAndDirections) {
    Grid(2);
    Noise(1.0, std::sqrt(2.0), 0.0, 0.0); // distances × 2, directions × 1
    net.Settings().VarComponent = 2;
    net.Settings().VarIterMax = 10;
    net.Settings().VarEpsilon = 0.01;
    Run();
    ExpectFactor(Group(0, Tavex::ROW_DISTANCE), 2.0);
    ExpectFactor(Group(0, Tavex::ROW_DIRECTION), 1.0);
    EXPECT_GE(engine.variance.passes, 2u);
    EXPECT_NEAR(Group(0, Tavex::ROW_DISTANCE).estimate, 1.0, 0.01) << "the last estimate";
    EXPECT_NEAR(Group(0, Tavex::ROW_DIRECTION).estimate, 1.0, 0.01);
    ExpectRedundanciesAddUp();
}

TEST_F(VarianceComponentsTest, TerrestrialAndGpsFactors) {
    Grid(3);
    Noise(2.0, 2.0, 2.0, 0.5); // terrestrial × 4, GPS × 0.25
    net.Settings().VarComponent = 1;
    net.Settings().VarIterMax = 10;
    Run();
    ExpectFactor(Group(0, Tavex::kGroupTerrestrial), 4.0);
    ExpectFactor(Group(0, Tavex::kGroupGps), 0.25);
    EXPECT_NEAR(Group(0, Tavex::kGroupTerrestrial).estimate, 1.0, 0.01);
    ExpectRedundanciesAddUp();
}

TEST_F(VarianceComponentsTest, NoPassesGiveOneEstimateAndNoReweighting) {
    Grid(2);
    Noise(1.0, 2.0, 0.0, 0.0);
    net.Settings().VarComponent = 2;
    net.Settings().VarIterMax = 0;
    Run();
    const VarianceGroup distances = Group(0, Tavex::ROW_DISTANCE);
    EXPECT_FALSE(engine.variance.reweighting);
    EXPECT_EQ(engine.variance.passes, 1u);
    EXPECT_NEAR(distances.factor, distances.estimate, 1e-12);
    EXPECT_GT(distances.estimate, 2.0) << "the unweighted misfit of the distances";
    // The same solution as without variance components.
    const std::vector<double> values = engine.values;
    Tavex::EngineState plain;
    net.Settings().VarComponent = 0;
    net.Load();
    Tavex::Progress progress;
    ASSERT_EQ(Tavex::RunAdjustment(Project(), plain, progress), 1);
    for (std::size_t i = 1; i < values.size(); ++i)
        EXPECT_DOUBLE_EQ(plain.values[i], values[i]) << i;
}

TEST_F(VarianceComponentsTest, AGroupWithoutRedundancyDoesNotBlockConvergence) {
    Grid(2);
    Noise(1.0, std::sqrt(2.0), 0.0, 0.0);
    // One azimuth whose offset is estimated: it has no redundancy.
    net.Azimuth(8, 9, 0, 0.0);
    net.Settings().AzimuthOffsetFree[0] = 1;
    net.Settings().VarComponent = 2;
    net.Settings().VarIterMax = 10;
    Run();
    EXPECT_LT(Group(0, Tavex::ROW_AZIMUTH).redundancy, 1e-6);
    EXPECT_EQ(Group(0, Tavex::ROW_AZIMUTH).factor, 1.0) << "not re-weighted";
    EXPECT_LT(engine.variance.passes, 11u) << "converged before the limit";
    EXPECT_NEAR(Group(0, Tavex::ROW_DISTANCE).estimate, 1.0, 0.01);
}

TEST_F(VarianceComponentsTest, PerGroupFactorsLeaveRowsWithoutAGroupAsTheyAre) {
    Grid(2);
    // The distances of group 1 (every second record) with noise × 2 in σ.
    std::mt19937 rng(5);
    std::normal_distribution<double> n(0.0, 1.0);
    auto& records = net.ObservationRecords();
    for (std::size_t k = 1; k < records.size(); ++k) {
        Tavex::_OBSERVATION& o = records[k];
        const bool grouped = k % 4 == 1;
        o.K100.VarGroup = grouped ? 1u : 0u;
        double r[3];
        std::memcpy(r, o.K100.Reading, sizeof r);
        r[0] += kApparentDirection * n(rng);
        r[1] += (grouped ? 2.0 : 1.0) * (0.002 + 2e-6 * r[1]) * n(rng);
        std::memcpy(o.K100.Reading, r, sizeof r);
    }
    net.Settings().VarComponent = 3;
    net.Settings().VarIterMax = 10;
    Run();
    const VarianceGroup grouped = Group(1, Tavex::ROW_DISTANCE);
    ExpectFactor(grouped, 4.0);
    // The final weights of group 1 are the a-priori ones over the factor of
    // the completed re-weighting (the last estimate is not applied); the
    // same solution follows from standard deviations scaled by hand.
    const double applied = grouped.factor / grouped.estimate;
    const std::vector<double> values = engine.values;
    for (std::size_t k = 1; k < records.size(); ++k)
        if (records[k].K100.VarGroup == 1) {
            double p[6];
            std::memcpy(p, records[k].K100.Precision, sizeof p);
            p[2] *= std::sqrt(applied);
            p[3] *= std::sqrt(applied);
            std::memcpy(records[k].K100.Precision, p, sizeof p);
        }
    net.Settings().VarComponent = 0;
    net.Load();
    Tavex::EngineState scaled;
    Tavex::Progress progress;
    ASSERT_EQ(Tavex::RunAdjustment(Project(), scaled, progress), 1);
    for (std::size_t i = 1; i < values.size(); ++i) {
        if (engine.unknowns[i].IsCoordinate()) {
            EXPECT_NEAR(scaled.values[i], values[i], 1e-10) << i;
        }
    }
}

} // namespace
} // namespace TavexTest
