// How the free solution starts and what reaches the stations beyond the
// traverse, through the exported interface: networks of azimuths, GPS
// networks without known stations, a station only intersected, and
// stations placed by relations (whose third station the kernel's own
// observation carries, the records having no place for it).
#include "cogo_fixture.h"

#include "cogo/cogo_driver.h"
#include "cogo/cogo_state.h"
#include "interface/kernel.h"
#include "project/observation.h"

using namespace TavexTest;

namespace {

// A, B and P1..P3 as in the traverse tests, without observations.
struct Stations {
    SyntheticNetwork net;
    unsigned A, B, P1, P2, P3;
    Stations() {
        A = net.AddStation("A", 52.000, 5.000, 20.0);
        B = net.AddStation("B", 52.003, 5.004, 21.0);
        P1 = net.AddStation("P1", 52.005, 5.009, 22.0);
        P2 = net.AddStation("P2", 52.004, 5.015, 19.0);
        P3 = net.AddStation("P3", 52.007, 5.020, 23.0);
    }
    // The traverse B → P1 → P2 → P3 of direction sets and distances.
    void Traverse() {
        net.TotalStation(B, A, 0, true, false, false);
        net.TotalStation(B, P1, 0, true, true, false);
        net.TotalStation(P1, B, 0, true, false, false);
        net.TotalStation(P1, P2, 0, true, true, false);
        net.TotalStation(P2, P1, 0, true, false, false);
        net.TotalStation(P2, P3, 0, true, true, false);
    }
};

// The true horizontal distance between two stations, as a distance record
// of the test network gives it (the record is taken away again).
double TrueDistance(SyntheticNetwork& net, unsigned from, unsigned to) {
    net.HorizontalDistance(from, to);
    const double d = net.ObservationRecords().back().K100.Reading[1];
    net.ObservationRecords().pop_back();
    return d;
}

// Whether station q lies left of the line from a to b (east and north of
// the stations' latitude and longitude differences, enough for a side).
bool LeftOf(const SyntheticNetwork& net, unsigned a, unsigned b, unsigned q) {
    const auto& ta = net.Truth(a);
    const double k = std::cos(ta.lat);
    const double be = (net.Truth(b).lon - ta.lon) * k, bn = net.Truth(b).lat - ta.lat;
    const double qe = (net.Truth(q).lon - ta.lon) * k, qn = net.Truth(q).lat - ta.lat;
    return be * qn - bn * qe > 0.0;
}

Tavex::CObservation* AddRelation(unsigned station, unsigned target, unsigned third,
                                 std::uint16_t sub0, double reading0, std::uint16_t sub1,
                                 double reading1) {
    auto* o = new Tavex::CObservation;
    o->Type[0] = o->Type[1] = Tavex::OBS_GEOMETRIC_RELATION;
    o->Sub[0] = sub0;
    o->Sub[1] = sub1;
    o->Reading[0] = reading0;
    o->Reading[1] = reading1;
    o->Station = station;
    o->Target = target;
    o->Station3 = third;
    Tavex::TheKernel().project.Observations.Add(o);
    return o;
}

// The computation on the kernel's project as loaded, for relations the
// records cannot carry: the metric distance of station s's computed
// position from the truth, or a negative value when it was not computed.
double ComputedError(SyntheticNetwork& net, unsigned s) {
    Tavex::Progress progress;
    Tavex::CogoState c;
    if (!Tavex::ComputeCogo(Tavex::TheKernel().project, progress, c) || !c.computed[s])
        return -1.0;
    const TrueStation& t = net.Truth(s);
    const double radius = 6371000.0;
    return std::hypot((c.lat[s] - t.lat) * radius, (c.lon[s] - t.lon) * radius * std::cos(t.lat));
}

} // namespace

TEST(CogoStart, AzimuthsAndDistancesBetweenTwoKnownStations) {
    // No direction at all: the free solution starts from the azimuth legs
    // at the origin; the azimuths' common offset is a rotation the fit onto
    // A and B takes out.
    Stations s;
    s.net.MakeKnown(s.A, 12, 0.01, 0.01);
    s.net.MakeKnown(s.P3, 12, 0.01, 0.01);
    const unsigned path[] = {s.A, s.B, s.P1, s.P2, s.P3};
    for (int i = 0; i < 4; ++i) {
        s.net.Azimuth(path[i], path[i + 1], 0, 0.002);
        s.net.HorizontalDistance(path[i], path[i + 1]);
    }
    ClearApproximate(s.net);
    ASSERT_EQ(RunCogo(s.net), 1) << s.net.AllMessages();
    for (unsigned t : {s.B, s.P1, s.P2})
        EXPECT_LT(Horizontal(s.net, t), kMillimetres) << s.net.Truth(t).name;
}

