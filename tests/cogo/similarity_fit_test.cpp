// The fits of a free solution onto known stations, on hand-worked cases.
#include "cogo/similarity_fit.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Tavex;

namespace {

// Known positions of stations 1..3 and a free solution that is the known
// one turned by 30°, scaled by 0.5 and shifted: free = T⁻¹(known).
struct Triangle {
    std::vector<PlanePoint> known{{}, {1000.0, 2000.0}, {1400.0, 2100.0}, {1100.0, 2500.0}};
    std::vector<PlanePoint> free;
    std::vector<int> computed{0, 1, 1, 1};
    Triangle() {
        const double c = std::cos(0.5236), s = std::sin(0.5236);
        free.push_back({});
        for (std::size_t i = 1; i < known.size(); ++i) {
            const double e = known[i].e - 1000.0, n = known[i].n - 2000.0;
            free.push_back({0.5 * (c * e - s * n) + 17.0, 0.5 * (s * e + c * n) - 40.0});
        }
    }
};

} // namespace

TEST(PlaneFit, TwoKnownStationsFitExactly) {
    Triangle t;
    const FitOutcome fit = FitPlaneWithRejection(t.free, t.known, t.computed, {1, 2}, 2.0);
    ASSERT_TRUE(fit.applied);
    ASSERT_EQ(fit.stations.size(), 2u);
    for (const FitResidual& r : fit.stations) {
        EXPECT_FALSE(r.rejected);
        EXPECT_NEAR(r.east, 0.0, 1e-9);
        EXPECT_NEAR(r.north, 0.0, 1e-9);
    }
    // Station 3, not in the list, is carried along by the same transformation.
    EXPECT_NEAR(t.free[3].e, 1100.0, 1e-8);
    EXPECT_NEAR(t.free[3].n, 2500.0, 1e-8);
    EXPECT_NEAR(fit.scale, 2.0, 1e-12);
}

TEST(PlaneFit, TheStationWithTheLargestResidualIsRejectedAndTheRestFitExactly) {
    Triangle t;
    // Station 3's known coordinates 7 m off to the north-east. With three
    // stations the fit spreads the error: by hand the first fit leaves
    // residuals (−1.13, 2.78), (2.88, −1.03), (−1.75, −1.75); the largest,
    // 2.88 m at station 2, exceeds 2 m, and station 2 is rejected. The fit on
    // stations 1 and 3 is exact.
    t.known[3].e += 7.0;
    t.known[3].n += 7.0;
    const FitOutcome fit = FitPlaneWithRejection(t.free, t.known, t.computed, {1, 2, 3}, 2.0);
    ASSERT_TRUE(fit.applied);
    EXPECT_FALSE(fit.stations[0].rejected);
    EXPECT_TRUE(fit.stations[1].rejected);
    EXPECT_FALSE(fit.stations[2].rejected);
    EXPECT_NEAR(fit.stations[0].east, 0.0, 1e-8);
    EXPECT_NEAR(fit.stations[2].north, 0.0, 1e-8);
    EXPECT_NEAR(t.free[3].e, 1107.0, 1e-8);
    EXPECT_NEAR(t.free[3].n, 2507.0, 1e-8);
}

TEST(PlaneFit, AStationOffByEightMetresIsRejectedAmongFour) {
    Triangle t;
    t.known.push_back({1600.0, 2600.0});
    t.computed.push_back(1);
    {
        const double c = std::cos(0.5236), s = std::sin(0.5236);
        const double e = 600.0, n = 600.0;
        t.free.push_back({0.5 * (c * e - s * n) + 17.0, 0.5 * (s * e + c * n) - 40.0});
    }
    t.known[4].e += 8.0; // first fit: its residual −2.79 m east is the largest
    const FitOutcome fit = FitPlaneWithRejection(t.free, t.known, t.computed, {1, 2, 3, 4}, 2.0);
    ASSERT_TRUE(fit.applied);
    EXPECT_TRUE(fit.stations[3].rejected);
    EXPECT_NEAR(fit.stations[3].east, -8.0, 1e-8);
    EXPECT_NEAR(fit.stations[0].north, 0.0, 1e-8);
    EXPECT_NEAR(t.free[4].e, 1600.0, 1e-8);
}

