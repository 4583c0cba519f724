// Approximate coordinates through the exported interface: networks whose
// observations come from true coordinates, run from cleared approximate
// coordinates; the computed stations must land on the truth.
#include "cogo_fixture.h"

using namespace TavexTest;

namespace {

// A traverse B → P1 → P2 → P3 hanging from the known stations A and B.
struct Traverse {
    SyntheticNetwork net;
    unsigned A, B, P1, P2, P3;
    Traverse() {
        A = net.AddStation("A", 52.000, 5.000, 20.0);
        B = net.AddStation("B", 52.003, 5.004, 21.0);
        P1 = net.AddStation("P1", 52.005, 5.009, 22.0);
        P2 = net.AddStation("P2", 52.004, 5.015, 19.0);
        P3 = net.AddStation("P3", 52.007, 5.020, 23.0);
        net.MakeKnown(A, 12, 0.01, 0.01);
        net.MakeKnown(B, 12, 0.01, 0.01);
        net.TotalStation(B, A, 0, true, false, false);
        net.TotalStation(B, P1, 0, true, true, false);
        net.TotalStation(P1, B, 0, true, false, false);
        net.TotalStation(P1, P2, 0, true, true, false);
        net.TotalStation(P2, P1, 0, true, false, false);
        net.TotalStation(P2, P3, 0, true, true, false);
        ClearApproximate(net);
    }
};

// Six stations, direction sets and distances between neighbours; A and B
// known.
struct Polygon {
    SyntheticNetwork net;
    unsigned s[6];
    Polygon() {
        const double lat[6] = {52.000, 52.004, 52.009, 52.011, 52.006, 52.001};
        const double lon[6] = {5.000, 4.994, 4.998, 5.007, 5.012, 5.009};
        const char* names[6] = {"A", "B", "C", "D", "E", "F"};
        for (int i = 0; i < 6; ++i)
            s[i] = net.AddStation(names[i], lat[i], lon[i], 20.0 + i);
        net.MakeKnown(s[0], 12, 0.01, 0.01);
        net.MakeKnown(s[3], 12, 0.01, 0.01);
        for (int i = 0; i < 6; ++i) {
            const unsigned here = s[i], next = s[(i + 1) % 6], back = s[(i + 5) % 6];
            net.TotalStation(here, back, 0, true, true, false);
            net.TotalStation(here, next, 0, true, true, false);
        }
    }
};

} // namespace

TEST(CogoNetwork, TraverseFromTwoKnownStations) {
    Traverse t;
    ASSERT_EQ(RunCogo(t.net), 1) << t.net.AllMessages();
    for (unsigned s : {t.P1, t.P2, t.P3})
        EXPECT_LT(Horizontal(t.net, s), kMillimetres) << t.net.Truth(s).name;
    // Computed stations are marked as approximate coordinates of class 8;
    // the known ones keep their status and coordinates.
    EXPECT_EQ(+t.net.StationRecords()[t.P2 - 1].CoordStatus, 1);
    EXPECT_EQ(+t.net.StationRecords()[t.P2 - 1].CoordClass, 8);
    EXPECT_EQ(+t.net.StationRecords()[t.A - 1].CoordStatus, 8);
    EXPECT_EQ(Horizontal(t.net, t.A), 0.0);
}

TEST(CogoNetwork, PolygonNetworkOfDirectionSetsAndDistances) {
    Polygon p;
    ClearApproximate(p.net);
    ASSERT_EQ(RunCogo(p.net), 1) << p.net.AllMessages();
    for (unsigned s : p.s)
        EXPECT_LT(Horizontal(p.net, s), kMillimetres) << p.net.Truth(s).name;
}

TEST(CogoNetwork, ApproximateCoordinatesFarOffAreReplaced) {
    Polygon p;
    p.net.Perturb(400.0, 7);
    ASSERT_EQ(RunCogo(p.net), 1) << p.net.AllMessages();
    for (unsigned s : p.s)
        EXPECT_LT(Horizontal(p.net, s), kMillimetres) << p.net.Truth(s).name;
}

