// Chain and offset, double distances and the intersection's choice between
// mirror points, on hand-built states with constructions worked out by
// hand. The records cannot name a relation's third station, so the
// relations are built as the kernel holds them.
#include "cogo/cogo_methods.h"
#include "cogo/plane_constructions.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Tavex;

namespace {

constexpr double kTol = 1e-6;

CObservation* Relation(ProjectState& project, unsigned station, unsigned target, unsigned third,
                       std::uint16_t sub0, double reading0, std::uint16_t sub1, double reading1) {
    auto* o = new CObservation;
    o->Type[0] = o->Type[1] = OBS_GEOMETRIC_RELATION;
    o->Sub[0] = sub0;
    o->Sub[1] = sub1;
    o->Reading[0] = reading0;
    o->Reading[1] = reading1;
    o->Station = station;
    o->Target = target;
    o->Station3 = third;
    project.Observations.Add(o);
    return o;
}

struct Fixture {
    ProjectState project;
    CogoState c;
    explicit Fixture(unsigned n) {
        SizeCogoState(c, n);
        for (double& scale : project.ScaleFactor)
            scale = 1.0;
    }
};

} // namespace

TEST(ChainAndOffset, APointRightOfTheLine) {
    // The line from A (1000, 2000) to B (1300, 2400) runs along (0.6, 0.8)
    // and is 500 m long; right of it is (0.8, −0.6). Chainage 200 and
    // offset 50 give A + 200 (0.6, 0.8) + 50 (0.8, −0.6) = (1160, 2130).
    Fixture f(3);
    f.c.Place(1, {1000.0, 2000.0});
    f.c.Place(2, {1300.0, 2400.0});
    Relation(f.project, 1, 2, 3, kRelationChainage, 200.0, kRelationOffset, 50.0);
    ASSERT_EQ(ChainAndOffset(f.project, f.c), 1);
    ASSERT_TRUE(f.c.computed[3]);
    EXPECT_NEAR(f.c.plane[3].e, 1160.0, kTol);
    EXPECT_NEAR(f.c.plane[3].n, 2130.0, kTol);
}

TEST(ChainAndOffset, ANegativeOffsetIsLeftAndTheReadingsMayComeInEitherSlot) {
    // Offset −50 puts the point at A + 200 (0.6, 0.8) − 50 (0.8, −0.6) =
    // (1080, 2190); the offset reading comes first here.
    Fixture f(3);
    f.c.Place(1, {1000.0, 2000.0});
    f.c.Place(2, {1300.0, 2400.0});
    Relation(f.project, 1, 2, 3, kRelationOffset, -50.0, kRelationChainage, 200.0);
    ASSERT_EQ(ChainAndOffset(f.project, f.c), 1);
    ASSERT_TRUE(f.c.computed[3]);
    EXPECT_NEAR(f.c.plane[3].e, 1080.0, kTol);
    EXPECT_NEAR(f.c.plane[3].n, 2190.0, kTol);
}

TEST(ChainAndOffset, LengthsAreReducedByTheScaleOfGroupZeroAndTheLinesEndsMustBeComputed) {
    // Readings 1.0001 times too long with an initial scale factor of
    // 1.0001: the same point as the first test.
    Fixture f(3);
    f.project.ScaleFactor[0] = 1.0001;
    f.c.Place(1, {1000.0, 2000.0});
    Relation(f.project, 1, 2, 3, kRelationChainage, 200.0 * 1.0001, kRelationOffset, 50.0 * 1.0001);
    ASSERT_EQ(ChainAndOffset(f.project, f.c), 1);
    EXPECT_FALSE(f.c.computed[3]) << "the line's second end is not computed yet";
    f.c.Place(2, {1300.0, 2400.0});
    ASSERT_EQ(ChainAndOffset(f.project, f.c), 1);
    ASSERT_TRUE(f.c.computed[3]);
    EXPECT_NEAR(f.c.plane[3].e, 1160.0, kTol);
    EXPECT_NEAR(f.c.plane[3].n, 2130.0, kTol);
}