TEST(PlaneFit, AResidualOfExactlyTheToleranceIsAccepted) {
    // Free (0,0), (10,0), (0,10) onto known shifted so that the fit leaves
    // residuals of exactly ±2 m (computed by hand: the centroid shift takes
    // a third of a 6 m displacement of the third station).
    std::vector<PlanePoint> free{{}, {0.0, 0.0}, {10.0, 0.0}, {5.0, 0.0}};
    std::vector<PlanePoint> known{{}, {0.0, 0.0}, {10.0, 0.0}, {5.0, 3.0}};
    // Collinear free points: scale and rotation from the line; the third
    // known station lies 3 m off it. Residuals: n = −1, −1, +2 → fit n shift
    // 1 (centroid), rotation 0, scale 1: station 3 residual −2.
    std::vector<int> computed{0, 1, 1, 1};
    const FitOutcome fit = FitPlaneWithRejection(free, known, computed, {1, 2, 3}, 2.0);
    ASSERT_TRUE(fit.applied);
    EXPECT_NEAR(fit.stations[2].north, -2.0, 1e-12);
    for (const FitResidual& r : fit.stations)
        EXPECT_FALSE(r.rejected);
}

TEST(PlaneFit, FewerThanTwoStationsTransformNothing) {
    Triangle t;
    const std::vector<PlanePoint> before = t.free;
    const FitOutcome fit = FitPlaneWithRejection(t.free, t.known, t.computed, {2}, 2.0);
    EXPECT_FALSE(fit.applied);
    EXPECT_EQ(t.free[3].e, before[3].e);
}

TEST(PlaneFit, CoincidingFreePositionsDoNotShrinkTheSolution) {
    // Both fit stations at the same free position: no rotation or scale is
    // fixed. The solution keeps its size (shift only) instead of collapsing
    // onto one point.
    std::vector<PlanePoint> free{{}, {5.0, 5.0}, {5.0, 5.0}, {105.0, 5.0}};
    std::vector<PlanePoint> known{{}, {0.0, 0.0}, {0.0, 1.0}, {}};
    std::vector<int> computed{0, 1, 1, 1};
    FitPlaneWithRejection(free, known, computed, {1, 2}, 2.0);
    EXPECT_NEAR(free[3].e - free[1].e, 100.0, 1e-9);
}

TEST(HeightFit, TheOutlyingKnownHeightIsRejectedAndTheShiftIsTenMetres) {
    std::vector<double> computed{0.0, 0.0, 0.1, 0.0, 3.0};
    const std::vector<double> known{0.0, 10.0, 10.1, 25.0, 0.0};
    const std::vector<int> has{0, 1, 1, 1, 1};
    const FitOutcome fit = FitHeightsWithRejection(computed, known, has, {1, 2, 3}, 2.0);
    ASSERT_TRUE(fit.applied);
    EXPECT_NEAR(fit.shift, 10.0, 1e-12);
    EXPECT_FALSE(fit.stations[0].rejected);
    EXPECT_FALSE(fit.stations[1].rejected);
    EXPECT_TRUE(fit.stations[2].rejected);
    EXPECT_NEAR(computed[1], 10.0, 1e-12);
    EXPECT_NEAR(computed[4], 13.0, 1e-12);
    EXPECT_NEAR(fit.stations[2].height, -15.0, 1e-12);
}

TEST(HeightFit, AnEmptyListShiftsNothing) {
    std::vector<double> computed{0.0, 4.0};
    const FitOutcome fit = FitHeightsWithRejection(computed, {0.0, 9.0}, {0, 1}, {}, 2.0);
    EXPECT_FALSE(fit.applied);
    EXPECT_EQ(computed[1], 4.0);
}
