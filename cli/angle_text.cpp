#include "angle_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <sstream>
#include <vector>

namespace TavexCli {

namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;

// A decimal number without sign or exponent: digits with at most one point
// and at least one digit.
std::optional<double> PlainDecimal(const std::string& word) {
    bool point = false, digit = false;
    for (char c : word) {
        if (c == '.' && !point)
            point = true;
        else if (c >= '0' && c <= '9')
            digit = true;
        else
            return std::nullopt;
    }
    if (!digit)
        return std::nullopt;
    double value = 0.0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> FromParts(bool negative, double degrees, double minutes, double seconds) {
    if (!(minutes >= 0 && minutes < 60 && seconds >= 0 && seconds < 60))
        return std::nullopt;
    const double value = degrees + minutes / 60.0 + seconds / 3600.0;
    return (negative ? -value : value) * kRadiansPerDegree;
}

} // namespace

std::optional<double> ToRadians(double value, AngleUnit unit) {
    switch (unit) {
    case AngleUnit::Gon:
        return value * std::numbers::pi / 200.0;
    case AngleUnit::Degree:
        return value * kRadiansPerDegree;
    default:
        return PackedDmsToRadians(value);
    }
}

std::optional<double> PackedDmsToRadians(double packed) {
    if (!std::isfinite(packed))
        return std::nullopt;
    // The shortest decimal text that reads back as this double is the text
    // the surveyor wrote (up to trailing zeros), so its digits are the
    // minutes and seconds exactly: 32.01 is 32°01', not 32°00'99.99…".
    char text[400];
    const auto [end, error] =
        std::to_chars(text, text + sizeof text, std::fabs(packed), std::chars_format::fixed);
    if (error != std::errc())
        return std::nullopt;
    const std::string digits(text, end);
    const auto point = digits.find('.');
    const std::string whole = digits.substr(0, point);
    std::string fraction = point == std::string::npos ? "" : digits.substr(point + 1);
    fraction.resize(std::max<std::size_t>(fraction.size(), 4), '0');
    const double degrees = std::stod(whole);
    const double minutes = std::stod(fraction.substr(0, 2));
    const std::string rest = fraction.substr(4);
    const double seconds = std::stod(fraction.substr(2, 2) + (rest.empty() ? "" : "." + rest));
    return FromParts(std::signbit(packed), degrees, minutes, seconds);
}

std::optional<double> ParseDms(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    if (words.empty() || words.size() > 3)
        return std::nullopt;
    const bool negative = words[0][0] == '-';
    if (negative)
        words[0].erase(0, 1);
    double parts[3] = {0, 0, 0};
    for (std::size_t k = 0; k < words.size(); ++k) {
        const auto value = PlainDecimal(words[k]);
        if (!value)
            return std::nullopt;
        parts[k] = *value;
    }
    return FromParts(negative, parts[0], parts[1], parts[2]);
}

std::string FormatAngle(double radians, AngleUnit unit, int decimals) {
    char text[64];
    if (unit == AngleUnit::Gon) {
        std::snprintf(text, sizeof text, "%.*f", decimals, radians * 200.0 / std::numbers::pi);
        return text;
    }
    double degrees = radians / kRadiansPerDegree;
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
