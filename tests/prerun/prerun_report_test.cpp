// The ".vnk" text report read line by line: its sections in order, the
// critical-value lines, the column headers and the planted records.
#include "prerun/prerun_fixture.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace TavexTest {
namespace {

std::vector<std::string> Tokens(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> out;
    for (std::string t; in >> t;)
        out.push_back(t);
    return out;
}

class PreRunReport : public PreRunTest {
protected:
    // The quadrilateral with A and B known and everything observed, plus E
    // 1.5 m north of D; planted: a repeated distance A→C 5 cm long, a
    // direction A→D 1e-3 rad off, the distance B→C entered twice.
    void Planted() {
        Quadrilateral();
        net.AddStation("E", 52.015 + 1.5 / 111250.0, 4.975, 9.0);
        net.MakeKnown(1, 12);
        net.MakeKnown(2, 12);
        for (unsigned a = 1; a <= 4; ++a)
            for (unsigned b = a + 1; b <= 5; ++b) {
                net.HorizontalDistance(a, b);
                DistanceSigma(0.002);
            }
        for (unsigned b = 2; b <= 4; ++b) {
            net.Direction(1, b, 1);
            if (b == 4)
                AddToReading(1e-3);
        }
        net.HorizontalDistance(1, 3); // record 14
        DistanceSigma(0.002);
        AddToReading(0.05);
        net.HorizontalDistance(2, 3); // record 15, a copy of record 5
        DistanceSigma(0.002);
    }
    // The line index of the first line equal to text, at or after from.
    std::size_t Find(const std::vector<std::string>& lines, const std::string& text,
                     std::size_t from = 0) {
        const auto at = std::find(lines.begin() + static_cast<long>(from), lines.end(), text);
        EXPECT_NE(at, lines.end()) << "no line \"" << text << "\"";
        return static_cast<std::size_t>(at - lines.begin());
    }
};

TEST_F(PreRunReport, SectionsInOrderWithThePlantedRecords) {
    Planted();
    const std::vector<std::string> lines = Lines(Report());
    ASSERT_GT(lines.size(), 30u);

    // Configuration defects: heading between empty lines, the criterion
    // (DeltaSingular itself, %6.1e) and an empty line, then message 338.
    const std::size_t defects = Find(lines, "配置缺陷");
    ASSERT_GE(defects, 1u);
    EXPECT_EQ(lines[defects - 1], "");
    EXPECT_EQ(lines[defects + 1], "");
    EXPECT_EQ(lines[defects + 2], "奇异标准为 1.0e-06");
    EXPECT_EQ(lines[defects + 3], "");
    EXPECT_EQ(lines[defects + 4], "没有探测到配置缺陷");

    // Repeated observations.
    const std::size_t input = Find(lines, "输入观测值的检核", defects);
    EXPECT_EQ(lines[input + 2], "临界值为  1.0 W-检验临界值 3.29");
    const std::vector<std::string> header = Tokens(lines[input + 3]);
    EXPECT_EQ(header, std::vector<std::string>({"记录", "测站", "目标", "读数", "错误"}));
    EXPECT_EQ(lines[input + 4], "");
    EXPECT_EQ(lines[input + 5], "距离检核");
    const std::vector<std::string> reference = Tokens(lines[input + 6]);
    const std::vector<std::string> wrong = Tokens(lines[input + 7]);
    // record, code, station, target, reading, 水平距, error, unit [, **]
    ASSERT_EQ(reference.size(), 8u) << lines[input + 6];
    ASSERT_EQ(wrong.size(), 9u) << lines[input + 7];
    EXPECT_EQ(reference[0], "2");
    EXPECT_EQ(wrong[0], "14");
    EXPECT_EQ(wrong[2], "A");
    EXPECT_EQ(wrong[3], "C");
    EXPECT_EQ(wrong[5], "水平距");
    EXPECT_NEAR(std::atof(reference[6].c_str()), 0.0, 1e-9);
    EXPECT_NEAR(std::atof(wrong[6].c_str()), 0.05, 5e-5);
    EXPECT_NEAR(std::atof(wrong[4].c_str()) - std::atof(reference[4].c_str()), 0.05, 5e-5);
    EXPECT_EQ(wrong[7], "m");
    EXPECT_EQ(wrong[8], "**");

    // Against approximate coordinates: the factor 10.0, the wrong direction.
    const std::size_t approximate = Find(lines, "输入观测值和近似坐标的检核", input);
    EXPECT_EQ(lines[approximate + 2], "临界值为 10.0 W-检验临界值 3.29");
    EXPECT_EQ(lines[approximate + 4], "");
    const std::vector<std::string> direction = Tokens(lines[approximate + 5]);
    ASSERT_GE(direction.size(), 7u) << lines[approximate + 5];
    EXPECT_EQ(direction[0], "13");
    EXPECT_EQ(direction[2], "A");
    EXPECT_EQ(direction[3], "D");
    EXPECT_EQ(direction.back(), "**");
    EXPECT_EQ(lines[approximate + 6], "");

    // Identical observations: records 5 and 15, then an empty line.
    const std::size_t identical = Find(lines, "可能相同的观测值", approximate);
    EXPECT_EQ(Tokens(lines[identical + 3])[0], "5");
    EXPECT_EQ(Tokens(lines[identical + 4])[0], "15");
    EXPECT_EQ(Tokens(lines[identical + 4])[1], "B");
    EXPECT_EQ(Tokens(lines[identical + 4])[2], "C");
    EXPECT_EQ(lines[identical + 5], "");

    // Coinciding stations: the shortest distance, the header, D and E.
    const std::size_t coinciding = Find(lines, "可能重合的测站", identical);
    // The unit left-aligned in three columns.
    EXPECT_EQ(lines[coinciding + 2], "最短的测站距离为 2.0 m  ");
    EXPECT_EQ(Tokens(lines[coinciding + 3]), std::vector<std::string>({"测站", "测站", "距离"}));
    const std::vector<std::string> pair = Tokens(lines[coinciding + 4]);
    ASSERT_EQ(pair.size(), 4u);
    EXPECT_EQ(pair[0], "D");
    EXPECT_EQ(pair[1], "E");
    EXPECT_NEAR(std::atof(pair[2].c_str()), 1.5, 2e-3);
    EXPECT_EQ(pair[3], "m");
    EXPECT_EQ(lines[coinciding + 5], "");
}

TEST_F(PreRunReport, TheDocumentCarriesTheSameBlocks) {
    Planted();
    const auto checks = Run();
    std::vector<int> kinds;
    for (const PreRunCheck& c : checks)
        kinds.push_back(c.kind);
    // Repeated distances, approximate coordinates, identical observations,
    // coinciding stations, in the order the checks run.
    EXPECT_EQ(kinds, std::vector<int>({0, 1, 4, 3}));
    EXPECT_EQ(Column(checks[0], "record"), std::vector<std::string>({"2", "14"}));
    EXPECT_EQ(Column(checks[1], "record"), std::vector<std::string>({"13"}));
    EXPECT_EQ(Column(checks[2], "record"), std::vector<std::string>({"5", "15"}));
    EXPECT_EQ(Column(checks[3], "station1"), std::vector<std::string>({"D"}));
    EXPECT_EQ(Column(checks[3], "station2"), std::vector<std::string>({"E"}));
    const xmlNode* prerun = Children(project_, "Prerun").at(0);
    EXPECT_NEAR(CriticalW(), 3.2931, 5e-5);
    EXPECT_NEAR(Number(prerun, "criticalW"), CriticalW(), 1e-9);
    EXPECT_NEAR(Number(prerun, "singularityCriterion"), 1e-6, 1e-20);
    const xmlNode* summary = Children(project_, "Summary").at(0);
    EXPECT_EQ(Number(summary, "repeatedObservations"), 2.0);
    EXPECT_EQ(Number(summary, "approximateCoordinates"), 1.0);
    EXPECT_EQ(Number(summary, "identicalGroups"), 1.0);
    EXPECT_EQ(Number(summary, "coincidingPairs"), 1.0);
    EXPECT_EQ(Number(summary, "configurationDefects"), 0.0);
}

} // namespace
} // namespace TavexTest
