// Resection and intersection on a hand-built state: computed stations in
// the plane, observations placed in the station's index as the run gathers
// them.
#include "cogo/cogo_methods.h"
#include "cogo/plane_constructions.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Tavex;

namespace {

constexpr double kOrientation = 0.8;

struct Plane {
    ProjectState project; // not read by these methods
    CogoState c;
    PlanePoint truth{450.0, 380.0};
    explicit Plane(unsigned n) { SizeCogoState(c, n); }
    void Known(unsigned s, PlanePoint p) { c.Place(s, p); }
    // A direction at station 1 (the unknown one) to target t.
    void Direction(unsigned t, unsigned set = 0) {
        const double r = NormalizedAngle(Bearing(truth, c.plane[t]) - kOrientation);
        c.directionsAt[1].push_back({t, set, r});
        c.directionsTo[t].push_back({1, set, r});
    }
    void Distance(unsigned t) {
        const double d = PlaneDistance(truth, c.plane[t]);
        c.distancesAt[1].push_back({t, d});
        c.distancesAt[t].push_back({1, d});
    }
};

} // namespace

TEST(Resection, TwoDirectionsAndTwoDistancesUseTheCirclesAndTheDirectionsPickTheSide) {
    Plane p(3);
    p.Known(2, {0.0, 0.0});
    p.Known(3, {900.0, 0.0});
    // The mirror point (450, −380) has the same distances: only the
    // directions tell them apart.
    p.Direction(2);
    p.Direction(3);
    p.Distance(2);
    p.Distance(3);
    ASSERT_EQ(Resection(p.project, p.c), 1);
    ASSERT_TRUE(p.c.computed[1]);
    EXPECT_NEAR(p.c.plane[1].e, 450.0, 1e-6);
    EXPECT_NEAR(p.c.plane[1].n, 380.0, 1e-6);
}

TEST(Resection, TwoDirectionsAndOneDistanceToTheFirstTarget) {
    Plane p(3);
    p.Known(2, {0.0, 0.0});
    p.Known(3, {900.0, 100.0});
    p.Direction(3); // the distance goes to the second direction's target:
    p.Direction(2); // the directions are swapped before the construction
    p.Distance(2);
    ASSERT_EQ(Resection(p.project, p.c), 1);
    ASSERT_TRUE(p.c.computed[1]);
    EXPECT_NEAR(p.c.plane[1].e, 450.0, 1e-6);
    EXPECT_NEAR(p.c.plane[1].n, 380.0, 1e-6);
}

TEST(Resection, OnlyTheFirstFiftyDirectionsCount) {
    // 50 directions to station 2 come first: the set has one target only
    // (fifty times), so the three good directions behind them are never
    // gathered and nothing is constructed.
    Plane p(5);
    p.Known(2, {0.0, 0.0});
    p.Known(3, {900.0, 0.0});
    p.Known(4, {300.0, 900.0});
    for (int i = 0; i < 49; ++i)
        p.Direction(2, 1);
    p.Direction(2, 0);
    p.Direction(3, 0);
    p.Direction(4, 0);
    ASSERT_EQ(Resection(p.project, p.c), 1);
    EXPECT_FALSE(p.c.computed[1]);
    // Without the flood the same three directions resect the station.
    Plane q(5);
    q.Known(2, {0.0, 0.0});
    q.Known(3, {900.0, 0.0});
    q.Known(4, {300.0, 900.0});
    q.Direction(2, 0);
    q.Direction(3, 0);
    q.Direction(4, 0);
    ASSERT_EQ(Resection(q.project, q.c), 1);
    ASSERT_TRUE(q.c.computed[1]);
    EXPECT_NEAR(q.c.plane[1].e, 450.0, 1e-6);
}

TEST(Intersection, ABearingAndADistanceFromOneStationArePolar) {
    Plane p(3);
    p.Known(2, {0.0, 0.0});
    p.Known(3, {0.0, 500.0});
    // Station 2 observes 3 (its orientation) and station 1, and measured
    // the distance to 1.
    const double o = 0.3;
    p.c.directionsAt[2].push_back({3, 0, NormalizedAngle(0.0 - o)});
    p.c.directionsAt[2].push_back({1, 0, NormalizedAngle(Bearing({0, 0}, p.truth) - o)});
    p.c.directionsTo[1].push_back({2, 0, NormalizedAngle(Bearing({0, 0}, p.truth) - o)});
    p.Distance(2);
    ASSERT_EQ(Intersection(p.project, p.c), 1);
    ASSERT_TRUE(p.c.computed[1]);
    EXPECT_NEAR(p.c.plane[1].e, 450.0, 1e-6);
    EXPECT_NEAR(p.c.plane[1].n, 380.0, 1e-6);
}

TEST(Intersection, TwoDistancesTakeTheMirrorNearestTheApproximatePosition) {
    Plane p(3);
    p.Known(2, {0.0, 0.0});
    p.Known(3, {900.0, 0.0});
    p.Distance(2);
    p.Distance(3);
    p.c.approximate[1] = {400.0, 300.0};
    p.c.hasApproximate[1] = 1;
    ASSERT_EQ(Intersection(p.project, p.c), 1);
    EXPECT_NEAR(p.c.plane[1].n, 380.0, 1e-6);
    p.c.computed[1] = 0;
    p.c.approximate[1] = {400.0, -300.0};
    ASSERT_EQ(Intersection(p.project, p.c), 1);
    EXPECT_NEAR(p.c.plane[1].n, -380.0, 1e-6);
}

TEST(StationRelations, EqualRelationCopiesThePositionOrTheHeight) {
    ProjectState project;
    auto* o = new CObservation;
    o->Type[0] = OBS_GEOMETRIC_RELATION;
    o->Sub[0] = kRelationEqual;
    o->Station = 1;
    o->Target = 2;
    o->DistanceCode = 2; // horizontal position only
    project.Observations.Add(o);
    CogoState c;
    SizeCogoState(c, 2);
    c.Place(2, {10.0, 20.0});
    c.heightFlag[2] = 1;
    c.height[2] = 7.0;
    ASSERT_EQ(IdenticalStationRelations(project, c), 1);
    ASSERT_EQ(IdenticalHeightRelations(project, c), 1);
    EXPECT_TRUE(c.computed[1]);
    EXPECT_EQ(c.plane[1].n, 20.0);
    EXPECT_FALSE(c.heightFlag[1]) << "code 2 copies no height";
}
