// A distance and zenith angle between two stations at the same approximate
// position, with no instrument or target height between them: the zenith
// angle's standard deviation divides its length-dependent part by the
// distance between the points. The record is left out with warning 726, as
// in 3D, instead of a design in 1D handing back the NaN standard deviation of
// its trigonometric height difference as a success.
#include "support/synthetic_network.h"
#include "tavex/tavex.h"

#include <gtest/gtest.h>

#include <cmath>

namespace Tavex {
namespace {

using TavexTest::SyntheticNetwork;

class ZeroSeparation : public ::testing::Test {
protected:
    // Known height A, a levelled line A–B, a levelled line A–C, and a
    // total-station record from B to C, where C's approximate position is
    // B's.
    void SetUp() override {
        net.Settings().Dimension = 1;
        net.AddStation("A", 52.000, 5.000, 10.0);
        net.AddStation("B", 52.010, 5.020, 12.0);
        net.AddStation("C", 52.010, 5.020, 12.0);
        net.MakeKnown(1, 10, 0.0, 0.001);
        net.HeightDifference(1, 2);
        net.HeightDifference(1, 3);
        net.TrigonometricPair(2, 3);
        _OBSERVATION& o = net.ObservationRecords()[3];
        o.K100.StationHeight = 0.0;
        o.K100.TargetHeight = 0.0;
        o.K100.Reading[1] = 0.0;
        o.K100.Reading[2] = 0.0;
    }
    void TearDown() override { Release(); }

    void ExpectLeftOutAndFinite(int result) {
        ASSERT_EQ(result, 1) << net.AllMessages();
        EXPECT_FALSE(net.MessageText(726).empty()) << net.AllMessages();
        for (unsigned s = 2; s <= 3; ++s)
            EXPECT_TRUE(std::isfinite(+net.StationRecords()[s - 1].Cov[5])) << s;
        const _OBSERVATION& o = net.ObservationRecords()[3];
        for (int i = 0; i < 3; ++i)
            EXPECT_FALSE(std::isnan(+o.Terrestrial.Sd[i])) << i;
    }

    SyntheticNetwork net;
};

TEST_F(ZeroSeparation, ADesignLeavesTheRecordOut) {
    net.Settings().AdjDesign = 1;
    ExpectLeftOutAndFinite(net.Adjust());
}

TEST_F(ZeroSeparation, AnAdjustmentLeavesTheRecordOut) {
    ExpectLeftOutAndFinite(net.Adjust());
}

} // namespace
} // namespace Tavex
