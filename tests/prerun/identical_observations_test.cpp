// Observations entered twice: exact copies of one record, and height
// differences and baselines given to a wrong pair of stations.
#include "prerun/prerun_fixture.h"

namespace TavexTest {
namespace {

constexpr int kIdentical = 4;

class IdenticalObservations : public PreRunTest {
protected:
    void SetUp() override {
        PreRunTest::SetUp();
        Quadrilateral();
        net.MakeKnown(1, 12);
        net.MakeKnown(2, 12);
    }
    std::vector<std::vector<std::string>> Groups() {
        std::vector<std::vector<std::string>> out;
        for (const PreRunCheck& c : OfKind(Run(), kIdentical))
            out.push_back(Column(c, "record"));
        return out;
    }
    using Groups_t = std::vector<std::vector<std::string>>;
    // A kind-5 height difference with a stored line length and σ 1 mm.
    void Leveled(unsigned from, unsigned to, double reading, double length) {
        net.HeightDifference(from, to, 0.001);
        Tavex::_OBSERVATION& o = net.ObservationRecords().back();
        o.K5.Reading = reading;
        o.K5.Precision[3] = length;
    }
};

TEST_F(IdenticalObservations, TheSameRecordTwiceAndThreeTimes) {
    net.HorizontalDistance(1, 3);
    net.HorizontalDistance(2, 4);
    net.HorizontalDistance(1, 3);
    EXPECT_EQ(Groups(), Groups_t({{"1", "3"}}));
    const auto blocks = OfKind(Run(), kIdentical);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(Column(blocks[0], "station"), std::vector<std::string>({"A", "A"}));
    EXPECT_EQ(Column(blocks[0], "target"), std::vector<std::string>({"C", "C"}));
    EXPECT_NE(Column(blocks[0], "reading2")[0], "");

    net.HorizontalDistance(1, 3);
    EXPECT_EQ(Groups(), Groups_t({{"1", "3", "4"}}));
}

TEST_F(IdenticalObservations, ACopyWithAnotherInstrumentHeightIsNoDuplicate) {
    net.TotalStation(1, 3, 1, true, true, false);
    Repeat();
    net.ObservationRecords().back().K100.StationHeight = 1.6;
    EXPECT_TRUE(Groups().empty());
}

TEST_F(IdenticalObservations, AHeightDifferenceOnAnotherLegIsStatisticallyIdentical) {
    // A→B 1.234 m and A→C 1.235 m over the same 500 m, σ 1 mm: 1 mm is below
    // 3.29 · √2 mm. A→D 1.250 m is not (16 mm), nor is a 1.2345 m leg of
    // 560 m (more than a tenth longer).
    net.Settings().Dimension = 1;
    Leveled(1, 2, 1.234, 500.0);
    Leveled(1, 3, 1.235, 500.0);
    Leveled(1, 4, 1.250, 500.0);
    Leveled(4, 2, 1.2345, 560.0);
    EXPECT_EQ(Groups(), Groups_t({{"1", "2"}}));
}

TEST_F(IdenticalObservations, ABaselineCopiedOntoTheWrongPair) {
    // A→B copied onto A→D, and onto C→A with its components negated; a
    // genuine A→C baseline is not taken for it.
    net.Settings().Dimension = 3;
    net.GpsBaseline(1, 2);
    Repeat();
    net.ObservationRecords().back().K6.Target = 4;
    Repeat();
    {
        Tavex::_OBSERVATION& o = net.ObservationRecords().back();
        o.K6.Station = 3;
        o.K6.Target = 1;
        for (int c = 0; c < 3; ++c)
            o.K6.Reading[c] = -o.K6.Reading[c];
    }
    net.GpsBaseline(1, 3);
    EXPECT_EQ(Groups(), Groups_t({{"1", "2", "3"}}));
}

} // namespace
} // namespace TavexTest
