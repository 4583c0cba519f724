// Zenith angles read in the second face (2π − z) in every dimension: a
// network measured in both faces recovers its true coordinates, a face-II
// reading gets the small residual of the same reading in face I, and the
// horizontal reduction of its distance stays positive.
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
    net.AddStation("E", 52.002, 4.985, 11.0);
}

const unsigned kLines[][2] = {{1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 1}, {1, 3}, {2, 4}};

// Every line measured from both ends; the readings from the second end in
// the second face.
void AddBothFaces(SyntheticNetwork& net) {
    for (const auto& line : kLines) {
        net.TotalStation(line[0], line[1], 0, true, true, true);
        net.TotalStation(line[1], line[0], 0, true, true, true);
        net.SecondFace();
    }
}

double ZenithResidual(SyntheticNetwork& net, std::size_t record) {
    return Get<double>(&net.ObservationRecords()[record], 200 + 8 * 2);
}

TEST(SecondFace, ThreeDimensionalNetworkRecoversTheTruth) {
    SyntheticNetwork net;
    net.Settings().Dimension = 3;
    AddStations(net);
    net.MakeKnown(1, 12);
    net.MakeKnown(2, 12);
    net.MakeKnown(3, 10);
    AddBothFaces(net);
    net.Perturb(0.2, 7);
    ASSERT_EQ(net.Adjust(), 1) << net.AllMessages();
    EXPECT_LT(net.LargestHorizontalError(), kTenthMillimetre);
    EXPECT_LT(net.LargestHeightError(), kTenthMillimetre);
    for (std::size_t k = 1; k < net.ObservationRecords().size(); ++k)
        EXPECT_LT(std::fabs(ZenithResidual(net, k)), 1e-8) << "record " << k;
}

TEST(SecondFace, AReadingErrorGivesTheResidualOfFaceOne) {
    // The same 20" error on the zenith angle of line C→A, once read in face
    // I and once in face II (2π − (z + δ)): the residual handed back is the
    // same, sign included.
    const double error = 20.0 / 206264.806;
    double residual[2] = {0.0, 0.0};
    for (const bool secondFace : {false, true}) {
        SyntheticNetwork net;
        net.Settings().Dimension = 3;
        AddStations(net);
        net.MakeKnown(1, 12);
        net.MakeKnown(2, 12);
        net.MakeKnown(3, 10);
        for (const auto& line : kLines) {
            net.TotalStation(line[0], line[1], 0, true, true, true);
            net.TotalStation(line[1], line[0], 0, true, true, true);
        }
        // Record 12 is C→A (the reverse of line 6).
        Tavex::_OBSERVATION& record = net.ObservationRecords()[12];
        ASSERT_EQ(+record.K100.Station, 3u);
        double readings[3];
        std::memcpy(readings, record.K100.Reading, sizeof readings);
        readings[2] += error;
        if (secondFace)
            readings[2] = 2 * M_PI - readings[2];
        std::memcpy(record.K100.Reading, readings, sizeof readings);
        ASSERT_EQ(net.Adjust(), 1) << net.AllMessages();
        residual[secondFace] = ZenithResidual(net, 12);
    }
    EXPECT_GT(std::fabs(residual[0]), 0.3 * error);
    EXPECT_NEAR(residual[1], residual[0], 1e-9);
}

TEST(SecondFace, TwoDimensionalReductionOfSlantDistances) {
    SyntheticNetwork net;
    net.Settings().Dimension = 2;
    AddStations(net);
    net.MakeKnown(1, 12);
    net.MakeKnown(3, 12);
    AddBothFaces(net);
    net.Perturb(0.3, 8);
    ASSERT_EQ(net.Adjust(), 1) << net.AllMessages();
    EXPECT_LT(net.LargestHorizontalError(), kTenthMillimetre);
    // Reduced with a face-II zenith angle, a distance would come out negative
    // (about −2 s): its residual is that of a correct reduction instead.
    for (std::size_t k = 1; k < net.ObservationRecords().size(); ++k)
        EXPECT_LT(std::fabs(Get<double>(&net.ObservationRecords()[k], 200 + 8)), kTenthMillimetre)
            << "record " << k;
}

TEST(SecondFace, OneDimensionalTrigonometricHeights) {
    SyntheticNetwork net;
    net.Settings().Dimension = 1;
    AddStations(net);
    net.MakeKnown(1, 10);
    for (const auto& line : kLines) {
        net.TrigonometricPair(line[0], line[1]);
        net.TrigonometricPair(line[1], line[0]);
        net.SecondFace();
    }
    net.Perturb(0.5, 9);
    ASSERT_EQ(net.Adjust(), 1) << net.AllMessages();
    EXPECT_LT(net.LargestHeightError(), kTenthMillimetre);
}

} // namespace
} // namespace TavexTest
