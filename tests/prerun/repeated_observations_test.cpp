// Repeated observations that contradict each other: groups of distances,
// height differences, directions and zenith angles with planted errors; the
// reference, the marks and the differences against hand-worked values.
#include "prerun/prerun_fixture.h"

#include <cmath>

namespace TavexTest {
namespace {

constexpr int kRepeated = 0;

class RepeatedObservations : public PreRunTest {
protected:
    void SetUp() override {
        PreRunTest::SetUp();
        Quadrilateral();
        net.MakeKnown(1, 12);
        net.MakeKnown(2, 12);
    }
    // The blocks of check kind 0 for one row kind.
    std::vector<PreRunCheck> Blocks(int rowKind) {
        std::vector<PreRunCheck> out;
        for (const PreRunCheck& c : OfKind(Run(), kRepeated))
            if (c.observationKind == rowKind)
                out.push_back(c);
        return out;
    }
    static std::vector<double> Numbers(const PreRunCheck& check, const char* attribute) {
        std::vector<double> out;
        for (const xmlNode* r : check.records)
            out.push_back(Number(r, attribute));
        return out;
    }
    double Reading(std::size_t record, int slot = 1) {
        const Tavex::_OBSERVATION& o = net.ObservationRecords()[record];
        return o.Kind == 4 ? o.K4.Reading : (o.Kind == 5 ? o.K5.Reading : o.K100.Reading[slot]);
    }
    void SetDirection(double value) { net.ObservationRecords().back().K4.Reading = value; }
};

TEST_F(RepeatedObservations, ThreeDistancesWithOneWrong) {
    // Group 0 scaled by 1.00002; σ 2 mm each; the third reading 5 cm long.
    const double scale = 1.00002;
    net.Settings().ScaleFactor[0] = scale;
    net.HorizontalDistance(1, 3);
    DistanceSigma(0.002);
    Repeat();
    Repeat();
    AddToReading(0.05);
    const double l = Reading(1);
    const auto blocks = Blocks(2);
    ASSERT_EQ(blocks.size(), 1u);
    const PreRunCheck& g = blocks[0];
    EXPECT_EQ(g.title, "距离检核");
    EXPECT_EQ(Column(g, "record"), std::vector<std::string>({"1", "2", "3"}));
    // The wrong one is in two significant pairs, the others in one each:
    // the reference is the first good one, only the wrong one is marked.
    EXPECT_EQ(Column(g, "significant"), std::vector<std::string>({"0", "0", "1"}));
    const std::vector<double> reading = Numbers(g, "reading"), error = Numbers(g, "error");
    EXPECT_NEAR(reading[0], scale * l, 1e-9);
    EXPECT_NEAR(reading[2], scale * (l + 0.05), 1e-9);
    EXPECT_NEAR(error[0], 0.0, 1e-12);
    EXPECT_NEAR(error[1], 0.0, 1e-12);
    EXPECT_NEAR(error[2], scale * 0.05, 1e-9);
    EXPECT_NEAR(Numbers(g, "testValue")[2], scale * 0.05 / (0.002 * std::sqrt(2.0)), 1e-6);
    // A distance reduced in the record is labelled horizontal.
    EXPECT_EQ(Column(g, "horizontal"), std::vector<std::string>({"1", "1", "1"}));
    EXPECT_EQ(Column(g, "unit"), std::vector<std::string>({"m", "m", "m"}));
}

TEST_F(RepeatedObservations, TheBoundaryIsKTimesTheDifferencesSigma) {
    // Δ just below and just above k √(σ² + σ²) with σ = 2 mm.
    const double bound = CriticalW() * std::sqrt(2.0) * 0.002;
    net.HorizontalDistance(1, 3);
    DistanceSigma(0.002);
    Repeat();
    AddToReading(0.999 * bound);
    EXPECT_TRUE(Blocks(2).empty());
    AddToReading(0.002 * bound); // now 1.001 bound
    const auto blocks = Blocks(2);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(Column(blocks[0], "significant"), std::vector<std::string>({"0", "1"}));
    EXPECT_NEAR(Numbers(blocks[0], "error")[1], 1.001 * bound, 1e-9);
}

TEST_F(RepeatedObservations, DistancesOfOneKindAreComparedEitherWay) {
    // B→A and A→B are one group.
    net.HorizontalDistance(2, 1);
    DistanceSigma(0.002);
    net.HorizontalDistance(1, 2);
    DistanceSigma(0.002);
    AddToReading(0.03);
    const auto blocks = Blocks(2);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(Column(blocks[0], "station"), std::vector<std::string>({"B", "A"}));
    EXPECT_NEAR(Numbers(blocks[0], "error")[1], 0.03, 1e-9);
}

TEST_F(RepeatedObservations, OppositeHeightDifferencesAgreeByTheirSum) {
    net.Settings().Dimension = 1;
    net.HeightDifference(1, 2); // +2.000
    net.HeightDifference(2, 1); // −2.000
    net.HeightDifference(2, 3);
    net.HeightDifference(3, 1);
    EXPECT_TRUE(Blocks(5).empty());

    // B→A entered with the wrong sign: +2.000 against A→B's +2.000.
    net.ObservationRecords()[2].K5.Reading = 2.0;
    const auto blocks = Blocks(5);
    ASSERT_EQ(blocks.size(), 1u);
    const PreRunCheck& g = blocks[0];
    EXPECT_EQ(g.title, "高差检核");
    EXPECT_EQ(Column(g, "record"), std::vector<std::string>({"1", "2"}));
    EXPECT_EQ(Column(g, "significant"), std::vector<std::string>({"0", "1"}));
    // Turned into A→B's sense, −2 − (+2).
    EXPECT_NEAR(Numbers(g, "error")[1], -4.0, 1e-9);
    EXPECT_NEAR(Numbers(g, "reading")[1], 2.0, 1e-12);
    EXPECT_NEAR(Numbers(g, "testValue")[1], 4.0 / (0.001 * std::sqrt(2.0)), 1e-6);
}

TEST_F(RepeatedObservations, DirectionsEitherSideOfZeroDifferByTheSmallAngle) {
    const double turn = 2.0 * M_PI;
    net.Direction(1, 2, 1);
    net.Direction(1, 3, 1);
    SetDirection(turn - 1e-6);
    net.Direction(1, 3, 1);
    SetDirection(1e-6);
    net.Direction(1, 4, 1);
    // 2e-6 apart with σ 1e-5: consistent.
    EXPECT_TRUE(Blocks(1).empty());

    // 1.01e-4 apart: significant, and the difference is the small angle.
    net.ObservationRecords()[3].K4.Reading = 1e-4;
    const auto blocks = Blocks(1);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].title, "方向检核");
    EXPECT_EQ(Column(blocks[0], "record"), std::vector<std::string>({"2", "3"}));
    EXPECT_NEAR(Numbers(blocks[0], "error")[1], 1.01e-4, 1e-12);
    EXPECT_EQ(Column(blocks[0], "unit"), std::vector<std::string>({"rad", "rad"}));
}

