// End-to-end adjustments through the exported interface of networks whose
// observations were computed from known true coordinates.
#include "support/synthetic_network.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

namespace TavexTest {
namespace {

constexpr double kTenthMillimetre = 1e-4;

// Six stations over about 3 km around 52° N, 5° E.
void AddTriangulationStations(SyntheticNetwork& net) {
    net.AddStation("A", 52.000, 5.000, 10.0);
    net.AddStation("B", 52.010, 5.020, 12.0);
    net.AddStation("C", 52.020, 5.000, 14.0);
    net.AddStation("D", 52.015, 4.975, 9.0);
    net.AddStation("E", 52.002, 4.985, 11.0);
    net.AddStation("F", 52.010, 4.998, 30.0);
}

// Directions in sets and horizontal distances between neighbours.
void AddTriangulationObservations(SyntheticNetwork& net) {
    const unsigned lines[][2] = {{1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 1},
                                 {6, 1}, {6, 2}, {6, 3}, {6, 4}, {6, 5}};
    for (const auto& line : lines) {
        net.TotalStation(line[0], line[1], 0, true, true, false, 0.0, 0.0);
        net.TotalStation(line[1], line[0], 0, true, false, false, 0.0, 0.0);
    }
}

TEST(NoiseFreeNetworks, TwoDimensionalTriangulationRecoversTheTruth) {
    SyntheticNetwork net;
    AddTriangulationStations(net);
    net.MakeKnown(1, 12);
    net.MakeKnown(3, 12);
    AddTriangulationObservations(net);
    net.Perturb(0.3, 1);
    ASSERT_EQ(net.Adjust(), 1) << net.AllMessages();
    EXPECT_LT(net.LargestHorizontalError(), kTenthMillimetre);
    const Tavex::_STATIONADJ& d = net.StationRecords()[3];
    EXPECT_EQ(+(d.CoordStatus), 7);
    EXPECT_EQ(+(d.CoordClass), 2) << "position adjusted";
    EXPECT_EQ(+(d.Presence & 0x0F), 0x03) << "no height in 2D";
}

TEST(NoiseFreeNetworks, LocalGridCoordinatesComeBackInTheGrid) {
    SyntheticNetwork net;
    net.Settings().Dimension = 2;
    net.AddGridStation("A", 10000.0, 20000.0, 5.0);
    net.AddGridStation("B", 11500.0, 21000.0, 6.0);
    net.AddGridStation("C", 10200.0, 22300.0, 7.0);
    net.AddGridStation("D", 8700.0, 21200.0, 4.0);
    net.MakeKnown(1, 12);
    net.MakeKnown(2, 12);
    net.FixGrid();
    const unsigned lines[][2] = {{1, 2}, {2, 3}, {3, 4}, {4, 1}, {1, 3}, {2, 4}};
    for (const auto& line : lines) {
        net.TotalStation(line[0], line[1], 0, true, true, false, 0, 0);
        net.TotalStation(line[1], line[0], 0, true, false, false, 0, 0);
    }
    net.Perturb(0.4, 2);
    ASSERT_EQ(net.Adjust(), 1) << net.AllMessages();
    for (unsigned s = 1; s <= 4; ++s)
        EXPECT_LT(net.GridError(s), kTenthMillimetre) << s;
}

TEST(NoiseFreeNetworks, ThreeDimensionalTotalStationsAndBaselines) {
    SyntheticNetwork net;
    net.Settings().Dimension = 3;
    AddTriangulationStations(net);
    net.MakeKnown(1, 12);
    net.MakeKnown(2, 12);
    net.MakeKnown(4, 10);
    const unsigned lines[][2] = {{1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 1}, {6, 1}, {6, 3}, {6, 5}};
    for (const auto& line : lines) {
        net.SlantTotalStation(line[0], line[1], 0, true);
        net.SlantTotalStation(line[1], line[0], 0, true);
    }
    net.GpsBaseline(1, 6);
    net.GpsBaseline(2, 4);
    net.Perturb(0.3, 3);
    ASSERT_EQ(net.Adjust(), 1) << net.AllMessages();
    EXPECT_LT(net.LargestHorizontalError(), kTenthMillimetre);
    EXPECT_LT(net.LargestHeightError(), kTenthMillimetre);
    EXPECT_EQ(+(net.StationRecords()[5].CoordClass), 3);
}

TEST(NoiseFreeNetworks, ThreeDimensionalReducedDistancesAndZenithAngles) {
    SyntheticNetwork net;
    net.Settings().Dimension = 3;
    AddTriangulationStations(net);
    net.MakeKnown(1, 12);
    net.MakeKnown(2, 12);
    net.MakeKnown(3, 10);
    const unsigned lines[][2] = {{1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 1}, {6, 1}, {6, 2}, {6, 4}};
    for (const auto& line : lines) {
        net.TotalStation(line[0], line[1], 0, true, true, true);
        net.TotalStation(line[1], line[0], 0, true, true, true);
    }
    net.Perturb(0.2, 4);
    ASSERT_EQ(net.Adjust(), 1) << net.AllMessages();
    EXPECT_LT(net.LargestHorizontalError(), kTenthMillimetre);
    EXPECT_LT(net.LargestHeightError(), kTenthMillimetre);
}

TEST(NoiseFreeNetworks, LevellingRecoversTheHeights) {
    SyntheticNetwork net;
    net.Settings().Dimension = 1;
    AddTriangulationStations(net);
    net.MakeKnown(1, 10);
    const unsigned lines[][2] = {{1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 1}, {6, 2}, {4, 6}};
    for (const auto& line : lines)
        net.HeightDifference(line[0], line[1]);
    net.Perturb(0.5, 5);
    ASSERT_EQ(net.Adjust(), 1) << net.AllMessages();
    EXPECT_LT(net.LargestHeightError(), kTenthMillimetre);
    const Tavex::_STATIONADJ& b = net.StationRecords()[1];
    EXPECT_EQ(+(b.CoordClass), 1) << "height adjusted";
    EXPECT_EQ(+(b.Presence & 0x0F), 0x08);
}

TEST(NoiseFreeNetworks, TrigonometricHeightsInAHeightNetwork) {
    SyntheticNetwork net;
    net.Settings().Dimension = 1;
    AddTriangulationStations(net);
    net.MakeKnown(6, 10);
    for (unsigned s = 1; s <= 5; ++s)
        net.TrigonometricPair(6, s);
    net.TrigonometricPair(1, 2);
    net.Perturb(0.5, 6);
    ASSERT_EQ(net.Adjust(), 1) << net.AllMessages();
    EXPECT_LT(net.LargestHeightError(), kTenthMillimetre);
}

TEST(NoiseFreeNetworks, AzimuthsWithAnEstimatedOffset) {
    SyntheticNetwork net;
    AddTriangulationStations(net);
    net.MakeKnown(1, 12);
    net.MakeKnown(4, 12);
    net.Settings().AzimuthOffsetFree[2] = 1;
    const double offset = 2e-4;
    const unsigned lines[][2] = {{1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 6}, {6, 1}, {1, 4}};
    for (const auto& line : lines) {
        net.Azimuth(line[0], line[1], 2, offset);
        net.HorizontalDistance(line[0], line[1]);
    }
    net.Perturb(0.3, 7);
    ASSERT_EQ(net.Adjust(), 1) << net.AllMessages();
    EXPECT_LT(net.LargestHorizontalError(), kTenthMillimetre);
    // Parameters converge to within a fraction of their standard deviation.
    EXPECT_NEAR(net.Settings().AzimuthOffset[2], offset, 1e-7);
    EXPECT_GT(net.Settings().AzimuthOffsetSd[2], 0.0);
}

TEST(NoiseFreeNetworks, ScaleFactorOfADistanceGroupIsEstimated) {
    SyntheticNetwork net;
    AddTriangulationStations(net);
    net.MakeKnown(1, 12);
    net.MakeKnown(3, 12);
    net.Settings().ScaleFactorFree[0] = 1;
    const double scale = 1.00005; // observed = true / scale
    const unsigned lines[][2] = {{1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 1}, {6, 1}, {6, 2}, {6, 4}};
    for (const auto& line : lines) {
        net.HorizontalDistance(line[0], line[1], scale);
        net.Direction(line[0], line[1], 0);
        net.Direction(line[1], line[0], 0);
    }
    net.Perturb(0.2, 8);
    ASSERT_EQ(net.Adjust(), 1) << net.AllMessages();
    EXPECT_LT(net.LargestHorizontalError(), kTenthMillimetre);
    EXPECT_NEAR(net.Settings().ScaleFactor[0], scale, 1e-7);
}

TEST(NoiseFreeNetworks, GpsCoordinatesAndBaselinesInTheirOwnFrame) {
    SyntheticNetwork net;
    net.Settings().Dimension = 3;
    net.SetEllipsoid(Tavex::ELLIPSOID_FRAME_GEOGRAPHIC); // WGS 84
    net.Settings().TerCoord = 0;
    net.Settings().TerObserv = 0;
    net.Settings().GPSCoordType = 1;
    AddTriangulationStations(net);
    net.GpsCoordinate(1);
    net.GpsCoordinate(4);
    for (unsigned s = 2; s <= 6; ++s)
        net.GpsBaseline(s - 1, s);
    net.GpsBaseline(6, 1);
    net.Perturb(0.5, 9);
    ASSERT_EQ(net.Adjust(), 1) << net.AllMessages();

    EXPECT_LT(net.LargestHorizontalError(), kTenthMillimetre);
    EXPECT_LT(net.LargestHeightError(), kTenthMillimetre);
}

// A free network without known stations is held by inner constraints: the
// corrections have zero mean in north and east.
TEST(Datum, InnerConstraintsKeepTheMeanCorrectionZero) {
    SyntheticNetwork net;
    AddTriangulationStations(net);
    net.Settings().ScaleFactorFree[0] = 1;
    AddTriangulationObservations(net);
    net.Perturb(0.3, 10);
    const std::vector<Tavex::_STATIONADJ> before = net.StationRecords();
    ASSERT_EQ(net.Adjust(), 1) << net.AllMessages();
    double north = 0, east = 0;
    for (std::size_t k = 0; k < before.size(); ++k) {
        const double lat = before[k].Coord1;
        north += (net.StationRecords()[k].Coord1 - lat) * 6.39e6;
        east += (net.StationRecords()[k].Coord2 - before[k].Coord2) * 6.39e6 * std::cos(lat);
    }
    EXPECT_NEAR(north, 0.0, 1e-4);
    EXPECT_NEAR(east, 0.0, 1e-4);
    // The shape is the true one: adjusted distances are the observed ones
    // times the estimated scale factor.
    const auto& adjusted = net.StationRecords();
    const auto distance = [&](double lat1, double lon1, double lat2, double lon2) {
        return std::hypot((lat2 - lat1) * 6.39e6, (lon2 - lon1) * 6.39e6 * std::cos(lat1));
    };
    const double ratio =
        distance(adjusted[0].Coord1, adjusted[0].Coord2, adjusted[2].Coord1, adjusted[2].Coord2) /
        distance(net.Truth(1).lat, net.Truth(1).lon, net.Truth(3).lat, net.Truth(3).lon);
    EXPECT_NEAR(ratio, net.Settings().ScaleFactor[0], 1e-6);
}

TEST(Datum, WeightedConstraintsMoveKnownStationsByTheirStandardDeviations) {
    SyntheticNetwork net;
    net.Settings().Phase = 3;
    AddTriangulationStations(net);
    net.MakeKnown(1, 12, 0.001);
    net.MakeKnown(3, 12, 0.001);
    net.MakeKnown(5, 12, 1.0); // a loose known station given 5 cm off
    net.Shift(5, 0.05, 0.0, 0.0);
    AddTriangulationObservations(net);
    ASSERT_EQ(net.Adjust(), 1) << net.AllMessages();
    EXPECT_LT(std::abs(net.Error(5)[0]), 0.001) << "the loose station returns to the network";
    EXPECT_LT(std::hypot(net.Error(1)[0], net.Error(1)[1]), 0.001);
}

TEST(Datum, ConstrainedPhaseFixesTheKnownStations) {
    SyntheticNetwork net;
    net.Settings().Phase = 2; // the host's constrained type
    AddTriangulationStations(net);
    net.MakeKnown(1, 12, 0.01);
    net.MakeKnown(3, 12, 0.01);
    net.Shift(3, 0.01, -0.01, 0.0); // known coordinates 14 mm off the truth
    const Tavex::_STATIONADJ givenC = net.StationRecords()[2];
    AddTriangulationObservations(net);
    net.Perturb(0.2, 11);
    ASSERT_EQ(net.Adjust(), 1) << net.AllMessages();
    const Tavex::_STATIONADJ& c = net.StationRecords()[2];
    EXPECT_NEAR(c.Coord1, givenC.Coord1, 1e-12) << "fixed at its known coordinates";
    EXPECT_NEAR(c.Coord2, givenC.Coord2, 1e-12);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(Datum, EveryTypeHasItsCoordinatesTitle) {
    const struct {
        int phase;
        bool known;
        int design;
        const char* title;
    } cases[] = {
        {1, true, 0, "坐标 (最小约束网)"},     {1, false, 0, "坐标 (内部约束网)"},
        {3, true, 0, "坐标 (带权约束网)"},     {2, true, 0, "坐标 (约束网)"},
        {1, true, 1, "坐标 (最小约束网设计)"}, {1, false, 1, "坐标 (内部约束网设计)"},
        {3, true, 1, "坐标 (带权约束网设计)"}, {4, true, 1, "坐标 (约束网设计)"},
    };
    const std::string dir = ::testing::TempDir();
    for (const auto& c : cases) {
        SyntheticNetwork net;
        net.Settings().Phase = c.phase;
        net.Settings().AdjDesign = c.design;
        net.Settings().ScaleFactorFree[0] = 1;
        net.Settings().ReportSwitch[Tavex::REPORT_OUTPUT_FORM] = 1;
        std::memcpy(net.Settings().ProjectDir, dir.c_str(), dir.size());
        std::memcpy(net.Settings().OutputFile, "title.out", 9);
        AddTriangulationStations(net);
        if (c.known) {
            net.MakeKnown(1, 12, 0.01);
            net.MakeKnown(3, 12, 0.01);
        }
        AddTriangulationObservations(net);
        ASSERT_EQ(net.Adjust(), 1) << c.phase;
        const std::string report = ReadFile(dir + "/title.out");
        EXPECT_NE(report.find(c.title), std::string::npos) << c.title;
        EXPECT_NE(report.find("[文件结束]"), std::string::npos);
    }
}

TEST(DesignMode, NoIterationAndNoCoordinatesWritten) {
    SyntheticNetwork net;
    net.Settings().AdjDesign = 1;
    AddTriangulationStations(net);
    net.MakeKnown(1, 12);
    net.MakeKnown(3, 12);
    AddTriangulationObservations(net);
    net.Perturb(0.3, 12);
    const std::vector<Tavex::_STATIONADJ> before = net.StationRecords();
    Tavex::_STATISTICS statistics;
    std::memset(&statistics, 0x5A, sizeof statistics);
    ASSERT_EQ(net.Adjust(statistics), 1);
    for (std::size_t k = 0; k < before.size(); ++k) {
        const Tavex::_STATIONADJ& now = net.StationRecords()[k];
        EXPECT_EQ(+now.Coord1, +before[k].Coord1) << "design writes no coordinates";
        EXPECT_EQ(+now.Coord2, +before[k].Coord2);
        EXPECT_EQ(+now.CoordStatus, +before[k].CoordStatus);
        EXPECT_EQ(+now.Presence, +before[k].Presence);
        EXPECT_EQ(+now.CovScale, 1.0) << "but its precision";
        EXPECT_GT(+now.Ellipse[0], 0.0);
    }
    EXPECT_EQ(+(statistics.Iterations), 0);
    EXPECT_EQ(+(statistics.Unknowns), 6 * 2 + 6);
    EXPECT_EQ(+(statistics.DegreesOfFreedom), statistics.Observations - statistics.Unknowns);
    EXPECT_EQ(+(statistics.FTest), 0.0);
    EXPECT_EQ(+statistics.DatumW[0].Subject, 0x5A5A5A5A) << "design writes only words 0 to 40";
}

TEST(Statistics, CountsAndCriticalValuesOfAnAdjustment) {
    SyntheticNetwork net;
    AddTriangulationStations(net);
    net.MakeKnown(1, 12);
    net.MakeKnown(3, 12);
    AddTriangulationObservations(net);
    Tavex::_STATISTICS st;
    std::memset(&st, 0x5A, sizeof st);
    ASSERT_EQ(net.Adjust(st), 1);
    EXPECT_EQ(+(st.CoordinateUnknowns), 12);
    EXPECT_EQ(+(st.OrientationUnknowns), 6);
    EXPECT_EQ(+(st.Directions), 20);
    EXPECT_EQ(+(st.Distances), 10);
    EXPECT_EQ(+(st.DatumPseudoObservations), 4);
    EXPECT_EQ(+(st.Observations), 34);
    EXPECT_EQ(+(st.DegreesOfFreedom), 34 - 18);
    EXPECT_NEAR(+(st.CriticalW), 3.2931, 5e-5);
    EXPECT_NEAR(+(st.Lambda0), 17.0748, 5e-5);
    EXPECT_NEAR(+(st.CriticalT2), 5.91, 0.01);
    EXPECT_EQ(+st.ObservationW[0].Subject, 0) << "the lists are cleared";
}

TEST(Singularities, DisconnectedHeightNetworkNamesTheStation) {
    SyntheticNetwork net;
    net.Settings().Dimension = 1;
    net.Settings().Phase = 3;
    AddTriangulationStations(net);
    net.MakeKnown(1, 10, 0, 0.001);
    net.HeightDifference(1, 2);
    net.HeightDifference(2, 3);
    net.HeightDifference(4, 5); // stations 4 and 5 hang free
    net.HeightDifference(5, 4);
    const std::vector<Tavex::_STATIONADJ> before = net.StationRecords();
    EXPECT_EQ(net.Adjust(), 0);
    const std::vector<int> codes = net.MessageCodes();
    ASSERT_GE(codes.size(), 2u);
    EXPECT_EQ(codes[codes.size() - 2], 531);
    EXPECT_EQ(codes.back(), 451);
    const std::string text = net.MessageText(451);
    EXPECT_TRUE(text == "测站的高程奇异 D" || text == "测站的高程奇异 E") << text;
    EXPECT_EQ(std::memcmp(before.data(), net.StationRecords().data(),
                          before.size() * sizeof(Tavex::_STATIONADJ)),
              0)
        << "a failed run writes nothing";
}

TEST(Iteration, LimitReachedWarnsAtTheStation) {
    SyntheticNetwork net;
    net.Settings().IterMax = 0;
    AddTriangulationStations(net);
    net.MakeKnown(1, 12);
    net.MakeKnown(3, 12);
    AddTriangulationObservations(net);
    net.Shift(6, 5.0, 0, 0); // far enough that one solution is not final
    ASSERT_EQ(net.Adjust(), 1) << net.AllMessages();
    const std::vector<int> codes = net.MessageCodes();
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.back(), 626);
    EXPECT_EQ(net.MessageText(626).rfind("测站的迭代标准超限 ", 0), 0u);
}

TEST(CountChecks, MoreUnknownsThanObservationsStopsTheRun) {
    SyntheticNetwork net;
    net.Settings().Phase = 3; // a free network would deselect the undetermined stations
    // Kept in the network: taken out as side shots, the stations would not
    // count.
    net.Settings().ReportSwitch[Tavex::REPORT_ENGINE_OPTION] = 0;
    AddTriangulationStations(net);
    net.MakeKnown(1, 12, 0.01);
    net.Direction(1, 2, 0);
    net.Direction(1, 3, 0);
    EXPECT_EQ(net.Adjust(), 0);
    EXPECT_EQ(net.MessageCodes().back(), 491);
    EXPECT_EQ(net.MessageText(491).rfind("未知数 ", 0), 0u);
    EXPECT_NE(net.MessageText(491).find("大于观测值数"), std::string::npos);
}

TEST(DimensionRestrictions, ObservationsTheDimensionCannotUseAreLeftOutWithWarnings) {
    SyntheticNetwork net;
    net.Settings().Dimension = 1;
    AddTriangulationStations(net);
    net.MakeKnown(1, 10);
    net.HeightDifference(1, 2);
    net.Direction(1, 3, 0);       // 478
    net.Azimuth(1, 3, 0, 0.0);    // 482
    net.GpsBaseline(1, 2);        // 484
    net.HorizontalDistance(1, 2); // 479
    ASSERT_EQ(net.Adjust(), 1) << net.AllMessages();
    const std::vector<int> codes = net.MessageCodes();
    for (int code : {478, 482, 484, 479})
        EXPECT_NE(std::find(codes.begin(), codes.end(), code), codes.end()) << code;
    EXPECT_EQ(net.MessageText(478), "不能使用一维方向观测 A - C");
}

TEST(BadInput, ObservationToItselfIsLeftOutNamingTheRecord) {
    SyntheticNetwork net;
    net.Settings().Dimension = 1;
    AddTriangulationStations(net);
    net.MakeKnown(1, 10);
    net.HeightDifference(1, 2);
    net.HeightDifference(2, 2);
    ASSERT_EQ(net.Adjust(), 1) << net.AllMessages();
    EXPECT_EQ(net.MessageText(725), "观测记录 2 的测站与目标相同，已忽略");
}

TEST(BadInput, ZeroStandardDeviationGetsTheCappedWeight) {
    SyntheticNetwork net;
    net.Settings().Dimension = 1;
    AddTriangulationStations(net);
    net.MakeKnown(1, 10);
    net.HeightDifference(1, 2, 0.0);
    net.HeightDifference(2, 3, -0.001);
    net.HeightDifference(1, 3);
    ASSERT_EQ(net.Adjust(), 1) << net.AllMessages();
    EXPECT_LT(net.LargestHeightError(), kTenthMillimetre);
}

} // namespace
} // namespace TavexTest

