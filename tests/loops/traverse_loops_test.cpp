// Traverse loops of directions and distances: closure of exact
// observations whichever way the angles turn, planted errors, stations
// without angles, and the standard deviations against a numerical
// propagation through the run itself.
#include "loops/loop_fixture.h"

#include <cmath>

namespace TavexTest {
namespace {

// Four stations round a quadrilateral, a total-station record (direction of
// set 1 and horizontal distance) from every station to each neighbour; the
// stations are numbered clockwise or anticlockwise.
struct Quadrilateral {
    SyntheticNetwork net;
    unsigned s[4];
    explicit Quadrilateral(bool clockwise, bool diagonal = false) {
        net.Settings().Dimension = 2;
        const int rows[4] = {0, 0, 1, 1}, cols[4] = {0, 1, 1, 0};
        for (int i = 0; i < 4; ++i) {
            const int j = clockwise ? i : (4 - i) % 4;
            s[i] = GridStation(net, rows[j], cols[j], 250.0 + 40.0 * j);
        }
        for (int i = 0; i < 4; ++i) {
            net.TotalStation(s[i], s[(i + 1) % 4], 1, true, true, false);
            net.TotalStation(s[(i + 1) % 4], s[i], 1, true, true, false);
        }
        if (diagonal) {
            net.TotalStation(s[0], s[2], 1, true, true, false);
            net.TotalStation(s[2], s[0], 1, true, true, false);
        }
    }
    // The record from station a to b.
    Tavex::_OBSERVATION& Record(unsigned a, unsigned b) {
        for (auto& r : net.ObservationRecords())
            if (r.Kind == 100 && r.K100.Station == a && r.K100.Target == b)
                return r;
        ADD_FAILURE() << "no record " << a << "-" << b;
        return net.ObservationRecords()[0];
    }
};

TEST(TraverseLoops, ExactObservationsCloseWithInteriorOrExteriorAngles) {
    for (bool clockwise : {true, false}) {
        Quadrilateral q(clockwise);
        auto found = FindLoopsOf(q.net);
        ASSERT_EQ(found->status, 1);
        ASSERT_EQ(found->Count(), 1);
        const Tavex::CLoopResults& loop = (*found)[0];
        EXPECT_EQ(loop.Kind, 1);
        EXPECT_NEAR(loop.Misclosure[2], 0.0, 1e-7) << "clockwise " << clockwise;
        EXPECT_NEAR(loop.Misclosure[0], 0.0, 2e-4);
        EXPECT_NEAR(loop.Misclosure[1], 0.0, 2e-4);
        EXPECT_GT(loop.Sd[2], 1e-5);
        EXPECT_FALSE(Flagged(loop));
    }
}

TEST(TraverseLoops, PlantedDirectionErrorShowsInTheAngleMisclosure) {
    for (bool clockwise : {true, false}) {
        Quadrilateral q(clockwise, true);
        q.Record(q.s[1], q.s[2]).K100.Reading[0] += 3e-4;
        auto found = FindLoopsOf(q.net);
        ASSERT_EQ(found->Count(), 2); // 5 − 4 + 1
        for (int k = 0; k < 2; ++k) {
            const Tavex::CLoopResults& loop = (*found)[k];
            // Only the loop through s1 with s2 as its neighbour holds the
            // spoilt angle.
            const bool holds = HasLeg(loop, q.s[1], q.s[2]);
            EXPECT_NEAR(std::fabs(loop.Misclosure[2]), holds ? 3e-4 : 0.0, 1e-7);
            EXPECT_EQ(Flagged(loop), holds);
        }
    }
}

TEST(TraverseLoops, PlantedDistanceErrorShowsInTheCoordinateMisclosure) {
    Quadrilateral q(true, true);
    q.Record(q.s[3], q.s[0]).K100.Reading[1] += 0.06;
    q.Record(q.s[0], q.s[3]).K100.Reading[1] += 0.06;
    auto found = FindLoopsOf(q.net);
    ASSERT_EQ(found->Count(), 2);
    for (int k = 0; k < 2; ++k) {
        const Tavex::CLoopResults& loop = (*found)[k];
        const bool holds = HasLeg(loop, q.s[3], q.s[0]);
        EXPECT_NEAR(std::hypot(loop.Misclosure[0], loop.Misclosure[1]), holds ? 0.06 : 0.0, 3e-4);
        EXPECT_NEAR(loop.Misclosure[2], 0.0, 1e-7);
        EXPECT_EQ(Flagged(loop), holds);
    }
}

TEST(TraverseLoops, OneStationWithoutAngleGivesCoordinatesOnlyTwoGiveNothing) {
    for (int without = 1; without <= 2; ++without) {
        Quadrilateral q(true);
        for (int i = 0; i < without; ++i) {
            const unsigned at = q.s[2 * i];
            q.Record(at, q.s[(2 * i + 1) % 4]).K100.Off[0] = 1;
        }
        auto found = FindLoopsOf(q.net);
        ASSERT_EQ(found->Count(), 1);
        const Tavex::CLoopResults& loop = (*found)[0];
        EXPECT_EQ(loop.Kind, without == 1 ? 2 : 3);
        EXPECT_EQ(loop.StationsWithoutAngle.size(), static_cast<std::size_t>(without));
        EXPECT_EQ(loop.Misclosure[2], 0.0);
        if (without == 1) {
            EXPECT_NEAR(loop.Misclosure[0], 0.0, 2e-4);
            EXPECT_NEAR(loop.Misclosure[1], 0.0, 2e-4);
            EXPECT_GT(loop.Sd[0], 0.0);
        } else {
            EXPECT_EQ(loop.Sd[0], 0.0);
        }
    }
}

// σ² = Σ (∂f/∂x σ_x)² with the derivatives taken numerically by running the
// search again with each reading moved.
TEST(TraverseLoops, StandardDeviationsAgreeWithNumericalPropagation) {
    Quadrilateral q(false);
    q.Record(q.s[1], q.s[0]).K100.Reading[1] += 0.01; // a small misclosure
    auto base = FindLoopsOf(q.net);
    ASSERT_EQ(base->Count(), 1);
    const Tavex::CLoopResults& loop = (*base)[0];
    double variance[3] = {0, 0, 0};
    for (auto& r : q.net.ObservationRecords()) {
        if (r.Kind != 100)
            continue;
        for (int slot : {0, 1}) {
            const double s = std::hypot(0.0, r.K100.Reading[1]);
            const double sigma =
                slot == 0 ? r.K100.Precision[0] : r.K100.Precision[2] + r.K100.Precision[3] * s;
            const double step = slot == 0 ? 1e-6 : 1e-4;
            r.K100.Reading[slot] += step;
            auto moved = FindLoopsOf(q.net);
            r.K100.Reading[slot] -= step;
            ASSERT_EQ(moved->Count(), 1);
            ASSERT_EQ((*moved)[0].Stations, loop.Stations);
            for (int m = 0; m < 3; ++m) {
                const double derivative = ((*moved)[0].Misclosure[m] - loop.Misclosure[m]) / step;
                variance[m] += std::pow(derivative * sigma, 2);
            }
        }
    }
    for (int m = 0; m < 3; ++m)
        EXPECT_NEAR(loop.Sd[m], std::sqrt(variance[m]), 2e-3 * std::sqrt(variance[m]))
            << "misclosure " << m;
}

} // namespace
} // namespace TavexTest
