// The plane constructions against points worked out by hand or placed first
// and observed afterwards.
#include "cogo/plane_constructions.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Tavex;

namespace {

constexpr double kTol = 1e-9;

// Directions from p to the targets with an arbitrary orientation.
double Direction(const PlanePoint& p, const PlanePoint& t, double orientation) {
    return NormalizedAngle(std::atan2(t.e - p.e, t.n - p.n) - orientation);
}

} // namespace

TEST(PlaneConstructions, PolarAndBearing) {
    const PlanePoint p = Polar({100.0, 200.0}, M_PI / 2.0, 10.0);
    EXPECT_NEAR(p.e, 110.0, kTol);
    EXPECT_NEAR(p.n, 200.0, kTol);
    EXPECT_NEAR(Bearing({0, 0}, {-1, -1}), 1.25 * M_PI, kTol);
}

TEST(PlaneConstructions, CircleIntersectionsLeftAndRight) {
    // The 3-4-5 triangle on the base (0,0)-(5,0): the apex at (1.8, ±2.4).
    PlanePoint left, right;
    ASSERT_TRUE(CircleIntersections({0, 0}, 3.0, {5, 0}, 4.0, left, right));
    EXPECT_NEAR(left.e, 1.8, kTol);
    EXPECT_NEAR(left.n, 2.4, kTol); // left of the line running east
    EXPECT_NEAR(right.e, 1.8, kTol);
    EXPECT_NEAR(right.n, -2.4, kTol);
    EXPECT_FALSE(CircleIntersections({0, 0}, 1.0, {5, 0}, 1.0, left, right));
}

TEST(PlaneConstructions, ForwardIntersection) {
    PlanePoint p;
    ASSERT_TRUE(ForwardIntersection({0, 0}, M_PI / 4.0, {10, 0}, -M_PI / 4.0, p));
    EXPECT_NEAR(p.e, 5.0, kTol);
    EXPECT_NEAR(p.n, 5.0, kTol);
    EXPECT_FALSE(ForwardIntersection({0, 0}, 0.3, {10, 0}, 0.3, p));
}

TEST(PlaneConstructions, TrilaterationFromThreeDistances) {
    const PlanePoint a{0, 0}, b{100, 0}, c{0, 100}, truth{37.0, 61.0};
    PlanePoint p;
    ASSERT_TRUE(Trilateration(a, PlaneDistance(a, truth), b, PlaneDistance(b, truth), c,
                              PlaneDistance(c, truth), p));
    EXPECT_NEAR(p.e, truth.e, 1e-8);
    EXPECT_NEAR(p.n, truth.n, 1e-8);
    EXPECT_FALSE(Trilateration(a, 10, b, 10, {200, 0}, 10, p)) << "collinear centres";
}

TEST(PlaneConstructions, ResectionFromThreeDirectionsInsideAndOutside) {
    const PlanePoint a{1000, 3000}, b{2500, 2800}, c{1800, 1200};
    for (const PlanePoint truth :
         {PlanePoint{1700, 2300}, PlanePoint{400, 1500}, PlanePoint{3100, 900}}) {
        const double o = 1.234;
        PlanePoint p;
        ASSERT_TRUE(ResectionThreeDirections(a, Direction(truth, a, o), b, Direction(truth, b, o),
                                             c, Direction(truth, c, o), p));
        EXPECT_NEAR(p.e, truth.e, 1e-6);
        EXPECT_NEAR(p.n, truth.n, 1e-6);
    }
}

TEST(PlaneConstructions, ResectionOnTheDangerCircleGivesUp) {
    // Station and targets on the circle of radius 100 about the origin.
    const PlanePoint a{100, 0}, b{0, 100}, c{-100, 0}, truth{0, -100};
    PlanePoint p;
    EXPECT_FALSE(ResectionThreeDirections(a, Direction(truth, a, 0.0), b, Direction(truth, b, 0.0),
                                          c, Direction(truth, c, 0.0), p));
}