namespace TavexTest {
namespace {

TEST(BadInput, ParameterGroupsBeyondNineAreLeftOutWith471) {
    SyntheticNetwork net;
    AddTriangulationStations(net);
    net.MakeKnown(1, 12);
    net.MakeKnown(3, 12);
    AddTriangulationObservations(net);
    net.HorizontalDistance(2, 4);
    net.ObservationRecords().back().K100.Sub[1] = 12; // group 12
    ASSERT_EQ(net.Adjust(), 1) << net.AllMessages();
    EXPECT_EQ(net.MessageText(471), "无效的观测编码 S12");
    EXPECT_LT(net.LargestHorizontalError(), kTenthMillimetre);
}

TEST(GeoidModel, EveryStationWithoutGeoidHeightIsReported) {
    SyntheticNetwork net;
    net.Settings().Dimension = 1;
    net.Settings().GeoidModel = 1;
    AddTriangulationStations(net);
    net.MakeKnown(1, 10);
    net.HeightDifference(1, 2);
    ASSERT_EQ(net.Adjust(), 1) << net.AllMessages();
    const std::vector<int> codes = net.MessageCodes();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 557), 6);
    EXPECT_EQ(net.MessageText(557), "测站未定义大地水准面高 A (0.0)");
}

TEST(Iteration, DivergingCorrectionsStopTheRunNamingTheStation) {
    // An intersection from two known stations whose approximate position
    // lies far behind the base line: the corrections grow.
    SyntheticNetwork net;
    net.Settings().IterMax = 20;
    net.AddStation("A", 52.000, 5.000, 0.0);
    net.AddStation("B", 52.000, 5.010, 0.0);
    net.AddStation("P", 52.005, 5.005, 0.0);
    net.MakeKnown(1, 12);
    net.MakeKnown(2, 12);
    net.Direction(1, 2, 0);
    net.Direction(1, 3, 0);
    net.Direction(2, 1, 0);
    net.Direction(2, 3, 0);
    net.Shift(3, -1100.0, 0.0, 0.0);
    EXPECT_EQ(net.Adjust(), 0) << net.AllMessages();
    EXPECT_EQ(net.MessageText(469), "测站解矛盾 P") << net.AllMessages();
}

} // namespace
} // namespace TavexTest
