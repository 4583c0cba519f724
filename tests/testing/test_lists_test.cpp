// The lists of rejected tests and the test summary, on adjusted networks
// with planted errors, and the ordering rule of the group-test list.
#include "engine/adjustment.h"
#include "interface/kernel.h"
#include "support/synthetic_network.h"
#include "testing/test_lists.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace Tavex {
namespace {

using TavexTest::SyntheticNetwork;

class TestLists : public ::testing::Test {
protected:
    void TearDown() override { Release(); }

    // Six stations; known A and B (class 12, σ 1 cm); directions and
    // distances of ten lines.
    void Terrestrial(int phase) {
        net.Settings().Phase = phase;
        net.AddStation("A", 52.000, 5.000, 10.0);
        net.AddStation("B", 52.010, 5.020, 12.0);
        net.AddStation("C", 52.020, 5.000, 14.0);
        net.AddStation("D", 52.015, 4.975, 9.0);
        net.AddStation("E", 52.002, 4.985, 11.0);
        net.AddStation("F", 52.010, 4.998, 30.0);
        net.MakeKnown(1, 12, 0.01, 0.01);
        net.MakeKnown(2, 12, 0.01, 0.01);
        const unsigned lines[][2] = {{1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 1},
                                     {6, 1}, {6, 2}, {6, 3}, {6, 4}, {6, 5}};
        for (const auto& line : lines) {
            net.TotalStation(line[0], line[1], 0, true, true, false, 0.0, 0.0);
            net.TotalStation(line[1], line[0], 0, true, false, false, 0.0, 0.0);
        }
        net.AddNoise(11, 1e-6, 5e-4);
    }
    // Adds metres to the distance of a kind-100 record.
    void Blunder(unsigned record, double metres) {
        double readings[3];
        auto& r = net.ObservationRecords()[record].K100;
        std::memcpy(readings, r.Reading, sizeof readings);
        readings[1] += metres;
        std::memcpy(r.Reading, readings, sizeof readings);
    }
    void Run() {
        net.Load();
        Progress progress;
        const int result = RunAdjustment(TheKernel().project, engine, progress);
        std::string messages;
        for (int k = 0; k < Project().Messages.Count(); ++k)
            messages += Project().Messages.Messages().GetAt(k)->Text.Utf8() + "\n";
        ASSERT_EQ(result, 1) << messages;
    }
    const ProjectState& Project() { return TheKernel().project; }

