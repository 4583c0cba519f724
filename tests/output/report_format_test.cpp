// The report's number, angle and text fields against images written out by
// hand, and what a number that does not fit its column turns into.
#include "output/report_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <numbers>

namespace Tavex {
namespace {

constexpr double kPi = std::numbers::pi;

std::string Utf8(const CKZString& text) {
    return text.Utf8();
}

// Radians of an angle given in degrees, minutes and seconds.
double Dms(int degrees, int minutes, double seconds) {
    return (degrees + minutes / 60.0 + seconds / 3600.0) * kPi / 180.0;
}

ReportUnits Units(int angleUnit, double factor = 1.0) {
    ReportUnits units;
    units.angleUnit = angleUnit;
    units.linearFactor = factor;
    return units;
}

TEST(FixedField, FittingValuesPrintAsPrintfDoes) {
    EXPECT_EQ(Utf8(FixedField(3.14159, 8, 3)), "   3.142");
    EXPECT_EQ(Utf8(FixedField(-0.5, 6, 2)), " -0.50");
    EXPECT_EQ(Utf8(FixedField(1234.5678, 9, 4)), "1234.5678") << "exactly the width";
    EXPECT_EQ(Utf8(FixedField(7.0, 4, 0)), "   7");
}

TEST(FixedField, TooWideValuesKeepTheColumnInExponentForm) {
    // 12345678.9 needs 11 columns with 2 decimals; in 8 it reads 1.23e+07.
    const std::string image = Utf8(FixedField(12345678.9, 8, 2));
    EXPECT_EQ(image, "1.23e+07");
    EXPECT_NEAR(std::strtod(image.c_str(), nullptr), 12345678.9, 0.01 * 12345678.9);
    // The widest mantissa that fits is used.
    EXPECT_EQ(Utf8(FixedField(-98765432.1, 12, 3)), "-9.87654e+07");
    EXPECT_EQ(Utf8(FixedField(-12345.678, 6, 1)), "-1e+04");
    // 1e300 cannot be shown in 4 columns at all: asterisks, never digits.
    EXPECT_EQ(Utf8(FixedField(1e300, 4, 2)), "****");
    for (const double value : {1e15, -3.3e21, 6.02e23, 1e-300}) {
        SCOPED_TRACE(value);
        EXPECT_EQ(FixedField(value, 10, 4).GetLength(), 10);
    }
}

TEST(FixedField, NotANumberAndInfinitiesAreNamed) {
    EXPECT_EQ(Utf8(FixedField(std::nan(""), 6, 2)), "   NaN");
    EXPECT_EQ(Utf8(FixedField(INFINITY, 6, 2)), "   INF");
    EXPECT_EQ(Utf8(FixedField(-INFINITY, 6, 2)), "  -INF");
    EXPECT_EQ(Utf8(FixedField(-INFINITY, 3, 2)), "***");
}

TEST(AngleField, OneAngleInEveryUnit) {
    // 123° 45' 56.789" = 137.517527... gon = 123.765775 degrees.
    const double angle = Dms(123, 45, 56.789);
    EXPECT_EQ(Utf8(AngleField(Units(0), angle, 13, AngleUse::Direction)), "    137.51753");
    EXPECT_EQ(Utf8(AngleField(Units(1), angle, 13, AngleUse::Direction)), "   123.765775");
    EXPECT_EQ(Utf8(AngleField(Units(2), angle, 13, AngleUse::Direction)), " 123 45 56.79");
    EXPECT_EQ(Utf8(AngleField(Units(2), angle, 17, AngleUse::Coordinate)), "  123 45 56.78900");
    EXPECT_EQ(Utf8(AngleField(Units(0), kPi / 2, 17, AngleUse::Coordinate)), "    100.000000000");
}

TEST(AngleField, RoundedSecondsAndMinutesCarry) {
    // 10° 59' 59.996" shows as 11 00 00.00, never as 10 59 60.00.
    EXPECT_EQ(Utf8(AngleField(Units(2), Dms(10, 59, 59.996), 13, AngleUse::Signed)),
              "  11 00 00.00");
    // A direction just below the full circle wraps to zero in every unit.
    const double almostFull = 2 * kPi - 1e-9;
    EXPECT_EQ(Utf8(AngleField(Units(2), almostFull, 13, AngleUse::Direction)), "   0 00 00.00");
    EXPECT_EQ(Utf8(AngleField(Units(0), almostFull, 13, AngleUse::Direction)), "      0.00000");
    EXPECT_EQ(Utf8(AngleField(Units(1), almostFull, 13, AngleUse::Direction)), "     0.000000");
    // Directions are brought into the circle.
    EXPECT_EQ(Utf8(AngleField(Units(0), -kPi / 2, 13, AngleUse::Direction)), "    300.00000");
}

TEST(AngleField, SmallSignedAnglesKeepTheirSign) {
    const double residual = -Dms(0, 0, 2.5);
    EXPECT_EQ(Utf8(AngleField(Units(2), residual, 13, AngleUse::Signed)), "  -0 00 02.50");
    EXPECT_EQ(Utf8(AngleField(Units(0), residual, 13, AngleUse::Signed)), "     -0.00077");
}

TEST(AngleField, AnAngleTooWideForItsColumnBecomesExponentDegrees) {
    const std::string image = Utf8(AngleField(Units(2), 1e12, 13, AngleUse::Signed));
    EXPECT_EQ(image.size(), 13u);
    EXPECT_NE(image.find("e+13"), std::string::npos) << image;
    EXPECT_NEAR(std::strtod(image.c_str(), nullptr), 1e12 * 180 / kPi, 1e-5 * 1e12 * 180 / kPi);
}

TEST(LengthField, LengthsAreScaledToTheLinearUnit) {
    EXPECT_EQ(Utf8(LengthField(Units(0, 3.2808), 100.0, 12)), "    328.0800");
    EXPECT_EQ(Utf8(LengthField(Units(0, 1000.0), 0.0123456, 10, 2)), "     12.35");
}

TEST(TextFields, ChineseCharactersTakeTwoColumns) {
    EXPECT_EQ(DisplayWidth(L"测站A"), 5);
    EXPECT_EQ(Utf8(PadRight(L"测站", 6)), "测站  ");
    EXPECT_EQ(Utf8(PadLeft(L"MDB", 5)), "  MDB");
    EXPECT_EQ(Utf8(PadRight(L"too wide", 3)), "too wide") << "text is never cut";
}

TEST(TextFields, LabelsLoseTheirTrailingLineBreak) {
    EXPECT_EQ(Utf8(Label(278)), "拒绝天线高 W-检验的观测值估计误差");
    EXPECT_EQ(Utf8(Label(281)), "[文件结束]");
}

TEST(ReportLine, ColumnsAndRejectionMarks) {
    ReportLine line;
    line.Left(L"A", 4).Number(1.5, 6, 2).Test(4.123, 7, 2, true).Test(0.5, 7, 2, false);
    EXPECT_EQ(Utf8(line.Text()), "A      1.50    4.12**    0.50  ");
    ReportLine blankFirst;
    blankFirst.Skip(3).Right(L"x", 2);
    EXPECT_EQ(Utf8(blankFirst.Text()), "     x");
}

} // namespace
} // namespace Tavex