TEST(CogoNetwork, ResectionFromThreeDirections) {
    SyntheticNetwork net;
    const unsigned a = net.AddStation("A", 52.000, 5.000, 10.0);
    const unsigned b = net.AddStation("B", 52.008, 5.010, 10.0);
    const unsigned c = net.AddStation("C", 51.998, 5.016, 10.0);
    const unsigned p = net.AddStation("P", 52.002, 5.007, 10.0);
    for (unsigned k : {a, b, c})
        net.MakeKnown(k, 12, 0.01, 0.01);
    for (unsigned k : {a, b, c})
        net.Direction(p, k, 0);
    ClearApproximate(net);
    ASSERT_EQ(RunCogo(net), 1) << net.AllMessages();
    EXPECT_LT(Horizontal(net, p), kMillimetres);
}

TEST(CogoNetwork, TrilaterationFromThreeDistances) {
    SyntheticNetwork net;
    const unsigned a = net.AddStation("A", 52.000, 5.000, 10.0);
    const unsigned b = net.AddStation("B", 52.008, 5.010, 10.0);
    const unsigned c = net.AddStation("C", 51.998, 5.016, 10.0);
    const unsigned p = net.AddStation("P", 52.002, 5.007, 10.0);
    for (unsigned k : {a, b, c}) {
        net.MakeKnown(k, 12, 0.01, 0.01);
        net.HorizontalDistance(p, k);
    }
    ClearApproximate(net);
    ASSERT_EQ(RunCogo(net), 1) << net.AllMessages();
    EXPECT_LT(Horizontal(net, p), kMillimetres);
}

TEST(CogoNetwork, IntersectionFromTwoKnownStations) {
    SyntheticNetwork net;
    const unsigned a = net.AddStation("A", 52.000, 5.000, 10.0);
    const unsigned b = net.AddStation("B", 52.000, 5.012, 10.0);
    const unsigned p = net.AddStation("P", 52.006, 5.005, 10.0);
    net.MakeKnown(a, 12, 0.01, 0.01);
    net.MakeKnown(b, 12, 0.01, 0.01);
    net.Direction(a, b, 0);
    net.Direction(a, p, 0);
    net.Direction(b, a, 0);
    net.Direction(b, p, 0);
    ClearApproximate(net);
    ASSERT_EQ(RunCogo(net), 1) << net.AllMessages();
    EXPECT_LT(Horizontal(net, p), kMillimetres);
}

TEST(CogoNetwork, GpsOnlyNetworkWithHeights) {
    SyntheticNetwork net;
    net.Settings().Dimension = 3;
    const unsigned a = net.AddStation("A", 52.000, 5.000, 40.0);
    const unsigned b = net.AddStation("B", 52.010, 5.020, 45.0);
    const unsigned c = net.AddStation("C", 52.020, 5.005, 52.0);
    const unsigned d = net.AddStation("D", 52.015, 5.030, 38.0);
    net.MakeKnown(a, 12, 0.01, 0.01);
    net.MakeKnown(b, 12, 0.01, 0.01);
    net.GpsBaseline(a, c);
    net.GpsBaseline(b, c);
    net.GpsBaseline(d, b);
    ClearApproximate(net, true);
    ASSERT_EQ(RunCogo(net), 1) << net.AllMessages();
    for (unsigned s : {c, d}) {
        EXPECT_LT(Horizontal(net, s), kMillimetres) << net.Truth(s).name;
        EXPECT_LT(std::fabs(net.Error(s)[2]), kMillimetres) << net.Truth(s).name;
    }
}

