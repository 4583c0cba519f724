// Observations against the approximate coordinates: a row is reported when
// half its misclosure exceeds ten times the W-test critical value times its
// standard deviation. Errors are planted in readings computed from the true
// positions, or the approximate coordinates are moved away from them.
#include "prerun/prerun_fixture.h"

#include <cmath>

namespace TavexTest {
namespace {

constexpr int kApproximate = 1;

class ApproximateCheck : public PreRunTest {
protected:
    void SetUp() override {
        PreRunTest::SetUp();
        Quadrilateral();
        net.MakeKnown(1, 12);
        net.MakeKnown(2, 12);
    }
    // Every distance of the quadrilateral with σ = 2 mm; the planted error
    // goes onto the pair given.
    void Distances(unsigned from, unsigned to, double error) {
        for (unsigned a = 1; a <= 4; ++a)
            for (unsigned b = a + 1; b <= 4; ++b) {
                net.HorizontalDistance(a, b);
                DistanceSigma(0.002);
                if (a == from && b == to)
                    AddToReading(error);
            }
    }
    PreRunCheck Block() {
        const auto blocks = OfKind(Run(), kApproximate);
        EXPECT_EQ(blocks.size(), 1u);
        return blocks.empty() ? PreRunCheck{} : blocks[0];
    }
};

TEST_F(ApproximateCheck, TheThresholdIsTenTimesTheCriticalValue) {
    // 0.5 · e / 2 mm against 10 · 3.2931: e = 0.1318 m gives 32.95 and is
    // reported, e = 0.1314 m gives 32.85 and is not.
    EXPECT_NEAR(10.0 * CriticalW(), 32.931, 1e-3);
    Distances(1, 3, 0.1318);
    PreRunCheck block = Block();
    ASSERT_EQ(block.records.size(), 1u);
    const xmlNode* r = block.records[0];
    EXPECT_EQ(Attribute(r, "record"), "2");
    EXPECT_EQ(Attribute(r, "station"), "A");
    EXPECT_EQ(Attribute(r, "target"), "C");
    EXPECT_NEAR(Number(r, "error"), 0.1318, 1e-5);
    EXPECT_NEAR(Number(r, "reading"), net.ObservationRecords()[2].K100.Reading[1], 1e-9);
    EXPECT_NEAR(Number(r, "testValue"), 0.5 * 0.1318 / 0.002, 5e-3);
    EXPECT_EQ(Attribute(r, "significant"), "1");

    net.ObservationRecords()[2].K100.Reading[1] -= 0.0004;
    EXPECT_TRUE(Block().records.empty());
}

TEST_F(ApproximateCheck, ADistancesTestValueDoesNotGrowWithItsLength) {
    // The same 0.2 m error on lines of 1.7 km and 2.2 km, both σ = 2 mm:
    // the test value is 0.5 · 0.2 / 0.002 = 50 for both.
    Distances(1, 2, 0.2);
    net.HorizontalDistance(1, 3);
    DistanceSigma(0.002);
    AddToReading(0.2);
    const PreRunCheck block = Block();
    ASSERT_EQ(block.records.size(), 2u);
    for (const xmlNode* r : block.records)
        EXPECT_NEAR(Number(r, "testValue"), 50.0, 5e-3);
}

TEST_F(ApproximateCheck, AWrongDirectionIsReportedWithItsError) {
    // The set's orientation comes from its first direction, so the error on
    // a later one is its whole misclosure: 1e-3 rad against σ 1e-5 rad. C
    // and D are known, or their one direction would make them side shots.
    net.MakeKnown(3, 12);
    net.MakeKnown(4, 12);
    net.Direction(1, 2, 1);
    net.Direction(1, 3, 1);
    net.Direction(1, 4, 1);
    AddToReading(1e-3);
    const PreRunCheck block = Block();
    ASSERT_EQ(block.records.size(), 1u);
    EXPECT_EQ(Attribute(block.records[0], "record"), "3");
    EXPECT_NEAR(Number(block.records[0], "error"), 1e-3, 1e-8);
    EXPECT_EQ(Attribute(block.records[0], "unit"), "rad");
}

TEST_F(ApproximateCheck, MovedApproximateHeightsShowInTheHeightDifferences) {
    // C's approximate height 0.5 m too high: A→C and B→C are 0.5 m short of
    // it, B→A is untouched.
    net.Settings().Dimension = 1;
    net.HeightDifference(1, 3);
    net.HeightDifference(2, 3);
    net.HeightDifference(2, 1);
    net.Shift(3, 0.0, 0.0, 0.5);
    const PreRunCheck block = Block();
    ASSERT_EQ(block.records.size(), 2u);
    EXPECT_EQ(Column(block, "record"), std::vector<std::string>({"1", "2"}));
    for (const xmlNode* r : block.records) {
        EXPECT_NEAR(Number(r, "error"), -0.5, 1e-9);
        EXPECT_NEAR(Number(r, "testValue"), 0.5 * 0.5 / 0.001, 1e-6);
    }
}

TEST_F(ApproximateCheck, AZeroStandardDeviationReportsAnyMisclosure) {
    net.Settings().Dimension = 1;
    net.HeightDifference(1, 3, 0.0);
    AddToReading(1e-6);
    const PreRunCheck block = Block();
    ASSERT_EQ(block.records.size(), 1u);
    EXPECT_NEAR(Number(block.records[0], "error"), 1e-6, 1e-12);
}

} // namespace
} // namespace TavexTest