TEST(ChainAndOffset, ASwitchedOffReadingOrAnExcludedPointPlacesNothing) {
    Fixture f(3);
    f.c.Place(1, {1000.0, 2000.0});
    f.c.Place(2, {1300.0, 2400.0});
    CObservation* o = Relation(f.project, 1, 2, 3, kRelationChainage, 200.0, kRelationOffset, 50.0);
    o->Off[1] = 1;
    ASSERT_EQ(ChainAndOffset(f.project, f.c), 1);
    EXPECT_FALSE(f.c.computed[3]);
    o->Off[1] = 0;
    f.c.excluded[3] = 1;
    ASSERT_EQ(ChainAndOffset(f.project, f.c), 1);
    EXPECT_FALSE(f.c.computed[3]);
}

TEST(DoubleDistance, TheThirdStationOnTheSideItsDistanceCodeNames) {
    // Base (1000, 1000) → (1500, 1000), 300 m from the first and 400 m from
    // the second: the 3-4-5 triangle puts the third station 180 m along
    // the base and 240 m off it, at (1180, 1240) on the left (north) and
    // (1180, 760) on the right.
    Fixture f(3);
    f.c.Place(1, {1000.0, 1000.0});
    f.c.Place(2, {1500.0, 1000.0});
    CObservation* o = Relation(f.project, 1, 2, 3, RELATION_DOUBLE_DISTANCE, 300.0,
                               RELATION_DOUBLE_DISTANCE, 400.0);
    ASSERT_EQ(DoubleDistanceRelations(f.project, f.c), 1);
    ASSERT_TRUE(f.c.computed[3]);
    EXPECT_NEAR(f.c.plane[3].e, 1180.0, kTol);
    EXPECT_NEAR(f.c.plane[3].n, 1240.0, kTol);
    f.c.computed[3] = 0;
    o->DistanceCode = 1;
    ASSERT_EQ(DoubleDistanceRelations(f.project, f.c), 1);
    ASSERT_TRUE(f.c.computed[3]);
    EXPECT_NEAR(f.c.plane[3].e, 1180.0, kTol);
    EXPECT_NEAR(f.c.plane[3].n, 760.0, kTol);
}

TEST(DoubleDistance, CirclesThatDoNotMeetOrOneReadingAloneLeaveTheStation) {
    Fixture f(3);
    f.c.Place(1, {1000.0, 1000.0});
    f.c.Place(2, {1500.0, 1000.0});
    // 200 + 250 < 500: the circles do not meet.
    Relation(f.project, 1, 2, 3, RELATION_DOUBLE_DISTANCE, 200.0, RELATION_DOUBLE_DISTANCE, 250.0);
    ASSERT_EQ(DoubleDistanceRelations(f.project, f.c), 1);
    EXPECT_FALSE(f.c.computed[3]);
    // Only the first reading is a double distance.
    Relation(f.project, 1, 2, 3, RELATION_DOUBLE_DISTANCE, 300.0, RELATION_TAPE_DISTANCE, 400.0);
    ASSERT_EQ(DoubleDistanceRelations(f.project, f.c), 1);
    EXPECT_FALSE(f.c.computed[3]);
}

TEST(DoubleDistance, AStationAlreadyComputedStays) {
    Fixture f(3);
    f.c.Place(1, {1000.0, 1000.0});
    f.c.Place(2, {1500.0, 1000.0});
    f.c.Place(3, {7.0, 8.0});
    Relation(f.project, 1, 2, 3, RELATION_DOUBLE_DISTANCE, 300.0, RELATION_DOUBLE_DISTANCE, 400.0);
    ASSERT_EQ(DoubleDistanceRelations(f.project, f.c), 1);
    EXPECT_EQ(f.c.plane[3].e, 7.0);
}