TEST_F(RepeatedObservations, ASeriesWithOneWrongDirectionIsHeldResponsible) {
    // Three series at A to B, C, D; the direction to C in series 3 is 5e-4
    // rad off. Pairs (1, 3) and (2, 3) disagree: series 3 is listed with
    // r(1, T) − r(3, T), which the orientations 0.7 + 0.1 s + 0.01 set of
    // the synthetic network make 0.02 (less 5e-4 for C).
    for (unsigned set = 1; set <= 3; ++set)
        for (unsigned target = 2; target <= 4; ++target) {
            net.Direction(1, target, set);
            if (set == 3 && target == 3)
                AddToReading(5e-4);
        }
    const auto blocks = Blocks(1);
    ASSERT_EQ(blocks.size(), 1u);
    const PreRunCheck& g = blocks[0];
    EXPECT_EQ(g.title, "序列号检核");
    EXPECT_EQ(Column(g, "record"), std::vector<std::string>({"7", "8", "9"}));
    EXPECT_EQ(Column(g, "target"), std::vector<std::string>({"B", "C", "D"}));
    EXPECT_EQ(Column(g, "significant"), std::vector<std::string>({"0", "1", "0"}));
    const std::vector<double> error = Numbers(g, "error");
    EXPECT_NEAR(error[0], 0.02, 1e-9);
    EXPECT_NEAR(error[1], 0.02 - 5e-4, 1e-9);
    EXPECT_NEAR(error[2], 0.02, 1e-9);
    EXPECT_NEAR(Numbers(g, "reading")[1], Reading(8), 1e-12);
}

TEST_F(RepeatedObservations, TwoSeriesThatDisagreeAreStillReported) {
    // With two series the disagreement cannot be put on one of them; the
    // later one is listed, with r(1, T) − r(2, T) = 0.01.
    for (unsigned set = 1; set <= 2; ++set)
        for (unsigned target = 2; target <= 4; ++target) {
            net.Direction(1, target, set);
            if (set == 2 && target == 4)
                AddToReading(-4e-4);
        }
    const auto blocks = Blocks(1);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(Column(blocks[0], "record"), std::vector<std::string>({"4", "5", "6"}));
    const std::vector<double> error = Numbers(blocks[0], "error");
    EXPECT_NEAR(error[0], 0.01, 1e-9);
    EXPECT_NEAR(error[2], 0.01 + 4e-4, 1e-9);
    EXPECT_EQ(Column(blocks[0], "significant"), std::vector<std::string>({"0", "0", "1"}));

    // Consistent series report nothing.
    net.ObservationRecords()[6].K4.Reading += 4e-4;
    EXPECT_TRUE(Blocks(1).empty());
}

TEST_F(RepeatedObservations, ZenithAnglesAreComparedInTheFirstFace) {
    net.Settings().Dimension = 3;
    net.TotalStation(1, 3, 1, true, true, true);
    net.TotalStation(1, 3, 1, true, true, true);
    net.SecondFace();
    EXPECT_TRUE(Blocks(3).empty());

    net.TotalStation(1, 3, 1, true, true, true);
    AddToReading(1e-3, 2);
    const auto blocks = Blocks(3);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].title, "天顶距检核");
    EXPECT_EQ(Column(blocks[0], "significant"), std::vector<std::string>({"0", "0", "1"}));
    const std::vector<double> error = Numbers(blocks[0], "error");
    EXPECT_NEAR(error[1], 0.0, 1e-12);
    EXPECT_NEAR(error[2], 1e-3, 1e-12);
}

} // namespace
} // namespace TavexTest
