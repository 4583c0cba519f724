// Settings an adjustment cannot use fail it with error 731 naming the
// setting, instead of reaching a division, a distribution function or a
// loop bound; values at the edge of their range still adjust.
#include "support/synthetic_network.h"
#include "tavex/tavex.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

namespace Tavex {
namespace {

using TavexTest::SyntheticNetwork;

struct SettingCase {
    const char* name;    // test name
    const char* setting; // the name the message gives
    std::function<void(_SETTINGS&)> change;
};

std::string CaseName(const ::testing::TestParamInfo<SettingCase>& info) {
    return info.param.name;
}

// Four stations and six distances of group 0 in a free network.
class SettingsCheck : public ::testing::TestWithParam<SettingCase> {
protected:
    void SetUp() override {
        net.AddStation("A", 52.000, 5.000, 10.0);
        net.AddStation("B", 52.010, 5.020, 12.0);
        net.AddStation("C", 52.020, 5.000, 14.0);
        net.AddStation("D", 52.015, 4.975, 9.0);
        const unsigned lines[][2] = {{1, 2}, {2, 3}, {3, 4}, {4, 1}, {1, 3}, {2, 4}};
        for (const auto& line : lines)
            net.HorizontalDistance(line[0], line[1]);
    }
    void TearDown() override { Release(); }
    SyntheticNetwork net;
};

class OutOfRange : public SettingsCheck {};

TEST_P(OutOfRange, FailsTheAdjustmentNamingTheSetting) {
    GetParam().change(net.Settings());
    _STATISTICS statistics{};
    EXPECT_EQ(net.Adjust(statistics), 0);
    const std::string text = net.MessageText(731);
    ASSERT_FALSE(text.empty()) << net.AllMessages();
    EXPECT_EQ(text.rfind(std::string("设置 ") + GetParam().setting + " 超出有效范围", 0), 0u)
        << text;
    for (const _MESSAGE& m : net.Settings().Messages)
        if (m.Code == 731) {
            EXPECT_EQ(+m.Class, 1);
            EXPECT_EQ(+m.RefKind, 1);
        }
    EXPECT_EQ(+statistics.Unknowns, 0) << "a failed adjustment writes no statistics";
}

INSTANTIATE_TEST_SUITE_P(Settings, OutOfRange,
                         ::
                             testing::
                                 Values(
                                     SettingCase{"ConfidenceLevel1DZero", "ConfidenceLevel1D",
                                                 [](_SETTINGS& s) { s.ConfidenceLevel1D = 0.0; }},
                                     SettingCase{"ConfidenceLevel1DOne", "ConfidenceLevel1D",
                                                 [](_SETTINGS& s) { s.ConfidenceLevel1D = 1.0; }},
                                     SettingCase{"ConfidenceLevel1DAboveOne", "ConfidenceLevel1D",
                                                 [](_SETTINGS& s) { s.ConfidenceLevel1D = 1.5; }},
                                     SettingCase{"ConfidenceLevel1DNegative", "ConfidenceLevel1D",
                                                 [](_SETTINGS& s) { s.ConfidenceLevel1D = -0.1; }},
                                     SettingCase{"ConfidenceLevel2DZero", "ConfidenceLevel2D",
                                                 [](_SETTINGS& s) { s.ConfidenceLevel2D = 0.0; }},
                                     SettingCase{"ConfidenceLevel2DOne", "ConfidenceLevel2D",
                                                 [](_SETTINGS& s) { s.ConfidenceLevel2D = 1.0; }},
                                     SettingCase{"ConfidenceLevel2DAboveOne", "ConfidenceLevel2D",
                                                 [](_SETTINGS& s) { s.ConfidenceLevel2D = 1.5; }},
                                     SettingCase{"ConfidenceLevel2DNegative", "ConfidenceLevel2D",
                                                 [](_SETTINGS& s) { s.ConfidenceLevel2D = -0.1; }},
                                     SettingCase{"LinearFactZero", "LinearFact",
                                                 [](_SETTINGS& s) { s.LinearFact = 0.0; }},
                                     SettingCase{"LinearFactNegative", "LinearFact",
                                                 [](_SETTINGS& s) { s.LinearFact = -1.0; }},
                                     SettingCase{"CovMatrixNegative", "CovMatrix",
                                                 [](_SETTINGS& s) { s.CovMatrix = -1; }},
                                     SettingCase{"CovMatrixFive", "CovMatrix",
                                                 [](_SETTINGS& s) { s.CovMatrix = 5; }},
                                     SettingCase{"APosVarFacNegative", "APosVarFac",
                                                 [](_SETTINGS& s) { s.APosVarFac = -1; }},
                                     SettingCase{"APosVarFacThree", "APosVarFac",
                                                 [](_SETTINGS& s) { s.APosVarFac = 3; }},
                                     SettingCase{"EpsilonNegative", "Epsilon",
                                                 [](_SETTINGS& s) { s.Epsilon = -1e-6; }},
                                     SettingCase{"DimensionZero", "Dimension",
                                                 [](_SETTINGS& s) { s.Dimension = 0; }},
                                     SettingCase{"DimensionFour", "Dimension",
                                                 [](_SETTINGS& s) { s.Dimension = 4; }},
                                     SettingCase{"Sigma0Zero", "Sigma0",
                                                 [](_SETTINGS& s) { s.Sigma0 = 0.0; }},
                                     SettingCase{"Sigma0Negative", "Sigma0",
                                                 [](_SETTINGS& s) { s.Sigma0 = -1.0; }},
                                     SettingCase{"Alfa0Zero", "Alfa0",
                                                 [](_SETTINGS& s) { s.Alfa0 = 0.0; }},
                                     SettingCase{"Alfa0One", "Alfa0",
                                                 [](_SETTINGS& s) { s.Alfa0 = 1.0; }},
                                     SettingCase{"BetaZero", "Beta",
                                                 [](_SETTINGS& s) { s.Beta = 0.0; }},
                                     SettingCase{"BetaOne", "Beta",
                                                 [](_SETTINGS& s) { s.Beta = 1.0; }},
                                     SettingCase{"PhaseFive", "Phase",
                                                 [](_SETTINGS& s) { s.Phase = 5; }},
                                     SettingCase{"IterMaxNegative", "IterMax",
                                                 [](_SETTINGS& s) { s.IterMax = -1; }},
                                     SettingCase{"DeltaSingularNegative", "DeltaSingular",
                                                 [](_SETTINGS& s) { s.DeltaSingular = -1e-6; }},
                                     SettingCase{"VarComponentNegative", "VarComponent",
                                                 [](_SETTINGS& s) { s.VarComponent = -1; }},
                                     SettingCase{"VarComponentFour", "VarComponent",
                                                 [](_SETTINGS& s) { s.VarComponent = 4; }},
                                     SettingCase{"VarEpsilonZeroWithComponents", "VarEpsilon",
                                                 [](_SETTINGS& s) {
                                                     s.VarComponent = 1;
                                                     s.VarEpsilon = 0.0;
                                                 }},
                                     // With Epsilon 0 no solution converges: the
                                     // iteration count alone ends the run.
                                     SettingCase{"IterMaxBeyondTheLimit", "IterMax",
                                                 [](_SETTINGS& s) {
                                                     s.IterMax = 2147483647;
                                                     s.Epsilon = 0.0;
                                                 }},
                                     SettingCase{"VarIterMaxBeyondTheLimit", "VarIterMax",
                                                 [](_SETTINGS& s) {
                                                     s.VarComponent = 1;
                                                     s.VarIterMax = 1001;
                                                 }},
                                     SettingCase{"ScaleFactorOfTheDistancesGroupZero",
                                                 "ScaleFactor[0]",
                                                 [](_SETTINGS& s) { s.ScaleFactor[0] = 0.0; }},
                                     SettingCase{"ScaleFactorOfTheDistancesGroupNegative",
                                                 "ScaleFactor[0]",
                                                 [](_SETTINGS& s) { s.ScaleFactor[0] = -1.0; }}),
                         CaseName);

class InRange : public SettingsCheck {};

TEST_P(InRange, Adjusts) {
    GetParam().change(net.Settings());
    ASSERT_EQ(net.Adjust(), 1) << net.AllMessages();
    EXPECT_TRUE(net.MessageText(731).empty());
    for (const _STATIONADJ& station : net.StationRecords())
        for (int k = 0; k < 4; ++k)
            EXPECT_TRUE(std::isfinite(+station.Ellipse[k])) << station.Name;
}

INSTANTIATE_TEST_SUITE_P(
    Settings, InRange,
    ::testing::Values(
        SettingCase{"ConfidenceLevelsNearOne", "",
                    [](_SETTINGS& s) { s.ConfidenceLevel1D = s.ConfidenceLevel2D = 0.999; }},
        SettingCase{"ConfidenceLevelsNearZero", "",
                    [](_SETTINGS& s) { s.ConfidenceLevel1D = s.ConfidenceLevel2D = 0.001; }},
        SettingCase{"APosVarFacTwo", "", [](_SETTINGS& s) { s.APosVarFac = 2; }},
        SettingCase{"VarComponentThree", "", [](_SETTINGS& s) { s.VarComponent = 3; }},
        SettingCase{"EpsilonZero", "", [](_SETTINGS& s) { s.Epsilon = 0.0; }},
        SettingCase{"IterMaxAtTheLimit", "", [](_SETTINGS& s) { s.IterMax = 1000; }},
        SettingCase{"ScaleFactorOfAnUnusedGroupZero", "",
                    [](_SETTINGS& s) { s.ScaleFactor[5] = 0.0; }}),
    CaseName);

} // namespace
} // namespace Tavex
