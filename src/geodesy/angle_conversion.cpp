#include "geodesy/angle_conversion.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <numbers>

namespace Tavex {

namespace {

constexpr double kSecondsPerRadian = 648000.0 / std::numbers::pi;
constexpr unsigned kMaxDecimals = 15;

// The value printf("%.*f", decimals, value) shows, read back.
double PrintedValue(double value, unsigned decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", static_cast<int>(decimals), value);
    return std::strtod(text, nullptr);
}

} // namespace

double RadToDeg(double rad) {
    return rad * (180.0 / std::numbers::pi);
}

double RadToGon(double rad) {
    return rad * (200.0 / std::numbers::pi);
}

bool RadToDms(double rad, int* deg, int* min, int* sign, double* sec) {
    if (deg == nullptr || min == nullptr || sign == nullptr || sec == nullptr)
        return false;
    *deg = *min = 0;
    *sign = 1;
    *sec = std::numeric_limits<double>::quiet_NaN();
    const double totalSeconds = std::fabs(rad) * kSecondsPerRadian;
    if (!std::isfinite(totalSeconds) || totalSeconds / 3600 >= static_cast<double>(INT_MAX))
        return false;
    // fmod is exact, and so is the subtraction: below 2^53 the whole
    // multiple of 60 is an integer that a double holds.
    const double seconds = std::fmod(totalSeconds, 60.0);
    const long long wholeMinutes = static_cast<long long>((totalSeconds - seconds) / 60);
    *sign = rad < 0 ? -1 : 1;
    *deg = static_cast<int>(wholeMinutes / 60);
    *min = static_cast<int>(wholeMinutes % 60);
    *sec = seconds;
    return true;
}

bool MaxDmsImage(int* deg, int* min, double* sec, unsigned decimals, unsigned degreeLimit) {
    if (deg == nullptr || min == nullptr || sec == nullptr)
        return false;
    if (!std::isfinite(*sec) || *sec < 0 || *deg < 0 || *min < 0 || *sec >= 1e15)
        return false;
    if (decimals > kMaxDecimals)
        decimals = kMaxDecimals;

    // Seconds that show as 60 or more go over into the minutes.
    double seconds = PrintedValue(*sec, decimals);
    const double secondCarry = std::floor(seconds / 60);
    seconds = PrintedValue(seconds - 60 * secondCarry, decimals);

    // Minutes of 60 or more go over into the degrees.
    const long long minutes = static_cast<long long>(*min) + static_cast<long long>(secondCarry);
    long long degrees = static_cast<long long>(*deg) + minutes / 60;
    if (degreeLimit != 0)
        degrees %= degreeLimit;
    if (degrees > INT_MAX)
        return false;

    *deg = static_cast<int>(degrees);
    *min = static_cast<int>(minutes % 60);
    *sec = seconds;
    return true;
}

void SignToString(int sign, CKZString& out) {
    out = sign < 0 ? L"-" : L"";
}

} // namespace Tavex
