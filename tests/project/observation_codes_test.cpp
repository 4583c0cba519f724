#include "project/observation_codes.h"

#include <gtest/gtest.h>

namespace Tavex {
namespace {

TEST(ObservationCodes, ShortCodes) {
    EXPECT_EQ(ObservationCode(0, 0).wstr(), L"  ");
    EXPECT_EQ(ObservationCode(1, 12).wstr(), L"R12");
    EXPECT_EQ(ObservationCode(2, 3).wstr(), L"S3");
    EXPECT_EQ(ObservationCode(3, 0).wstr(), L"Z0");
    EXPECT_EQ(ObservationCode(4, 9).wstr(), L"A9");
    EXPECT_EQ(ObservationCode(5, 0).wstr(), L"DH");
    EXPECT_EQ(ObservationCode(6, 2).wstr(), L"DZ");
    EXPECT_EQ(ObservationCode(7, 1).wstr(), L"Y ");
    EXPECT_EQ(ObservationCode(8, 0).wstr(), L"TH");
    EXPECT_EQ(ObservationCode(9, 0).wstr(), L"AN");
    EXPECT_EQ(ObservationCode(9, 6).wstr(), L"AL");
    EXPECT_EQ(ObservationCode(9, 11).wstr(), L"TD");
    EXPECT_EQ(ObservationCode(10, 2).wstr(), L"H ");
}

TEST(ObservationCodes, OutOfRangeCodesWarnWith471) {
    MessageLog log;
    EXPECT_EQ(ObservationCode(1, 99, &log).wstr(), L"R99");
    EXPECT_EQ(log.Count(), 0);
    EXPECT_EQ(ObservationCode(1, 100, &log).wstr(), L"R100");
    EXPECT_EQ(ObservationCode(2, 10, &log).wstr(), L"S10");
    ObservationCode(9, 10, &log);
    ObservationCode(9, 12, &log);
    ObservationCode(42, 7, &log);
    ASSERT_EQ(log.Count(), 5);
    for (int i = 0; i < log.Count(); ++i) {
        EXPECT_EQ(log.Messages().GetAt(i)->Code, 471);
        EXPECT_EQ(log.Messages().GetAt(i)->Class, MSG_WARNING);
    }
    EXPECT_EQ(log.Messages().GetAt(0)->Text.wstr(), L"无效的观测编码 R100");
    EXPECT_EQ(log.Messages().GetAt(4)->Text.wstr(), L"无效的观测编码  42 7");
}

TEST(ObservationCodes, LongLabels) {
    EXPECT_EQ(ObservationLabel(1, 4).wstr(), L"方位4");
    EXPECT_EQ(ObservationLabel(1, 100).wstr(), L"方位");
    EXPECT_EQ(ObservationLabel(2, 0).wstr(), L"距离0");
    EXPECT_EQ(ObservationLabel(3, 10).wstr(), L"天顶距");
    EXPECT_EQ(ObservationLabel(4, 2).wstr(), L"方位角2");
    EXPECT_EQ(ObservationLabel(6, 0).wstr(), L"DX");
    EXPECT_EQ(ObservationLabel(9, 5).wstr(), L"垂直线");
    EXPECT_EQ(ObservationLabel(9, 7).wstr(), L"里程");
    EXPECT_EQ(ObservationLabel(9, 10).wstr(), L"");
    EXPECT_EQ(ObservationLabel(77, 0).wstr(), L"");
}

} // namespace
} // namespace Tavex