TEST(CogoStart, AzimuthsFromASingleKnownStationAreFollowedInTheAnchoredRounds) {
    // One known station: the free solution, arbitrary in position, is
    // discarded and the azimuth legs are followed again from A itself.
    Stations s;
    s.net.MakeKnown(s.A, 12, 0.01, 0.01);
    const unsigned path[] = {s.A, s.B, s.P1, s.P2, s.P3};
    for (int i = 0; i < 4; ++i) {
        s.net.Azimuth(path[i], path[i + 1], 0, 0.0);
        s.net.HorizontalDistance(path[i], path[i + 1]);
    }
    ClearApproximate(s.net);
    ASSERT_EQ(RunCogo(s.net), 1) << s.net.AllMessages();
    for (unsigned t : {s.B, s.P1, s.P2, s.P3})
        EXPECT_LT(Horizontal(s.net, t), kMillimetres) << s.net.Truth(t).name;
}

namespace {

// A GPS network without known stations: H the hub of three baselines,
// B, C, D around it, C and D also joined.
struct GpsStar {
    SyntheticNetwork net;
    unsigned H, B, C, D;
    GpsStar() {
        net.Settings().Dimension = 3;
        B = net.AddStation("B", 52.010, 5.020, 45.0);
        H = net.AddStation("H", 52.000, 5.000, 40.0);
        C = net.AddStation("C", 52.020, 5.005, 52.0);
        D = net.AddStation("D", 52.015, 5.030, 38.0);
        net.GpsBaseline(H, B);
        net.GpsBaseline(H, C);
        net.GpsBaseline(D, H);
        net.GpsBaseline(C, D);
        ClearApproximate(net, true);
    }
    // Gives H its true approximate position, moved by (north, east) metres.
    void Navigated(double north, double east) {
        Tavex::_STATIONADJ& r = net.StationRecords()[H - 1];
        r.Coord1 = net.Truth(H).lat;
        r.Coord2 = net.Truth(H).lon;
        r.Height = net.Truth(H).h;
        net.Shift(H, north, east, 0.0);
    }
};

} // namespace

TEST(CogoStart, AGpsNetworkWithoutKnownStationsSitsAtTheHubsApproximatePosition) {
    // The baselines fix everything but the position, which H's approximate
    // coordinates give: the network comes out exact where they are exact.
    GpsStar g;
    g.Navigated(0.0, 0.0);
    ASSERT_EQ(RunCogo(g.net), 1) << g.net.AllMessages();
    for (unsigned s : {g.B, g.C, g.D}) {
        EXPECT_LT(Horizontal(g.net, s), kMillimetres) << g.net.Truth(s).name;
        EXPECT_LT(std::fabs(g.net.Error(s)[2]), kMillimetres) << g.net.Truth(s).name;
        EXPECT_EQ(+g.net.StationRecords()[s - 1].CoordStatus, 1);
    }
}

TEST(CogoStart, AGpsNetworkWithoutKnownStationsCarriesTheErrorOfItsStartAsAShift) {
    // H's approximate position 3 m north and 2 m west of the truth: every
    // station is shifted by the same, the baselines stay exact.
    GpsStar g;
    g.Navigated(3.0, -2.0);
    ASSERT_EQ(RunCogo(g.net), 1) << g.net.AllMessages();
    for (unsigned s : {g.B, g.C, g.D}) {
        const auto e = g.net.Error(s);
        EXPECT_NEAR(e[0], 3.0, kMillimetres) << g.net.Truth(s).name;
        EXPECT_NEAR(e[1], -2.0, kMillimetres) << g.net.Truth(s).name;
    }
}

TEST(CogoStart, AGpsNetworkWithoutAnyPositionIsNotComputed) {
    // Nothing places the network anywhere: the solution in an arbitrary
    // system is discarded and every station is listed as not computed.
    // (H, where the heights start, gets the reference height 0.)
    GpsStar g;
    const std::string report = WriteReportTo(g.net, 1);
    ASSERT_EQ(RunCogo(g.net), 1) << g.net.AllMessages();
    for (unsigned s : {g.H, g.B, g.C, g.D}) {
        EXPECT_EQ(+g.net.StationRecords()[s - 1].Coord1, 0.0) << g.net.Truth(s).name;
        EXPECT_EQ(+g.net.StationRecords()[s - 1].Coord2, 0.0) << g.net.Truth(s).name;
    }
    for (unsigned s : {g.B, g.C, g.D})
        EXPECT_EQ(+g.net.StationRecords()[s - 1].CoordStatus, 0) << g.net.Truth(s).name;
    const std::string text = ReadFile(report);
    const std::size_t heading = text.find("未计算测站");
    ASSERT_NE(heading, std::string::npos) << text;
    EXPECT_NE(text.find("\nC", heading), std::string::npos) << text;
}

