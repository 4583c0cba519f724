#include "output/report_format.h"

#include "geodesy/angle_conversion.h"
#include "messages/string_loader.h"
#include "resources/string_ids.h"
#include "testing/confidence_multiplier.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <numbers>

namespace Tavex {

namespace {

constexpr int kMaxDecimals = 15;
constexpr double kFullCircleGon = 400.0;
constexpr double kFullCircleDegrees = 360.0;
constexpr unsigned kDegreeLimit = 360;

// The text in width columns, right-aligned; width asterisks when it does
// not fit.
CKZString FitRight(const CKZString& text, int width) {
    if (DisplayWidth(text) > width)
        return CKZString(std::wstring(static_cast<std::size_t>(width), L'*'));
    return PadLeft(text, width);
}

// The widest "%.*e" image of value that fits width columns, or asterisks.
CKZString ExponentField(double value, int width) {
    for (int precision = std::min(kMaxDecimals, std::max(width - 6, 0)); precision >= 0;
         --precision) {
        CKZString image;
        image.Format(L"%.*e", precision, value);
        if (image.GetLength() <= width)
            return PadLeft(image, width);
    }
    return CKZString(std::wstring(static_cast<std::size_t>(width), L'*'));
}

bool IsWide(wchar_t c) {
    const auto u = static_cast<std::uint32_t>(c);
    return (u >= 0x1100 && u <= 0x115F) || (u >= 0x2E80 && u <= 0x303E) ||
           (u >= 0x3041 && u <= 0x33FF) || (u >= 0x3400 && u <= 0x4DBF) ||
           (u >= 0x4E00 && u <= 0x9FFF) || (u >= 0xA000 && u <= 0xA4CF) ||
           (u >= 0xAC00 && u <= 0xD7A3) || (u >= 0xF900 && u <= 0xFAFF) ||
           (u >= 0xFE30 && u <= 0xFE4F) || (u >= 0xFF00 && u <= 0xFF60) ||
           (u >= 0xFFE0 && u <= 0xFFE6) || (u >= 0x20000 && u <= 0x3FFFD);
}

int AngleDecimals(int angleUnit, AngleUse use) {
    if (use == AngleUse::Coordinate)
        return angleUnit == 2 ? 5 : 9;
    switch (angleUnit) {
    case 1:
        return 6;
    case 2:
        return 2;
    default:
        return 5;
    }
}

// value in [0, full) as it prints with decimals: a value that would round up
// to the full circle reads 0.
double WrapCircle(double value, double full, int decimals) {
    value = std::fmod(value, full);
    if (value < 0.0)
        value += full;
    CKZString image;
    image.Format(L"%.*f", decimals, value);
    return std::wcstod(image.c_str(), nullptr) >= full ? 0.0 : value;
}

CKZString DmsField(double radians, int width, int decimals, bool wrap) {
    if (wrap) {
        radians = std::fmod(radians, 2.0 * std::numbers::pi);
        if (radians < 0.0)
            radians += 2.0 * std::numbers::pi;
    }
    int degrees = 0, minutes = 0, sign = 1;
    double seconds = 0.0;
    if (!RadToDms(radians, &degrees, &minutes, &sign, &seconds) ||
        !MaxDmsImage(&degrees, &minutes, &seconds, static_cast<unsigned>(decimals),
                     wrap ? kDegreeLimit : 0))
        return ExponentField(RadToDeg(radians), width);
    CKZString minus, image;
    SignToString(sign, minus);
    const int secondsWidth = decimals > 0 ? decimals + 3 : 2;
    image.Format(L"%s%*d %02d %0*.*f", minus.c_str(), 1, degrees, minutes, secondsWidth, decimals,
                 seconds);
    if (image.GetLength() > width)
        return ExponentField(RadToDeg(radians), width);
    return PadLeft(image, width);
}

} // namespace

CKZString FixedField(double value, int width, int decimals) {
    width = std::max(width, 1);
    decimals = std::clamp(decimals, 0, kMaxDecimals);
    if (std::isnan(value))
        return FitRight(L"NaN", width);
    if (std::isinf(value))
        return FitRight(value < 0.0 ? L"-INF" : L"INF", width);
    CKZString image;
    image.Format(L"%*.*f", width, decimals, value);
    if (image.GetLength() <= width)
        return image;
    return ExponentField(value, width);
}

int DisplayWidth(const CKZString& text) {
    int width = 0;
    for (wchar_t c : text.wstr())
        width += IsWide(c) ? 2 : 1;
    return width;
}

CKZString PadRight(const CKZString& text, int width) {
    const int pad = width - DisplayWidth(text);
    return pad > 0 ? text + CKZString(std::wstring(static_cast<std::size_t>(pad), L' ')) : text;
}

CKZString PadLeft(const CKZString& text, int width) {
    const int pad = width - DisplayWidth(text);
    return pad > 0 ? CKZString(std::wstring(static_cast<std::size_t>(pad), L' ')) + text : text;
}

CKZString Label(int id) {
    std::wstring text = CStringL(id).wstr();
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r'))
        text.pop_back();
    return CKZString(text);
}

ReportUnits UnitsOf(const ProjectState& p) {
    ReportUnits units;
    units.angleUnit = (p.AngleUnit == 1 || p.AngleUnit == 2) ? p.AngleUnit : 0;
    units.angleName = Label(STR_UNIT_GON + units.angleUnit);
    units.linearFactor = p.LinearFact;
    units.linearName = p.LinearUnit.IsEmpty() ? Label(STR_UNIT_METRE) : p.LinearUnit;
    units.m1 = MultiplierConfidenceValue(p.ConfidenceLevel1D, 1);
    units.m2 = MultiplierConfidenceValue(p.ConfidenceLevel2D, 2);
    return units;
}

CKZString AngleField(const ReportUnits& units, double radians, int width, AngleUse use) {
    const int decimals = AngleDecimals(units.angleUnit, use);
    if (!std::isfinite(radians))
        return FixedField(radians, width, decimals);
    if (units.angleUnit == 2)
        return DmsField(radians, width, decimals, use == AngleUse::Direction);
    const bool degrees = units.angleUnit == 1;
    double value = degrees ? RadToDeg(radians) : RadToGon(radians);
    if (use == AngleUse::Direction)
        value = WrapCircle(value, degrees ? kFullCircleDegrees : kFullCircleGon, decimals);
    return FixedField(value, width, decimals);
}

CKZString LengthField(const ReportUnits& units, double metres, int width, int decimals) {
    return FixedField(metres * units.linearFactor, width, decimals);
}

void ReportLine::Separate() {
    if (!text_.IsEmpty())
        text_ += L" ";
}

ReportLine& ReportLine::Left(const CKZString& text, int width) {
    Separate();
    text_ += PadRight(text, width);
    return *this;
}

ReportLine& ReportLine::Right(const CKZString& text, int width) {
    Separate();
    // A first column that is blank still takes its room.
    if (text_.IsEmpty() && text.IsEmpty())
        text_ = CKZString(std::wstring(static_cast<std::size_t>(width), L' '));
    else
        text_ += PadLeft(text, width);
    return *this;
}

ReportLine& ReportLine::Number(double value, int width, int decimals) {
    return Right(FixedField(value, width, decimals), width);
}

ReportLine& ReportLine::Test(double value, int width, int decimals, bool rejected) {
    Separate();
    text_ += FixedField(value, width, decimals);
    text_ += rejected ? Label(STR_MARK_REJECTED) : CKZString(L"  ");
    return *this;
}

} // namespace Tavex
