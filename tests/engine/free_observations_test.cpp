// Side shots: a station tied by one record is adjusted after the network
// from that record alone. The reference is the one adjustment with the
// record kept in the network (the engine switch off): a record without
// redundancy changes nothing there, and the coordinates and covariance block
// it gives its station are those the separate adjustment must give, the
// held station's and its orientation's uncertainty included.
#include "support/synthetic_network.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace TavexTest {
namespace {

constexpr double kTenthMillimetre = 1e-4;

void AddStations(SyntheticNetwork& net) {
    net.AddStation("A", 52.000, 5.000, 10.0);
    net.AddStation("B", 52.010, 5.020, 32.0);
    net.AddStation("C", 52.020, 5.000, 14.0);
    net.AddStation("D", 52.015, 4.975, 49.0);
    net.AddStation("P", 52.017, 5.006, 25.0); // the side shot
}

const unsigned kLines[][2] = {{1, 2}, {2, 3}, {3, 4}, {4, 1}, {1, 3}, {2, 4}};

struct Result {
    Tavex::_STATISTICS statistics{};
    std::vector<Tavex::_STATIONADJ> stations;
    std::vector<Tavex::_OBSERVATION> observations;
    std::vector<int> messages;
};

enum class Shot { TotalStation, Slant, Baseline, HeightDifference };

// A network of four stations measured with noise, and the side shot P from
// C; adjusted with the side shot taken out (separate) or kept in.
Result Adjust(int dimension, Shot shot, bool separate, bool withShot = true) {
    SyntheticNetwork net;
    net.Settings().Dimension = dimension;
    net.Settings().ReportSwitch[Tavex::REPORT_ENGINE_OPTION] = separate ? 1 : 0;
    AddStations(net);
    net.MakeKnown(1, dimension == 1 ? 10 : 12);
    net.MakeKnown(2, dimension == 1 ? 10 : 12);
    for (const auto& line : kLines) {
        if (dimension == 1) {
            net.HeightDifference(line[0], line[1]);
            continue;
        }
        net.TotalStation(line[0], line[1], 0, true, true, dimension == 3);
        net.TotalStation(line[1], line[0], 0, true, false, dimension == 3);
        if (dimension == 3)
            net.GpsBaseline(line[0], line[1], 0.005);
    }
    if (withShot) {
        switch (shot) {
        case Shot::TotalStation:
            net.TotalStation(3, 5, 0, true, true, dimension == 3);
            break;
        case Shot::Slant:
            net.SlantTotalStation(3, 5, 0, true);
            break;
        case Shot::Baseline:
            net.GpsBaseline(3, 5, 0.004);
            break;
        case Shot::HeightDifference:
            net.HeightDifference(3, 5, 0.002);
            break;
        }
    }
    net.AddNoise(31, 3e-6, 1.5e-3);
    net.Perturb(0.2, 32);
    Result r;
    EXPECT_EQ(net.Adjust(r.statistics), 1) << net.AllMessages();
    r.stations = net.StationRecords();
    r.observations = net.ObservationRecords();
    r.messages = net.MessageCodes();
    return r;
}

void ExpectSameStation(const Tavex::_STATIONADJ& a, const Tavex::_STATIONADJ& b, double tolerance) {
    EXPECT_NEAR(a.Coord1 * 6.38e6, b.Coord1 * 6.38e6, 1e-6);
    EXPECT_NEAR(a.Coord2 * 6.38e6, b.Coord2 * 6.38e6, 1e-6);
    EXPECT_NEAR(a.Height, b.Height, 1e-6);
    double ca[6], cb[6];
    std::memcpy(ca, a.Cov, sizeof ca);
    std::memcpy(cb, b.Cov, sizeof cb);
    for (int k = 0; k < 6; ++k)
        EXPECT_NEAR(ca[k], cb[k], tolerance * std::max(std::fabs(cb[0]), std::fabs(cb[5])) + 1e-15)
            << "covariance element " << k;
    EXPECT_EQ(+a.CoordStatus, +b.CoordStatus);
    EXPECT_EQ(+a.CoordClass, +b.CoordClass);
}

class SideShot : public ::testing::TestWithParam<std::pair<int, Shot>> {};

TEST_P(SideShot, MatchesTheOneAdjustmentAndLeavesTheNetworkAsItIs) {
    const auto [dimension, shot] = GetParam();
    const Result separate = Adjust(dimension, shot, true);
    const Result joint = Adjust(dimension, shot, false);
    const Result without = Adjust(dimension, shot, true, false);
    // The side shot's station: position and covariance block.
    SCOPED_TRACE("station P");
    ExpectSameStation(separate.stations[4], joint.stations[4], 1e-6);
    // The network: as if the side shot had never been measured.
    for (std::size_t s = 0; s < 4; ++s) {
        SCOPED_TRACE(s + 1);
        ExpectSameStation(separate.stations[s], without.stations[s], 1e-9);
    }
    EXPECT_EQ(separate.statistics.Observations, without.statistics.Observations);
    EXPECT_EQ(separate.statistics.Unknowns, without.statistics.Unknowns);
    EXPECT_EQ(separate.statistics.DegreesOfFreedom, joint.statistics.DegreesOfFreedom);
    // The side shot's readings: residual 0 (nothing to spread it over), the
    // standard deviations of the joint adjustment, redundancy 0.
    const Tavex::_OBSERVATION& a = separate.observations.back();
    const Tavex::_OBSERVATION& b = joint.observations.back();
    const int results = shot == Shot::Baseline ? 3 : 1;
    for (int i = 0; i < results; ++i) {
        const std::size_t redundancy = 156 + 4 * i;
        const std::size_t residual = shot == Shot::HeightDifference ? 192 : 200 + 8 * i;
        const std::size_t sdAdjusted =
            shot == Shot::HeightDifference ? 228 : (shot == Shot::Baseline ? 364 : 316) + 8 * i;
        EXPECT_EQ(Get<int>(&a, redundancy), 0);
        EXPECT_NEAR(Get<double>(&a, residual), 0.0, 1e-7);
        EXPECT_NEAR(Get<double>(&a, sdAdjusted), Get<double>(&b, sdAdjusted),
                    1e-6 * Get<double>(&b, sdAdjusted));
    }
}

INSTANTIATE_TEST_SUITE_P(Networks, SideShot,
                         ::testing::Values(std::make_pair(2, Shot::TotalStation),
                                           std::make_pair(3, Shot::TotalStation),
                                           std::make_pair(3, Shot::Slant),
                                           std::make_pair(3, Shot::Baseline),
                                           std::make_pair(1, Shot::HeightDifference)));

TEST(SideShots, AKnownStationIsNotFree) {
    SyntheticNetwork net;
    AddStations(net);
    net.MakeKnown(1, 12);
    net.MakeKnown(2, 12);
    net.MakeKnown(5, 12, 0.01);
    net.Settings().Phase = 3;
    for (const auto& line : kLines) {
        net.TotalStation(line[0], line[1], 0, true, true, false);
        net.TotalStation(line[1], line[0], 0, true, false, false);
    }
    net.TotalStation(3, 5, 0, true, true, false);
    Tavex::_STATISTICS statistics{};
    ASSERT_EQ(net.Adjust(statistics), 1) << net.AllMessages();
    // P's two rows stay in the network, with the datum rows of P.
    EXPECT_EQ(statistics.Distances, 7);
    EXPECT_EQ(statistics.Directions, 13);
}

TEST(SideShots, ASingleDirectionCannotFixItsStation) {
    SyntheticNetwork net;
    AddStations(net);
    net.MakeKnown(1, 12);
    net.MakeKnown(2, 12);
    for (const auto& line : kLines) {
        net.TotalStation(line[0], line[1], 0, true, true, false);
        net.TotalStation(line[1], line[0], 0, true, false, false);
    }
    net.Settings().Phase = 3; // a free network would deselect P first
    net.TotalStation(3, 5, 0, true, false, false);
    const Tavex::_STATIONADJ before = net.StationRecords()[4];
    ASSERT_EQ(net.Adjust(), 1) << net.AllMessages();
    EXPECT_EQ(net.MessageText(521), "不能使用 C - P 方位");
    EXPECT_EQ(std::memcmp(&before, &net.StationRecords()[4], sizeof before), 0)
        << "P is not written";
}

TEST(SideShots, TheIterationLimitOfARecordIsReported) {
    SyntheticNetwork net;
    net.Settings().Epsilon = 0.0; // no correction is ever small enough
    net.Settings().IterMax = 2;
    AddStations(net);
    net.MakeKnown(1, 12);
    net.MakeKnown(2, 12);
    for (const auto& line : kLines) {
        net.TotalStation(line[0], line[1], 0, true, true, false);
        net.TotalStation(line[1], line[0], 0, true, false, false);
    }
    net.TotalStation(3, 5, 0, true, true, false);
    net.Shift(5, 3.0, -2.0, 0.0);
    ASSERT_EQ(net.Adjust(), 1) << net.AllMessages();
    EXPECT_EQ(net.MessageText(624).rfind("该记录的迭代标准超限: 13 C - P", 0), 0u)
        << net.AllMessages();
}

} // namespace
} // namespace TavexTest
