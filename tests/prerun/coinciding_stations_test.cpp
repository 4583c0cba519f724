// Stations that may be one point entered twice: pairs closer than 2 m in
// space, and stations at the very same position reported once.
#include "prerun/prerun_fixture.h"

namespace TavexTest {
namespace {

constexpr int kCoinciding = 3;

class CoincidingStations : public PreRunTest {
protected:
    void SetUp() override {
        PreRunTest::SetUp();
        net.Settings().Dimension = 3;
    }
    // Every station is tied by a GPS coordinate of its own.
    void Tie() {
        for (unsigned s = 1; s <= net.Count(); ++s)
            net.GpsCoordinate(s);
    }
    std::vector<std::vector<std::string>> Pairs() {
        std::vector<std::vector<std::string>> out;
        const auto blocks = OfKind(Run(), kCoinciding);
        EXPECT_LE(blocks.size(), 1u);
        for (const PreRunCheck& c : blocks)
            for (const xmlNode* r : c.records)
                out.push_back({Attribute(r, "station1"), Attribute(r, "station2")});
        return out;
    }
    using Pairs_t = std::vector<std::vector<std::string>>;
};

TEST_F(CoincidingStations, TwoMetresApartIsNotCoinciding) {
    // On the equator at longitude 0 a height step is a step along X alone:
    // A and B are exactly 2.000 m apart, C and D (at 0.1° east) 1.999 m.
    net.AddStation("A", 0.0, 0.0, 0.0);
    net.AddStation("B", 0.0, 0.0, 2.0);
    net.AddStation("C", 0.0, 0.1, 0.0);
    net.AddStation("D", 0.0, 0.1, 1.999);
    net.AddStation("E", 0.01, 0.05, 0.0);
    Tie();
    EXPECT_EQ(Pairs(), Pairs_t({{"C", "D"}}));
    const auto blocks = OfKind(Run(), kCoinciding);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_NEAR(Number(blocks[0].records[0], "distance"), 1.999, 1e-8);
    EXPECT_EQ(Attribute(blocks[0].records[0], "stationNumber1"), "3");
    EXPECT_EQ(Attribute(blocks[0].records[0], "stationNumber2"), "4");
}

TEST_F(CoincidingStations, ThreeStationsAtOnePositionGiveTwoPairs) {
    // B is marked by (A, B), so (B, C) is not reported again.
    net.AddStation("A", 52.0, 5.0, 10.0);
    net.AddStation("B", 52.0, 5.0, 10.0);
    net.AddStation("C", 52.0, 5.0, 10.0);
    net.AddStation("D", 52.01, 5.0, 10.0);
    Tie();
    EXPECT_EQ(Pairs(), Pairs_t({{"A", "B"}, {"A", "C"}}));
}

TEST_F(CoincidingStations, NearbyStationsAreNotMarked) {
    // 1 m apart is not the same point: (B, C) is still looked at.
    net.AddStation("A", 52.0, 5.0, 10.0);
    net.AddStation("B", 52.0, 5.0, 11.0);
    net.AddStation("C", 52.0, 5.0, 12.5);
    net.AddStation("D", 52.01, 5.0, 10.0);
    Tie();
    EXPECT_EQ(Pairs(), Pairs_t({{"A", "B"}, {"B", "C"}}));
}

TEST_F(CoincidingStations, NoPairNoBlock) {
    net.AddStation("A", 52.0, 5.0, 10.0);
    net.AddStation("B", 52.0, 5.0, 12.5);
    net.AddStation("C", 52.01, 5.0, 10.0);
    Tie();
    EXPECT_TRUE(OfKind(Run(), kCoinciding).empty());
}

} // namespace
} // namespace TavexTest