TEST(CogoNetwork, HeightsByLevellingFromAKnownBenchmark) {
    SyntheticNetwork net;
    net.Settings().Dimension = 1;
    const unsigned bm = net.AddStation("BM", 52.000, 5.000, 12.345);
    const unsigned p = net.AddStation("P", 52.003, 5.001, 14.100);
    const unsigned q = net.AddStation("Q", 52.005, 5.006, 9.870);
    const unsigned r = net.AddStation("R", 52.001, 5.008, 11.002);
    net.MakeKnown(bm, 10, 0.0, 0.001);
    net.HeightDifference(bm, p);
    net.HeightDifference(p, q);
    net.HeightDifference(r, q);
    ClearApproximate(net, true);
    ASSERT_EQ(RunCogo(net), 1) << net.AllMessages();
    for (unsigned s : {p, q, r})
        EXPECT_NEAR(net.StationRecords()[s - 1].Height, net.Truth(s).h, 1e-6) << net.Truth(s).name;
    // Only heights were computed: the horizontal coordinates stay as given.
    EXPECT_EQ(+net.StationRecords()[q - 1].Coord1, 0.0);
}

TEST(CogoNetwork, AKnownStationWithABlunderIsRejectedByTheFit) {
    Polygon p;
    p.net.MakeKnown(p.s[4], 12, 0.01, 0.01);
    ClearApproximate(p.net);
    p.net.Shift(p.s[4], 0.0, 5.0, 0.0); // E's known coordinates 5 m off to the east
    const std::string report = WriteReportTo(p.net, 1);
    ASSERT_EQ(RunCogo(p.net), 1) << p.net.AllMessages();
    for (unsigned s : {p.s[1], p.s[2], p.s[5]})
        EXPECT_LT(Horizontal(p.net, s), kMillimetres) << p.net.Truth(s).name;
    // The known station keeps its (wrong) coordinates; the report marks it.
    EXPECT_NEAR(Horizontal(p.net, p.s[4]), 5.0, 0.01);
    const std::string text = ReadFile(report);
    const std::size_t line = text.find("\nE ", text.find("已知坐标的相似转换"));
    ASSERT_NE(line, std::string::npos) << text;
    EXPECT_NE(text.substr(line, text.find('\n', line + 1) - line).find("**"), std::string::npos)
        << text;
}

TEST(CogoNetwork, AStationThatCannotBeReachedIsListedAsNotComputed) {
    Traverse t;
    const unsigned lost = t.net.AddStation("LOST", 52.010, 5.030, 10.0);
    const std::string report = WriteReportTo(t.net, 1);
    ASSERT_EQ(RunCogo(t.net), 1) << t.net.AllMessages();
    EXPECT_EQ(+t.net.StationRecords()[lost - 1].CoordStatus, 0) << "left untouched";
    const std::string text = ReadFile(report);
    const std::size_t heading = text.find("未计算测站");
    ASSERT_NE(heading, std::string::npos) << text;
    EXPECT_NE(text.find("LOST", heading), std::string::npos);
    EXPECT_EQ(text.find("P2", heading), std::string::npos);
}

TEST(CogoNetwork, TheResultDocumentCarriesStationsFitsAndTheStationsLeft) {
    Traverse t;
    t.net.AddStation("LOST", 52.010, 5.030, 10.0);
    const std::string path = WriteReportTo(t.net, 2);
    ASSERT_EQ(RunCogo(t.net), 1) << t.net.AllMessages();
    const std::string xml = ReadFile(path);
    EXPECT_NE(xml.find("DORAMV33.xsl"), std::string::npos);
    EXPECT_NE(xml.find("<Cogo"), std::string::npos);
    EXPECT_NE(xml.find("name=\"P3\""), std::string::npos);
    EXPECT_NE(xml.find("<NotComputed"), std::string::npos);
    EXPECT_NE(xml.find("notComputed=\"1\""), std::string::npos) << xml;
}

TEST(CogoNetwork, AnAdjustmentConvergesFromTheComputedCoordinates) {
    Polygon p;
    ClearApproximate(p.net);
    p.net.Settings().Phase = 3;
    ASSERT_EQ(RunCogo(p.net), 1) << p.net.AllMessages();
    ASSERT_EQ(p.net.Adjust(), 1) << p.net.AllMessages();
    EXPECT_LT(p.net.LargestHorizontalError(), 1e-4);
}
