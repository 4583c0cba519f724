// The string table against texts written out here by hand, so that a typing
// slip in the table data cannot hide behind the same slip in the test.
#include "resources/string_table.h"

#include <gtest/gtest.h>

#include <string_view>

namespace Tavex {
namespace {

struct Expected {
    int id;
    std::string_view text;
};

void ExpectTexts(std::initializer_list<Expected> cases) {
    for (const Expected& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(StringTableText(c.id), c.text);
    }
}

// True when every byte sequence of text is well-formed UTF-8 (no overlong
// forms, no surrogates, nothing above U+10FFFF).
bool IsWellFormedUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        unsigned int code = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            code = lead & 0x1Fu;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            code = lead & 0x0Fu;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            code = lead & 0x07u;
        } else {
            return false;
        }
        if (i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0u) != 0x80u)
                return false;
            code = (code << 6) | (next & 0x3Fu);
        }
        const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
        if (overlong || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
            return false;
        i += length;
    }
    return true;
}

TEST(StringTable, UnitNamesAndClassWords) {
    ExpectTexts({
        {117, "m"},
        {118, "gon"},
        {119, "deg"},
        {120, "dms"},
        {381, "错误"},
        {382, "警告"},
    });
}

TEST(StringTable, AllocationMessagesAndStructureNames) {
    ExpectTexts({
        {400, "无足够的内存来分配"},
        {401, "无足够的内存用于计算"},
        {404, "法方程矩阵"},
        {415, "Np 数"},
        {416, "外部可信度"},
        {421, "稀疏逆"},
        {423, "法方程矩阵的符号因数分解"},
    });
}

TEST(StringTable, StageTexts) {
    ExpectTexts({
        {366, "填写设计矩阵"},
        {378, "迭代"},
        {560, "计算近似坐标"},
        {561, "附和到已知坐标"},
        {562, "计算近似高程"},
        {563, "附和到已知高程"},
        {595, "检核网配置"},
        {597, "检核重合测站"},
        {332, "V E L N I K"},
        {310, "R I N D E L"},
        {584, "找到天顶距和距离闭合环"},
        {588, "计算天顶距和距离闭合环"},
    });
}

TEST(StringTable, AdjustmentMessages) {
    ExpectTexts({
        {471, "无效的观测编码"},
        {491, "未知数"},
        {492, "大于观测值数"},
        {493, "不能使用二维平面中无天顶距的三维距离观测值(s)"},
        {498, "自由网 GPS 转换参数固定"},
        {446, "基线的协方差矩阵"},
        {447, "是奇异的"},
        {557, "测站未定义大地水准面高"},
        {626, "测站的迭代标准超限"},
        {666, "观测的 XY 坐标不能用于1D"},
        {487, "只有"},
    });
}

TEST(StringTable, SingularityMessages) {
    ExpectTexts({
        {452, "测站的平面和高程奇异"},
        {456, "方位 R"},
        {460, "GPS绕 X-轴旋转奇异"},
        {464, "GPS 沿 X-轴平移奇异"},
        {606, "自由方向/距离"},
        {624, "该记录的迭代标准超限:"},
    });
}

TEST(StringTable, PrintfFormatsKeepTheirConversions) {
    EXPECT_EQ(StringTableText(674), "没有足够的观测值确定测站位置 %s.不选测站");
}

TEST(StringTable, FullWidthCommaIsKept) {
    ExpectTexts({
        {531, "法方程奇异，使用VELNIK"},
        {323, "无法计算角度闭合差，该测站上无角度"},
    });
    // U+FF0C, not the ASCII comma.
    EXPECT_NE(StringTableText(531).find("\xEF\xBC\x8C"), std::string_view::npos);
    EXPECT_EQ(StringTableText(531).find(','), std::string_view::npos);
}

TEST(StringTable, TextsAreUtf8Bytes) {
    // Spelled out as bytes so that this holds whatever the literal encoding.
    EXPECT_EQ(StringTableText(381), "\xE9\x94\x99\xE8\xAF\xAF");
}

TEST(StringTable, ReportLabelsAndHeadings) {
    ExpectTexts({
        {53, "在...上"},
        {55, "椭求"},
        {88, "坐标"},
        {93, "GPS 转换参数"},
        {97, "地面"},
        {98, "GPS"},
        {104, "投影和椭球常数"},
        {131, "Alfa (多维)"},
        {132, "Alfa 0 (一维)"},
        {137, "T-检验临界值(三维)"},
        {144, "输入近似 GPS 坐标"},
        {205, "坐标 (最小约束网)"},
        {215, "坐标 (约束网设计)"},
        {217, "相对置信区间 (误差椭圆)"},
        {232, "C0 标准"},
        {238, "A/R"},
        {248, "MDB"},
        {249, "冗余度"},
        {256, "**"},
        {262, "拒绝T-检验的测站估计误差"},
        {277, "拒绝 W-检验的观测值估计误差"},
        {281, "[文件结束]"},
        {297, "DHgt"},
        {300, "已知坐标的相似转换"},
        {331, "限差"},
        {337, "奇异标准为"},
        {344, "三角高差检核"},
        {357, "最短的测站距离为"},
        {359, "没有检测到重复的测站"},
        {590, "链距偏差"},
        {629, "几何关系"},
        {647, "输入近似地方坐标"},
        {656, "预分析(a)"},
        {657, "GPS基线向量残差"},
        {662, "MDBn"},
        {667, "地方坐标"},
        {669, "天线高检验"},
        {673, "可能相同的观测值"},
    });
}

TEST(StringTable, TheSameWordUnderSeveralNumbers) {
    ExpectTexts({
        {89, "方位"},
        {649, "方位"},
        {349, "错误"},
        {72, "距离"},
        {358, "距离"},
        {650, "距离"},
        {74, "方位角"},
        {710, "方位角"},
    });
}

TEST(StringTable, ObservationLabels) {
    ExpectTexts({
        {651, "天顶距"},
        {652, "记录"},
        {699, "角度"},
        {703, "平行圈"},
        {704, "垂直线"},
        {705, "垂直线"},
        {709, "卷尺距离"},
    });
}

TEST(StringTable, HeadingThatEndsWithALineBreak) {
    const std::string_view text = StringTableText(278);
    EXPECT_EQ(text, "拒绝天线高 W-检验的观测值估计误差\r\n");
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
}

TEST(StringTable, TheRatioOfTheEllipseAxesIsLabelledAB) {
    EXPECT_EQ(StringTableText(237), "A/B");
}

TEST(StringTable, NumbersWithoutTextGiveAnEmptyView) {
    for (const int id : {-1, 0, 1, 52, 409, 614, 621, StringTableEnd(), 100000}) {
        SCOPED_TRACE(id);
        EXPECT_TRUE(StringTableText(id).empty());
    }
}

TEST(StringTable, CoversTheOriginalNumbersAndHoldsOnlyUtf8) {
    EXPECT_GT(StringTableEnd(), 710);
    for (int id = 0; id < StringTableEnd(); ++id) {
        SCOPED_TRACE(id);
        EXPECT_TRUE(IsWellFormedUtf8(StringTableText(id)));
    }
}

} // namespace
} // namespace Tavex