TEST(CogoStart, AGpsNetworkMovesOntoItsOneKnownStation) {
    // A known station without baselines of its own, reached from H by a
    // direction set oriented on B and a distance: the GPS network starts at
    // H's approximate position, 4 m off, and is moved onto K.
    GpsStar g;
    g.Navigated(4.0, 4.0);
    const unsigned K = g.net.AddStation("K", 52.004, 4.996, 41.0);
    g.net.MakeKnown(K, 12, 0.01, 0.01);
    g.net.TotalStation(g.H, g.B, 0, true, false, false);
    g.net.TotalStation(g.H, K, 0, true, true, false);
    ASSERT_EQ(RunCogo(g.net), 1) << g.net.AllMessages();
    for (unsigned s : {g.H, g.B, g.C, g.D})
        EXPECT_LT(Horizontal(g.net, s), 0.01) << g.net.Truth(s).name;
    EXPECT_EQ(Horizontal(g.net, K), 0.0) << "the known station keeps its coordinates";
}

TEST(CogoStart, AStationSeenOnlyByDirectionsFromTraverseStationsIsIntersected) {
    // Q has no observation of its own and no distance: only the bearings
    // from P1 and P2, whose sets are oriented on the traverse, reach it.
    Stations s;
    s.net.MakeKnown(s.A, 12, 0.01, 0.01);
    s.net.MakeKnown(s.B, 12, 0.01, 0.01);
    s.Traverse();
    const unsigned Q = s.net.AddStation("Q", 52.0015, 5.0120, 18.0);
    s.net.Direction(s.P1, Q, 0);
    s.net.Direction(s.P2, Q, 0);
    ClearApproximate(s.net);
    ASSERT_EQ(RunCogo(s.net), 1) << s.net.AllMessages();
    EXPECT_LT(Horizontal(s.net, Q), kMillimetres);
    EXPECT_EQ(+s.net.StationRecords()[Q - 1].CoordStatus, 1);
}

TEST(CogoStart, ADoubleDistanceRelationPlacesItsThirdStation) {
    Stations s;
    s.net.MakeKnown(s.A, 12, 0.01, 0.01);
    s.net.MakeKnown(s.B, 12, 0.01, 0.01);
    s.Traverse();
    const unsigned Q = s.net.AddStation("Q", 52.0065, 5.0125, 18.0);
    const double d1 = TrueDistance(s.net, s.P1, Q), d2 = TrueDistance(s.net, s.P2, Q);
    ClearApproximate(s.net);
    s.net.Load();
    Tavex::CObservation* o = AddRelation(s.P1, s.P2, Q, Tavex::RELATION_DOUBLE_DISTANCE, d1,
                                         Tavex::RELATION_DOUBLE_DISTANCE, d2);
    o->DistanceCode = LeftOf(s.net, s.P1, s.P2, Q) ? 0 : 1;
    const double error = ComputedError(s.net, Q);
    EXPECT_GE(error, 0.0) << "computed";
    EXPECT_LT(error, kMillimetres);
}

TEST(CogoStart, AChainAndOffsetPointFromTheLineOfTwoComputedStations) {
    // Chainage and offset of Q from the line B → P2, worked out from the
    // triangle of the true horizontal distances: chainage
    // (b² + c² − a²) / (2c) along the line, offset √(b² − chainage²) across
    // it, positive to the right.
    Stations s;
    s.net.MakeKnown(s.A, 12, 0.01, 0.01);
    s.net.MakeKnown(s.B, 12, 0.01, 0.01);
    s.Traverse();
    const unsigned Q = s.net.AddStation("Q", 52.0020, 5.0110, 18.0);
    const double b = TrueDistance(s.net, s.B, Q), a = TrueDistance(s.net, s.P2, Q);
    const double c = TrueDistance(s.net, s.B, s.P2);
    const double chainage = (b * b + c * c - a * a) / (2.0 * c);
    const double offset =
        std::sqrt(b * b - chainage * chainage) * (LeftOf(s.net, s.B, s.P2, Q) ? -1 : 1);
    ClearApproximate(s.net);
    s.net.Load();
    AddRelation(s.B, s.P2, Q, Tavex::kRelationChainage, chainage, Tavex::kRelationOffset, offset);
    const double error = ComputedError(s.net, Q);
    EXPECT_GE(error, 0.0) << "computed";
    EXPECT_LT(error, kMillimetres);
}