TEST(Intersection, ABearingFromAThirdStationPicksTheMirrorOfTwoDistances) {
    // Station 1 truly at (450, −380), 587.96 m from 2 (0, 0) and from
    // 3 (900, 0); its mirror (450, 380) has the same distances. Station 4
    // at (−500, 0) sights 1 in a set oriented on station 2.
    Fixture f(4);
    const PlanePoint truth{450.0, -380.0};
    f.c.Place(2, {0.0, 0.0});
    f.c.Place(3, {900.0, 0.0});
    f.c.Place(4, {-500.0, 0.0});
    for (unsigned t : {2u, 3u}) {
        const double d = PlaneDistance(truth, f.c.plane[t]);
        f.c.distancesAt[1].push_back({t, d});
        f.c.distancesAt[t].push_back({1, d});
    }
    const double orientation = 1.1;
    const double r2 = NormalizedAngle(Bearing(f.c.plane[4], f.c.plane[2]) - orientation);
    const double r1 = NormalizedAngle(Bearing(f.c.plane[4], truth) - orientation);
    f.c.directionsAt[4].push_back({2, 0, r2});
    f.c.directionsAt[4].push_back({1, 0, r1});
    f.c.directionsTo[2].push_back({4, 0, r2});
    f.c.directionsTo[1].push_back({4, 0, r1});
    ASSERT_EQ(Intersection(f.project, f.c), 1);
    ASSERT_TRUE(f.c.computed[1]);
    EXPECT_NEAR(f.c.plane[1].e, 450.0, kTol);
    EXPECT_NEAR(f.c.plane[1].n, -380.0, kTol);
}

TEST(Intersection, TwoOrientedDirectionsFromComputedStations) {
    // From (0, 0) at bearing 45° and from (1000, 0) at bearing 315° the
    // lines meet at (500, 500).
    Fixture f(3);
    f.c.Place(2, {0.0, 0.0});
    f.c.Place(3, {1000.0, 0.0});
    const double o2 = 0.4, o3 = 2.9;
    // Each set is oriented on the other station.
    f.c.directionsAt[2].push_back({3, 0, NormalizedAngle(M_PI / 2 - o2)});
    f.c.directionsAt[2].push_back({1, 0, NormalizedAngle(M_PI / 4 - o2)});
    f.c.directionsAt[3].push_back({2, 0, NormalizedAngle(1.5 * M_PI - o3)});
    f.c.directionsAt[3].push_back({1, 0, NormalizedAngle(1.75 * M_PI - o3)});
    f.c.directionsTo[1].push_back({2, 0, NormalizedAngle(M_PI / 4 - o2)});
    f.c.directionsTo[1].push_back({3, 0, NormalizedAngle(1.75 * M_PI - o3)});
    ASSERT_EQ(Intersection(f.project, f.c), 1);
    ASSERT_TRUE(f.c.computed[1]);
    EXPECT_NEAR(f.c.plane[1].e, 500.0, kTol);
    EXPECT_NEAR(f.c.plane[1].n, 500.0, kTol);
}

TEST(Intersection, ADirectionFromAStationWhoseSetHasNoOrientationDoesNotCount) {
    // Station 3 observed only station 1: its set cannot be oriented, so a
    // single bearing (from 2) remains and nothing is constructed.
    Fixture f(3);
    f.c.Place(2, {0.0, 0.0});
    f.c.Place(3, {1000.0, 0.0});
    f.c.directionsAt[2].push_back({3, 0, M_PI / 2});
    f.c.directionsAt[2].push_back({1, 0, M_PI / 4});
    f.c.directionsAt[3].push_back({1, 0, 1.75 * M_PI});
    f.c.directionsTo[1].push_back({2, 0, M_PI / 4});
    f.c.directionsTo[1].push_back({3, 0, 1.75 * M_PI});
    ASSERT_EQ(Intersection(f.project, f.c), 1);
    EXPECT_FALSE(f.c.computed[1]);
}