    SyntheticNetwork net;
    EngineState engine;
};

TEST(CTestObsArray, DescendingRatiosNewestFirstAmongEqualOnes) {
    CTTest low, high, equal;
    low.ratio = 1.2;
    high.ratio = 3.0;
    equal.ratio = 1.2;
    CTestObsArray list;
    list.Insert({&low, nullptr, 1});
    list.Insert({&high, nullptr, 2});
    list.Insert({&equal, nullptr, 3});
    ASSERT_EQ(list.Entries().size(), 3u);
    EXPECT_EQ(list.Entries()[0].number, 2u);
    EXPECT_EQ(list.Entries()[1].number, 3u) << "the later of two equal ratios first";
    EXPECT_EQ(list.Entries()[2].number, 1u);
    list.Truncate(1);
    EXPECT_EQ(list.Entries().size(), 1u);
}

TEST_F(TestLists, RejectedWTestsOfObservationsLargestFirst) {
    Terrestrial(1);
    Blunder(5, 0.06);   // C - D
    Blunder(11, -0.04); // F - A
    Run();
    const double criticalW = Project().Critical.criticalW;
    const CTestList all = RejectedObservationWTests(Project(), engine, kReportListLength);
    ASSERT_GE(all.Entries().size(), 2u);
    double previous = INFINITY;
    for (const CTest& t : all.Entries()) {
        EXPECT_GT(std::fabs(t.value), criticalW);
        EXPECT_DOUBLE_EQ(t.ratio, std::fabs(t.value) / criticalW);
        EXPECT_LE(t.ratio, previous);
        previous = t.ratio;
        EXPECT_EQ(t.dimension, 1);
        EXPECT_LT(t.kind, 20);
    }
    const CTest& worst = all.Entries()[0];
    EXPECT_EQ(worst.index, 5u) << "the observation of record 5";
    EXPECT_EQ(worst.kind, ROW_DISTANCE);
    EXPECT_NEAR(worst.estimatedError[0], 0.06, 0.015) << "the planted error";
    const CTestList one = RejectedObservationWTests(Project(), engine, 1);
    ASSERT_EQ(one.Entries().size(), 1u);
    EXPECT_EQ(one.Entries()[0].index, worst.index);
    // The summary holds the same W-tests, as absolute values.
    const CTestList summary = TestSummary(Project(), engine);
    ASSERT_EQ(summary.Entries().size(), all.Entries().size());
    EXPECT_DOUBLE_EQ(summary.Entries()[0].value, std::fabs(worst.value));
}

TEST_F(TestLists, AShiftedKnownStationIsSummarisedOnce) {
    Terrestrial(3);
    // A third known station: with only A and B the datum leaves their four
    // coordinate rows one redundancy, each station's block is singular and
    // has no T-test.
    net.MakeKnown(3, 12, 0.01, 0.01);
    // Station B's given position is 8 cm off in north and in east.
    auto& b = net.StationRecords()[1];
    b.Coord1 = b.Coord1 + 0.08 / 6381000.0;
    b.Coord2 = b.Coord2 + 0.08 / (6392000.0 * std::cos(b.Coord1));
    Run();
    const CTestList stations = RejectedStationTTests(Project(), engine, kReportListLength);
    ASSERT_FALSE(stations.Entries().empty());
    const CTest& station = stations.Entries()[0];
    EXPECT_EQ(station.index, 2u);
    EXPECT_EQ(station.kind, kStationTestKind);
    EXPECT_EQ(station.dimension, 2);
    const CTestList coordinates = RejectedCoordinateWTests(Project(), engine, kReportListLength);
    // In the summary station B stands once: as its T-test when that is the
    // most telling test of its rows, else as its rejected coordinate rows.
    double largestW = 0.0;
    for (const CTest& t : coordinates.Entries())
        if (t.index == 2)
            largestW = std::max(largestW, t.ratio);
    unsigned stationEntries = 0, rowEntries = 0;
    const CTestList summary = TestSummary(Project(), engine);
    for (const CTest& t : summary.Entries()) {
        if (t.kind == kStationTestKind && t.index == 2)
            ++stationEntries;
        if (t.kind >= ROW_DATUM_NORTH && t.kind <= ROW_DATUM_HEIGHT && t.index == 2)
            ++rowEntries;
    }
    if (station.ratio >= largestW) {
        EXPECT_EQ(stationEntries, 1u);
        EXPECT_EQ(rowEntries, 0u);
    } else {
        EXPECT_EQ(stationEntries, 0u);
        EXPECT_GE(rowEntries, 1u);
    }
}

TEST_F(TestLists, ARejectedGpsGroupIsOneSummaryEntry) {
    net.Settings().Dimension = 3;
    net.Settings().Phase = 3;
    net.AddStation("A", 52.000, 5.000, 10.0);
    net.AddStation("B", 52.010, 5.020, 12.0);
    net.AddStation("C", 52.020, 5.000, 14.0);
    net.AddStation("D", 52.015, 4.975, 9.0);
    // Three known stations fix the rotations of the GPS frame too.
    for (unsigned s = 1; s <= 3; ++s)
        net.MakeKnown(s, 12, 0.01, 0.01);
    const unsigned lines[][2] = {{1, 2}, {2, 3}, {3, 4}, {4, 1}, {1, 3}, {2, 4}};
    for (const auto& line : lines)
        net.GpsBaseline(line[0], line[1]);
    // 6 cm of the baseline C - D (record 3) along the horizontal direction
    // half-way between north and east of C: it spreads over the X, Y and Z
    // readings, so no single W-test is as telling as the group's T-test, and
    // the up component stays clean, so the antenna height test is not
    // rejected.
    const double lat = 52.020 * M_PI / 180, lon = 5.000 * M_PI / 180;
    const double north[3] = {-std::sin(lat) * std::cos(lon), -std::sin(lat) * std::sin(lon),
                             std::cos(lat)};
    const double east[3] = {-std::sin(lon), std::cos(lon), 0.0};
    double error[3], readings[3];
    std::memcpy(readings, net.ObservationRecords()[3].K6.Reading, sizeof readings);
    for (int k = 0; k < 3; ++k) {
        error[k] = 0.06 * (north[k] + east[k]) / std::sqrt(2.0);
        readings[k] += error[k];
    }
    std::memcpy(net.ObservationRecords()[3].K6.Reading, readings, sizeof readings);
    Run();
    const CTestObsArray groups = RejectedGroupTTests(Project(), engine, kReportListLength);
    ASSERT_FALSE(groups.Entries().empty());
    EXPECT_EQ(groups.Entries()[0].number, 3u);
    const CTestList summary = TestSummary(Project(), engine);
    ASSERT_FALSE(summary.Entries().empty());
    const CTest& first = summary.Entries()[0];
    EXPECT_EQ(first.index, 3u);
    EXPECT_EQ(first.dimension, 3) << "the group's T-test, not its W-tests";
    EXPECT_EQ(first.component, 1);
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(first.estimatedError[k], error[k], 0.02) << k;
    for (std::size_t k = 1; k < summary.Entries().size(); ++k)
        EXPECT_NE(summary.Entries()[k].index, 3u) << "one entry for the observation";
}

TEST_F(TestLists, DesignHasNoLists) {
    net.Settings().AdjDesign = 1;
    Terrestrial(3);
    Run();
    EXPECT_TRUE(RejectedObservationWTests(Project(), engine, 10).Entries().empty());
    EXPECT_TRUE(RejectedStationTTests(Project(), engine, 10).Entries().empty());
    EXPECT_TRUE(RejectedGroupTTests(Project(), engine, 10).Entries().empty());
    EXPECT_TRUE(TestSummary(Project(), engine).Entries().empty());
}

} // namespace
} // namespace Tavex
