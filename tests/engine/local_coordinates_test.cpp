// Observed local coordinates: stations measured in a site system that is
// turned, shifted and scaled against the network. The tests generate the
// local coordinates from the true positions with their own tangent-plane
// geometry at a station of their choice (the kernel takes another origin, so
// agreement shows that the transformation, not the origin, carries the
// fit), and check that a station known only through its local coordinates
// comes out at its true position.
#include "support/synthetic_network.h"

#include <gtest/gtest.h>

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
    net.AddStation("E", 52.008, 5.004, 21.0); // reached only by local coordinates
}

const unsigned kLines[][2] = {{1, 2}, {2, 3}, {3, 4}, {4, 1}, {1, 3}, {2, 4}};

SyntheticNetwork::LocalSystem TurnedSite() {
    SyntheticNetwork::LocalSystem site;
    site.shiftEast = 1000.0;
    site.shiftNorth = 5000.0;
    site.rotation = 0.52; // about 30°
    site.scale = 1.00002;
    site.heightShift = -43.2;
    return site;
}

void AddTerrestrial(SyntheticNetwork& net, bool zenith) {
    for (const auto& line : kLines) {
        net.TotalStation(line[0], line[1], 0, true, true, zenith);
        net.TotalStation(line[1], line[0], 0, true, false, zenith);
    }
}

TEST(LocalCoordinates, PlaneSimilarityPlacesAStationSeenOnlyInTheSiteSystem) {
    SyntheticNetwork net;
    net.Settings().Dimension = 2;
    AddStations(net);
    net.MakeKnown(1, 12);
    net.MakeKnown(3, 12);
    AddTerrestrial(net, false);
    for (const unsigned s : {2u, 4u, 5u, 1u})
        net.LocalCoordinates(s, 4, TurnedSite(), true, false);
    net.Perturb(0.4, 21);
    Tavex::_STATISTICS statistics{};
    ASSERT_EQ(net.Adjust(statistics), 1) << net.AllMessages();
    EXPECT_EQ(statistics.AdditionalTransformationParameters, 4);
    EXPECT_LT(net.LargestHorizontalError(), kTenthMillimetre);
    const auto e = net.Error(5);
    EXPECT_LT(std::hypot(e[0], e[1]), kTenthMillimetre) << "station E";
}

TEST(LocalCoordinates, ThreeDimensionalNetworkShiftsTheSiteHeights) {
    SyntheticNetwork net;
    net.Settings().Dimension = 3;
    AddStations(net);
    net.MakeKnown(1, 12);
    net.MakeKnown(3, 12);
    net.MakeKnown(2, 10);
    AddTerrestrial(net, true);
    for (const unsigned s : {2u, 4u, 5u, 1u})
        net.LocalCoordinates(s, 1, TurnedSite(), true, true);
    net.Perturb(0.3, 22);
    Tavex::_STATISTICS statistics{};
    ASSERT_EQ(net.Adjust(statistics), 1) << net.AllMessages();
    EXPECT_EQ(statistics.AdditionalTransformationParameters, 5) << "plane similarity and height";
    EXPECT_LT(net.LargestHorizontalError(), kTenthMillimetre);
    EXPECT_LT(net.LargestHeightError(), kTenthMillimetre);
}

TEST(LocalCoordinates, SpatialSimilarityOfATiltedSiteSystem) {
    SyntheticNetwork net;
    net.Settings().Dimension = 3;
    net.Settings().LocalTransfType = 3;
    AddStations(net);
    net.MakeKnown(1, 12);
    net.MakeKnown(3, 12);
    net.MakeKnown(2, 10);
    AddTerrestrial(net, true);
    SyntheticNetwork::LocalSystem site = TurnedSite();
    site.spatial = true;
    site.rotationEast = 2e-4;
    site.rotationNorth = -3e-4;
    site.shiftUp = 120.0;
    for (const unsigned s : {2u, 4u, 5u, 1u, 3u})
        net.LocalCoordinates(s, 2, site, true, true);
    net.Perturb(0.3, 23);
    Tavex::_STATISTICS statistics{};
    ASSERT_EQ(net.Adjust(statistics), 1) << net.AllMessages();
    EXPECT_EQ(statistics.AdditionalTransformationParameters, 7);
    EXPECT_LT(net.LargestHorizontalError(), kTenthMillimetre);
    EXPECT_LT(net.LargestHeightError(), kTenthMillimetre);
}

TEST(LocalCoordinates, HeightShiftInALevellingNetwork) {
    SyntheticNetwork net;
    net.Settings().Dimension = 1;
    AddStations(net);
    net.MakeKnown(1, 10);
    for (const auto& line : kLines)
        net.HeightDifference(line[0], line[1]);
    for (const unsigned s : {2u, 5u, 3u})
        net.LocalCoordinates(s, 1, TurnedSite(), false, true);
    net.Perturb(0.5, 24);
    Tavex::_STATISTICS statistics{};
    ASSERT_EQ(net.Adjust(statistics), 1) << net.AllMessages();
    EXPECT_EQ(statistics.AdditionalTransformationParameters, 1);
    EXPECT_LT(net.LargestHeightError(), kTenthMillimetre);
}

TEST(LocalCoordinates, AnErrorInASiteCoordinateLeadsTheWTests) {
    SyntheticNetwork net;
    net.Settings().Dimension = 2;
    AddStations(net);
    net.MakeKnown(1, 12);
    net.MakeKnown(3, 12);
    AddTerrestrial(net, false);
    for (const unsigned s : {2u, 4u, 1u, 3u})
        net.LocalCoordinates(s, 4, TurnedSite(), true, false);
    net.AddNoise(25, 1e-6, 5e-4);
    // 3 cm on the east coordinate of station D (the second site record).
    const std::size_t blundered = net.ObservationRecords().size() - 3;
    double readings[3];
    std::memcpy(readings, net.ObservationRecords()[blundered].K7.Reading, sizeof readings);
    readings[0] += 0.03;
    std::memcpy(net.ObservationRecords()[blundered].K7.Reading, readings, sizeof readings);
    Tavex::_STATISTICS statistics{};
    ASSERT_EQ(net.Adjust(statistics), 1) << net.AllMessages();
    const Tavex::_W_ENTRY worst = statistics.ObservationW[0];
    EXPECT_EQ(worst.Subject, static_cast<int>(blundered));
    EXPECT_EQ(worst.Code, 100) << "east component of a local coordinate";
    EXPECT_NEAR(worst.EstimatedError, 0.03, 0.01);
}

TEST(LocalCoordinates, ATypeWithoutTheComponentsFailsTheRun) {
    SyntheticNetwork net;
    net.Settings().Dimension = 2;
    net.Settings().LocalTransfType = 1; // a height shift cannot take plane coordinates
    AddStations(net);
    net.MakeKnown(1, 12);
    net.MakeKnown(3, 12);
    AddTerrestrial(net, false);
    net.LocalCoordinates(2, 4, TurnedSite(), true, false);
    EXPECT_EQ(net.Adjust(), 0);
    EXPECT_NE(net.MessageText(731).find("LocalTransfType"), std::string::npos) << net.AllMessages();
}

} // namespace
} // namespace TavexTest
