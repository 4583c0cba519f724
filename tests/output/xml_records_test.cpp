#include "output/xml_records.h"

#include <gtest/gtest.h>

namespace Tavex {
namespace {

TEST(XmlRecords, LinearUnitCodeComparesNamesIgnoringCase) {
    EXPECT_EQ(LinearUnitCode(L"METER"), 1);
    EXPECT_EQ(LinearUnitCode(L"meter"), 1);
    EXPECT_EQ(LinearUnitCode(L"UsSurveyFoot"), 2);
    EXPECT_EQ(LinearUnitCode(L"intsurveyfoot"), 3);
    // Unknown, empty and near-miss names fall back to metres.
    for (const wchar_t* name : {L"feet", L"", L"m", L"USSURVEYFOOTX", L"US SURVEY FOOT"})
        EXPECT_EQ(LinearUnitCode(name), 1);
}

TEST(XmlRecords, AngleUnitCodeKeepsOnlyTheThreeUnits) {
    EXPECT_EQ(AngleUnitCode(0), 0);
    EXPECT_EQ(AngleUnitCode(1), 1);
    EXPECT_EQ(AngleUnitCode(2), 2);
    EXPECT_EQ(AngleUnitCode(-1), 0); // the reset value of the setting
    EXPECT_EQ(AngleUnitCode(3), 0);
}

TEST(XmlRecords, MakeRootAndMakeProjectFillTheFixedFields) {
    const TXXML_ROOT root = MakeRoot(L"IntSurveyFoot", 1);
    EXPECT_EQ(root.product.wstr(), L"TAVEX");
    EXPECT_EQ(root.versionMajor * 100 + root.versionMinor * 10 + root.versionRevision, 330);
    EXPECT_EQ(root.linearUnitCode, 3);
    EXPECT_EQ(root.angleUnitCode, 1);
    EXPECT_FALSE(root.namespaceUri.IsEmpty());

    const TXXML_PROJECT unnamed = MakeProject(L"");
    EXPECT_EQ(unnamed.name.wstr(), L"Project");
    EXPECT_EQ(unnamed.meanHeight, 2147483647.0);
    EXPECT_EQ(unnamed.geoidSeparation, 2147483647.0);
    EXPECT_EQ(unnamed.stationCount + unnamed.knownStationCount + unnamed.observationCount +
                  unnamed.redundancy,
              0);
    EXPECT_EQ(unnamed.varianceFactor, 0.0);
    EXPECT_EQ(MakeProject(L"测试网").name.wstr(), L"测试网");
}

} // namespace
} // namespace Tavex
