#include "angle_text.h"

#include <cmath>
#include <cstdio>
#include <numbers>
#include <sstream>

namespace TavexCli {

double ToRadians(double value, AngleUnit unit) {
    return unit == AngleUnit::Gon ? value * std::numbers::pi / 200.0
                                  : value * std::numbers::pi / 180.0;
}

std::optional<double> ParseDms(const std::string& text) {
    std::istringstream in(text);
    std::string first;
    if (!(in >> first))
        return std::nullopt;
    const bool negative = !first.empty() && first[0] == '-';
    double parts[3] = {0, 0, 0};
    try {
        std::size_t used = 0;
        parts[0] = std::fabs(std::stod(first, &used));
        if (used != first.size())
            return std::nullopt;
        for (int k = 1; k < 3; ++k) {
            std::string word;
            if (!(in >> word))
                break;
            parts[k] = std::stod(word, &used);
            if (used != word.size() || parts[k] < 0 || parts[k] >= 60)
                return std::nullopt;
        }
    } catch (const std::exception&) {
        return std::nullopt;
    }
    std::string rest;
    if (in >> rest)
        return std::nullopt;
    const double degrees = parts[0] + parts[1] / 60.0 + parts[2] / 3600.0;
    return (negative ? -degrees : degrees) * std::numbers::pi / 180.0;
}

std::string FormatAngle(double radians, AngleUnit unit, int decimals) {
    char text[64];
    if (unit == AngleUnit::Gon) {
        std::snprintf(text, sizeof text, "%.*f", decimals, radians * 200.0 / std::numbers::pi);
        return text;
    }
    double degrees = radians * 180.0 / std::numbers::pi;
    if (unit == AngleUnit::Degree) {
        std::snprintf(text, sizeof text, "%.*f", decimals, degrees);
        return text;
    }
    const bool negative = degrees < 0;
    degrees = std::fabs(degrees);
    // Round the seconds first, then carry into minutes and degrees.
    const double scale = std::pow(10.0, decimals);
    double seconds = std::round(degrees * 3600.0 * scale) / scale;
    const long whole = static_cast<long>(std::floor(seconds / 3600.0));
    seconds -= whole * 3600.0;
    const long minutes = static_cast<long>(std::floor(seconds / 60.0));
    seconds -= minutes * 60.0;
    std::snprintf(text, sizeof text, "%s%ld %02ld %0*.*f", negative ? "-" : "", whole, minutes,
                  decimals + 3, decimals, std::fabs(seconds));
    return text;
}

const char* UnitName(AngleUnit unit) {
    switch (unit) {
    case AngleUnit::Gon:
        return "gon";
    case AngleUnit::Degree:
        return "deg";
    default:
        return "dms";
    }
}

} // namespace TavexCli
