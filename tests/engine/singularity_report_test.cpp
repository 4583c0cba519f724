#include "engine/singularity_report.h"

#include <gtest/gtest.h>

namespace Tavex {
namespace {

class SingularityReport : public ::testing::Test {
protected:
    void SetUp() override {
        project.StationCount = 3;
        project.Stations.resize(4);
        project.Stations[2].Name = L"P2";
        engine.unknowns.assign(1, UnknownDescriptor{});
    }
    const CMessageHandler& Report(std::uint32_t station, std::uint16_t kind, std::uint16_t sub) {
        engine.unknowns.push_back(UnknownDescriptor{station, kind, sub});
        ReportSingularity(project, engine, static_cast<std::uint32_t>(engine.unknowns.size() - 1));
        return *project.Messages.Messages().GetAt(project.Messages.Count() - 1);
    }
    ProjectState project;
    EngineState engine;
};

TEST_F(SingularityReport, StationsAreNamedAfterTheirMessage) {
    const CMessageHandler& position = Report(2, UNK_EAST, 0);
    EXPECT_EQ(position.Code, 450);
    EXPECT_EQ(position.Class, MSG_ERROR);
    EXPECT_EQ(position.RefKind, REF_STATIONS);
    EXPECT_EQ(position.Refs, std::vector<std::uint32_t>({2}));
    EXPECT_EQ(position.Text.wstr(), L"测站的平面奇异 P2");
    EXPECT_EQ(Report(2, UNK_HEIGHT, 0).Text.wstr(), L"测站的高程奇异 P2");
    EXPECT_EQ(Report(2, UNK_DEFLECTION_NORTH, 0).Text.wstr(), L"测站北方向偏差N奇异 P2");
}

TEST_F(SingularityReport, OrientationNamesStationAndSet) {
    const CMessageHandler& m = Report(2, UNK_ORIENTATION, 3);
    EXPECT_EQ(m.Code, 456);
    EXPECT_EQ(m.Text.wstr(), L"测站奇异 P2 方位 R3");
}

TEST_F(SingularityReport, ParametersNameTheirGroupOrAlone) {
    const CMessageHandler& scale = Report(0, UNK_SCALE, 2);
    EXPECT_EQ(scale.Code, 457);
    EXPECT_EQ(scale.RefKind, REF_NONE);
    EXPECT_EQ(scale.Text.wstr(), L"比例因子 S 奇异2");
    EXPECT_EQ(Report(0, UNK_REFRACTION, 0).Text.wstr(), L"垂直折光因子 Z 奇异0");
    EXPECT_EQ(Report(0, UNK_AZIMUTH_OFFSET, 9).Text.wstr(), L"方位角偏差 A 奇异9");
    EXPECT_EQ(Report(0, UNK_GPS_TRANSFORMATION, 4).Text.wstr(), L"GPS 比例因子奇异");
    EXPECT_EQ(Report(0, UNK_GPS_TRANSFORMATION, 7).Code, 466);
    EXPECT_EQ(Report(0, UNK_ADDITIONAL_ROTATION, 2).Code, 468);
}

TEST_F(SingularityReport, AdditionalTransformationParametersHaveNoMessage) {
    const int before = project.Messages.Count();
    engine.unknowns.push_back(UnknownDescriptor{0, UNK_ADDITIONAL_TRANSFORMATION, 1});
    ReportSingularity(project, engine, 1);
    EXPECT_EQ(project.Messages.Count(), before);
}

} // namespace
} // namespace Tavex
