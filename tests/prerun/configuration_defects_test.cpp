// Configuration defects of whole networks: the number of flagged unknowns
// against the rank defect of the dense normal matrix and against what the
// observations leave open by construction (exact null vectors: shifts of a
// levelling network, a station moving across the line of its only
// distances, a height no observation involves), the lines of the document,
// and what a design computation and a height network leave out.
#include "prerun/prerun_fixture.h"

namespace TavexTest {
namespace {

constexpr int kDefects = 2, kCoinciding = 3;
const char* const kPlane = "测站的平面奇异 ";
const char* const kHeight = "测站的高程奇异 ";

class ConfigurationDefects : public PreRunTest {
protected:
    // Every pair of the quadrilateral observed by a horizontal distance,
    // with directions from every station when asked.
    void ObserveQuadrilateral(bool directions) {
        for (unsigned a = 1; a <= 4; ++a)
            for (unsigned b = a + 1; b <= 4; ++b)
                net.HorizontalDistance(a, b);
        if (directions)
            for (unsigned a = 1; a <= 4; ++a)
                for (unsigned b = 1; b <= 4; ++b)
                    if (a != b)
                        net.Direction(a, b, 1);
    }
};

TEST_F(ConfigurationDefects, ALevellingNetworkWithoutAKnownHeightHasOneDefectPerPart) {
    // Height differences fix heights up to a common shift: one free part,
    // one flag; two parts not tied to each other, two flags, one in each.
    net.Settings().Dimension = 1;
    Quadrilateral();
    net.AddStation("E", 52.03, 5.01, 20.0);
    net.AddStation("F", 52.04, 5.02, 25.0);
    net.HeightDifference(1, 2);
    net.HeightDifference(2, 3);
    net.HeightDifference(3, 4);
    net.HeightDifference(4, 1);
    net.HeightDifference(1, 3);
    net.HeightDifference(5, 6);
    net.HeightDifference(6, 5);
    Defects defects = CountDefects();
    EXPECT_EQ(defects.rankDefect, 2);
    EXPECT_EQ(defects.flagged, 2u);
    auto blocks = OfKind(Run(), kDefects);
    ASSERT_EQ(blocks.size(), 1u);
    std::vector<std::string> lines = Column(blocks[0], "text");
    ASSERT_EQ(lines.size(), 2u);
    const std::string first = lines[0].substr(std::string(kHeight).size());
    const std::string second = lines[1].substr(std::string(kHeight).size());
    EXPECT_TRUE(first >= "A" && first <= "D") << lines[0];
    EXPECT_TRUE(second == "E" || second == "F") << lines[1];

    // A known height in the first part leaves the second part's defect.
    net.MakeKnown(2, 10);
    defects = CountDefects();
    EXPECT_EQ(defects.rankDefect, 1);
    EXPECT_EQ(defects.flagged, 1u);
    blocks = OfKind(Run(), kDefects);
    ASSERT_EQ(blocks.size(), 1u);
    lines = Column(blocks[0], "text");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(lines[0] == std::string(kHeight) + "E" || lines[0] == std::string(kHeight) + "F");
    EXPECT_EQ(Column(blocks[0], "message"), std::vector<std::string>({"451"}));
}

TEST_F(ConfigurationDefects, EveryUndeterminedStationIsListed) {
    // C hangs on A and D on B by two distances each, every line along a
    // meridian: each is free to move east, two defects found in one pass.
    net.AddStation("A", 52.000, 5.000, 10.0);
    net.AddStation("B", 52.010, 5.020, 12.0);
    net.AddStation("C", 52.020, 5.000, 14.0);
    net.AddStation("D", 52.030, 5.020, 9.0);
    net.MakeKnown(1, 12);
    net.MakeKnown(2, 12);
    net.HorizontalDistance(1, 2);
    net.HorizontalDistance(1, 3);
    net.HorizontalDistance(3, 1);
    net.HorizontalDistance(2, 4);
    net.HorizontalDistance(4, 2);
    const Defects defects = CountDefects();
    EXPECT_EQ(defects.rankDefect, 2);
    EXPECT_EQ(defects.flagged, 2u);
    const auto blocks = OfKind(Run(), kDefects);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(Column(blocks[0], "text"),
              std::vector<std::string>({std::string(kPlane) + "C", std::string(kPlane) + "D"}));
    EXPECT_EQ(Column(blocks[0], "message"), std::vector<std::string>({"450", "450"}));
}

TEST_F(ConfigurationDefects, AStationWithoutItsSecondDistanceIsSingular) {
    // C is tied to A by two distances only, along A's meridian: its east
    // position is open.
    Quadrilateral();
    for (unsigned s : {1u, 2u, 4u})
        net.MakeKnown(s, 12);
    net.HorizontalDistance(1, 2);
    net.HorizontalDistance(2, 4);
    net.HorizontalDistance(1, 3);
    net.HorizontalDistance(3, 1);
    EXPECT_EQ(CountDefects().flagged, 1u);
    auto blocks = OfKind(Run(), kDefects);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(Column(blocks[0], "text"), std::vector<std::string>({std::string(kPlane) + "C"}));
    EXPECT_EQ(Column(blocks[0], "stationNumber"), std::vector<std::string>({"3"}));

    // The missing distance from B fixes it.
    net.HorizontalDistance(2, 3);
    EXPECT_EQ(CountDefects().flagged, 0u);
    EXPECT_TRUE(OfKind(Run(), kDefects).empty());
    const std::string report = Report();
    EXPECT_NE(report.find("没有探测到配置缺陷"), std::string::npos);
}

TEST_F(ConfigurationDefects, ADesignComputationRunsNoObservationChecks) {
    // A wrong repeated distance and a record entered twice: an adjustment's
    // pre-run reports both, a design's neither.
    Quadrilateral();
    net.MakeKnown(1, 12);
    net.MakeKnown(2, 12);
    ObserveQuadrilateral(true);
    net.HorizontalDistance(1, 3);
    AddToReading(0.5);
    Repeat();
    const auto adjustment = Run();
    EXPECT_FALSE(OfKind(adjustment, 0).empty());
    EXPECT_EQ(OfKind(adjustment, 1).size(), 1u);
    EXPECT_FALSE(OfKind(adjustment, 4).empty());

    net.Settings().AdjDesign = 1;
    for (const PreRunCheck& check : Run())
        EXPECT_TRUE(check.kind == kDefects || check.kind == kCoinciding) << check.kind;
    const std::string report = Report();
    EXPECT_NE(report.find("配置缺陷"), std::string::npos);
    EXPECT_NE(report.find("可能重合的测站"), std::string::npos);
    EXPECT_EQ(report.find("输入观测值的检核"), std::string::npos);
    EXPECT_EQ(report.find("输入观测值和近似坐标的检核"), std::string::npos);
    EXPECT_EQ(report.find("可能相同的观测值"), std::string::npos);
}

TEST_F(ConfigurationDefects, AHeightNetworkRunsNoCoincidingCheck) {
    // B sits 0.5 m above A: in 3D a coinciding pair, in 1D not looked for.
    net.Settings().Dimension = 1;
    net.AddStation("A", 52.0, 5.0, 10.0);
    net.AddStation("B", 52.0, 5.0, 10.5);
    net.AddStation("C", 52.01, 5.0, 12.0);
    net.MakeKnown(1, 10);
    net.HeightDifference(1, 2);
    net.HeightDifference(2, 3);
    net.HeightDifference(3, 1);
    const auto checks = Run();
    EXPECT_TRUE(OfKind(checks, kCoinciding).empty());
    EXPECT_TRUE(OfKind(checks, kDefects).empty());
    const std::string report = Report();
    EXPECT_NE(report.find("没有检测到重复的测站"), std::string::npos);
}

TEST_F(ConfigurationDefects, ACleanNetworkReportsNothing) {
    Quadrilateral();
    net.MakeKnown(1, 12);
    net.MakeKnown(2, 12);
    ObserveQuadrilateral(true);
    const auto checks = Run();
    // Only the check against approximate coordinates, which is always
    // there, and empty.
    ASSERT_EQ(checks.size(), 1u);
    EXPECT_EQ(checks[0].kind, 1);
    EXPECT_TRUE(checks[0].records.empty());
    const xmlNode* summary = Children(project_, "Summary").at(0);
    for (const char* count : {"configurationDefects", "repeatedObservations",
                              "approximateCoordinates", "identicalGroups", "coincidingPairs"})
        EXPECT_EQ(Number(summary, count), 0.0) << count;
    const std::string report = Report();
    EXPECT_NE(report.find("没有探测到配置缺陷"), std::string::npos);
    EXPECT_NE(report.find("没有检测到重复的测站"), std::string::npos);
    std::size_t none = 0;
    for (std::size_t at = report.find("没有检测到有问题的观测值"); at != std::string::npos;
         at = report.find("没有检测到有问题的观测值", at + 1))
        ++none;
    EXPECT_EQ(none, 3u) << report;
}

} // namespace
} // namespace TavexTest
