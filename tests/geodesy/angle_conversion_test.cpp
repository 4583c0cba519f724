#include "geodesy/angle_conversion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace Tavex {
namespace {

constexpr double kPi = std::numbers::pi;

double DmsToRad(int deg, int min, double sec) {
    return (deg + min / 60.0 + sec / 3600.0) * kPi / 180;
}

// The report image of an angle: sign, degrees, minutes, seconds at 3 decimals.
std::wstring Image(double rad, unsigned degreeLimit = 0) {
    int deg, min, sign;
    double sec;
    if (!RadToDms(rad, &deg, &min, &sign, &sec) || !MaxDmsImage(&deg, &min, &sec, 3, degreeLimit))
        return L"failed";
    CKZString minus, text;
    SignToString(sign, minus);
    text.Format(L"%s%d %02d %06.3f", minus.c_str(), deg, min, sec);
    return text.wstr();
}

TEST(AngleConversion, DegreesAndGon) {
    EXPECT_DOUBLE_EQ(RadToDeg(kPi), 180.0);
    EXPECT_DOUBLE_EQ(RadToDeg(-kPi / 4), -45.0);
    EXPECT_DOUBLE_EQ(RadToGon(kPi / 2), 100.0);
    EXPECT_DOUBLE_EQ(RadToGon(2 * kPi), 400.0);
    EXPECT_TRUE(std::isnan(RadToDeg(std::numeric_limits<double>::quiet_NaN())));
}

TEST(AngleConversion, RadToDmsSplitsTheMagnitudeAndKeepsTheSignApart) {
    int deg, min, sign;
    double sec;
    ASSERT_TRUE(RadToDms(DmsToRad(12, 34, 56.789), &deg, &min, &sign, &sec));
    EXPECT_EQ(deg, 12);
    EXPECT_EQ(min, 34);
    EXPECT_EQ(sign, 1);
    EXPECT_NEAR(sec, 56.789, 1e-9);

    ASSERT_TRUE(RadToDms(-DmsToRad(203, 7, 5.25), &deg, &min, &sign, &sec));
    EXPECT_EQ(deg, 203);
    EXPECT_EQ(min, 7);
    EXPECT_EQ(sign, -1);
    EXPECT_NEAR(sec, 5.25, 1e-9);

    ASSERT_TRUE(RadToDms(-0.0, &deg, &min, &sign, &sec));
    EXPECT_EQ(sign, 1);
    EXPECT_EQ(sec, 0.0);
}

TEST(AngleConversion, RadToDmsRefusesWhatItCannotRepresent) {
    int deg = 7, min = 7, sign = 7;
    double sec = 7;
    EXPECT_FALSE(RadToDms(std::numeric_limits<double>::infinity(), &deg, &min, &sign, &sec));
    EXPECT_EQ(deg, 0);
    EXPECT_EQ(sign, 1);
    EXPECT_TRUE(std::isnan(sec));
    EXPECT_FALSE(RadToDms(std::numeric_limits<double>::quiet_NaN(), &deg, &min, &sign, &sec));
    EXPECT_FALSE(RadToDms(1e10, &deg, &min, &sign, &sec)); // degrees beyond an int
    EXPECT_FALSE(RadToDms(1.0, nullptr, &min, &sign, &sec));
}

TEST(AngleConversion, RoundedSecondsAndMinutesCarryOver) {
    // 0.9999999 s short of a minute shows as the next minute.
    EXPECT_EQ(Image(DmsToRad(0, 12, 59.9999999)), L"0 13 00.000");
    EXPECT_EQ(Image(DmsToRad(0, 12, 59.9994)), L"0 12 59.999");
    // A full circle less 0.0004 s: 360 degrees, or 0 with a limit of 360.
    EXPECT_EQ(Image(DmsToRad(359, 59, 59.9996)), L"360 00 00.000");
    EXPECT_EQ(Image(DmsToRad(359, 59, 59.9996), 360), L"0 00 00.000");
    // Exact angles that are not exact in radians.
    EXPECT_EQ(Image(kPi / 6), L"30 00 00.000");
    EXPECT_EQ(Image(-kPi / 360), L"-0 30 00.000");
    // Negative angles carry in their magnitude.
    EXPECT_EQ(Image(-DmsToRad(1, 59, 59.99999)), L"-2 00 00.000");
    EXPECT_EQ(Image(-DmsToRad(45, 0, 0.0004)), L"-45 00 00.000");
}

TEST(AngleConversion, MaxDmsImageRoundsAsPrintfShowsIt) {
    int deg = 10, min = 59;
    double sec = 59.6;
    ASSERT_TRUE(MaxDmsImage(&deg, &min, &sec, 0, 0));
    EXPECT_EQ(deg, 11);
    EXPECT_EQ(min, 0);
    EXPECT_EQ(sec, 0.0);

    deg = 3, min = 4, sec = 5.123456;
    ASSERT_TRUE(MaxDmsImage(&deg, &min, &sec, 2, 0));
    EXPECT_EQ(deg, 3);
    EXPECT_EQ(min, 4);
    EXPECT_DOUBLE_EQ(sec, 5.12);

    // Minutes of 60 or more that come in are carried too.
    deg = 1, min = 125, sec = 0.5;
    ASSERT_TRUE(MaxDmsImage(&deg, &min, &sec, 1, 0));
    EXPECT_EQ(deg, 3);
    EXPECT_EQ(min, 5);
}

TEST(AngleConversion, MaxDmsImageRefusesBadParts) {
    int deg = 1, min = 2;
    double sec = -0.5;
    EXPECT_FALSE(MaxDmsImage(&deg, &min, &sec, 3, 0));
    EXPECT_EQ(sec, -0.5);
    sec = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(MaxDmsImage(&deg, &min, &sec, 3, 0));
    sec = 1.0;
    min = -1;
    EXPECT_FALSE(MaxDmsImage(&deg, &min, &sec, 3, 0));
    EXPECT_FALSE(MaxDmsImage(nullptr, &min, &sec, 3, 0));
}

TEST(AngleConversion, SignToString) {
    CKZString s(L"x");
    SignToString(-1, s);
    EXPECT_EQ(s.wstr(), L"-");
    SignToString(1, s);
    EXPECT_EQ(s.wstr(), L"");
    SignToString(0, s);
    EXPECT_EQ(s.wstr(), L"");
}

} // namespace
} // namespace Tavex
