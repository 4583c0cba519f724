// The lines of the configuration defects from a given set of flags: the
// coordinates combined per station (450 plane, 451 height, 452 both), then
// every other flagged unknown with its own message, in unknown order.
#include "prerun/defect_detection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Tavex {
namespace {

class DefectListing : public ::testing::Test {
protected:
    void SetUp() override {
        project.StationCount = 8;
        project.Stations.resize(9);
        for (unsigned s = 1; s <= 8; ++s)
            project.Stations[s].Name =
                CKZString(std::wstring(L"P") + static_cast<wchar_t>(L'0' + s));
        project.Stations[6].Excluded = 1;
        engine.unknowns.assign(1, UnknownDescriptor{});
        engine.index.north.assign(9, 0);
        engine.index.east.assign(9, 0);
        engine.index.height.assign(9, 0);
    }

    // Numbers a new unknown; returns its number.
    std::uint32_t Add(std::uint32_t station, std::uint16_t kind, std::uint16_t sub, bool flag) {
        engine.unknowns.push_back(UnknownDescriptor{station, kind, sub});
        const auto j = static_cast<std::uint32_t>(engine.unknowns.size() - 1);
        if (kind == UNK_NORTH)
            engine.index.north[station] = j;
        if (kind == UNK_EAST)
            engine.index.east[station] = j;
        if (kind == UNK_HEIGHT)
            engine.index.height[station] = j;
        flags.resize(j + 1, 0);
        flags[j] = flag ? 1 : 0;
        return j;
    }
    void Station(std::uint32_t s, bool n, bool e, bool h, bool hasHeight = true) {
        Add(s, UNK_NORTH, 0, n);
        Add(s, UNK_EAST, 0, e);
        if (hasHeight)
            Add(s, UNK_HEIGHT, 0, h);
    }

    std::vector<std::wstring> List() {
        CVelnikChecks block;
        ListDefects(project, engine, flags, block);
        std::vector<std::wstring> lines;
        for (int i = 0; i < block.configurationDefects.GetSize(); ++i)
            lines.push_back(block.configurationDefects.GetAt(i)->text.wstr());
        return lines;
    }

    ProjectState project;
    EngineState engine;
    std::vector<char> flags = {0};
};

TEST_F(DefectListing, CoordinatesAreCombinedPerStation) {
    // Numbered in an order unlike the stations', as the minimum-degree
    // ordering leaves them.
    Station(5, false, true, false);  // east alone
    Station(3, true, true, true);    // all three
    Station(1, true, false, false);  // north alone
    Station(2, true, false, true);   // north and height, east regular
    Station(4, false, false, true);  // height alone
    Station(6, true, true, true);    // excluded
    Station(7, false, false, false); // nothing
    Station(8, true, true, false, false);
    EXPECT_EQ(List(), std::vector<std::wstring>({
                          L"测站的平面奇异 P1",
                          L"测站的高程奇异 P2",
                          L"测站的平面和高程奇异 P3",
                          L"测站的高程奇异 P4",
                          L"测站的平面奇异 P5",
                          L"测站的平面奇异 P8",
                      }));
}

TEST_F(DefectListing, ParametersFollowInUnknownOrder) {
    Add(0, UNK_SCALE, 4, true);
    Station(1, false, false, false);
    Add(2, UNK_ORIENTATION, 3, true);
    Add(2, UNK_ORIENTATION, 4, false);
    Add(0, UNK_REFRACTION, 1, true);
    Add(0, UNK_AZIMUTH_OFFSET, 0, true);
    Add(0, UNK_GPS_TRANSFORMATION, 1, true);
    Add(0, UNK_GPS_TRANSFORMATION, 5, true);
    Add(1, UNK_DEFLECTION_EAST, 0, true);
    Add(1, UNK_DEFLECTION_NORTH, 0, true);
    Add(0, UNK_ADDITIONAL_ROTATION, 1, true);
    Add(0, UNK_ADDITIONAL_ROTATION, 2, true);
    Add(0, UNK_ADDITIONAL_TRANSFORMATION, 1, true);
    Station(2, false, true, false);
    EXPECT_EQ(List(), std::vector<std::wstring>({
                          L"测站的平面奇异 P2",
                          L"比例因子 S 奇异4",
                          L"测站奇异 P2 方位 R3",
                          L"垂直折光因子 Z 奇异1",
                          L"方位角偏差 A 奇异0",
                          L"GPS绕 X-轴旋转奇异",
                          L"GPS 沿 X-轴平移奇异",
                          L"测站东方向偏差E奇异 P1",
                          L"测站北方向偏差N奇异 P1",
                          L"E-轴的附加旋转奇异",
                          L"N-轴的附加旋转奇异",
                      }));
}

TEST_F(DefectListing, RecordsCarryTheirMessageAndSubject) {
    Station(3, true, true, true);
    Add(3, UNK_ORIENTATION, 7, true);
    CVelnikChecks block;
    ListDefects(project, engine, flags, block);
    ASSERT_EQ(block.configurationDefects.GetSize(), 2);
    EXPECT_EQ(block.configurationDefects.GetAt(0)->message, 452);
    EXPECT_EQ(block.configurationDefects.GetAt(0)->stationNumber, 3u);
    EXPECT_EQ(block.configurationDefects.GetAt(1)->message, 456);
    EXPECT_EQ(block.configurationDefects.GetAt(1)->stationNumber, 3u);
    EXPECT_EQ(block.configurationDefects.GetAt(1)->sub, 7u);
}

} // namespace
} // namespace Tavex
