// Absolute and relative precision: standard (or confidence) ellipses,
// height standard deviations, standard circles and the criterion circles of
// a free network.
#include "output/report_sections.h"
#include "output/row_naming.h"
#include "resources/string_ids.h"
#include "testing/precision.h"

#include <numbers>

namespace Tavex {

namespace {

constexpr int kAxisWidth = 10;
constexpr int kRatioWidth = 7;
constexpr int kLengthWidth = 12;
constexpr int kPpmWidth = 9;
constexpr int kCriterionWidth = 7;
constexpr int kCriterionDecimals = 3;
constexpr double kDefaultLevel1D = 0.683;
constexpr double kDefaultLevel2D = 0.394;
constexpr double kSquareCentimetres = 1e4; // cm² per m²
constexpr double kSquareCmPerKm = 1e7;     // cm²/km per m²/m
constexpr double kPartsPerMillion = 1e6;
constexpr double kFloor = 1e-32;

bool DefaultLevels(const ProjectState& p) {
    return p.ConfidenceLevel1D == kDefaultLevel1D && p.ConfidenceLevel2D == kDefaultLevel2D;
}

// The confidence levels in per cent behind "1D - " and "2D - ".
void ConfidenceLine(const ReportContext& c) {
    CKZString text;
    text.Format(L"1D - %3.1f %%    2D - %3.1f %%", 100.0 * c.p.ConfidenceLevel1D,
                100.0 * c.p.ConfidenceLevel2D);
    WriteLine(c, text);
}

// The heading of a precision section: the confidence heading with the
// levels when a level differs from its default, the plain one otherwise.
void PrecisionHeading(const ReportContext& c, int plain, int confidence) {
    if (DefaultLevels(c.p)) {
        WriteHeading(c, plain);
        return;
    }
    WriteHeading(c, confidence);
    ConfidenceLine(c);
}

// The criterion constants, C0 in cm² and C1 in cm²/km.
void CriterionConstants(const ReportContext& c) {
    CKZString value;
    value.Format(L"%*.*f %s", kCriterionWidth, kCriterionDecimals,
                 kCriterionC0 * kSquareCentimetres, Label(STR_UNIT_SQUARE_CM).c_str());
    WriteLabelled(c, Label(STR_LABEL_C0), value);
    value.Format(L"%*.*f %s", kCriterionWidth, kCriterionDecimals, kCriterionC1 * kSquareCmPerKm,
                 Label(STR_UNIT_SQUARE_CM_PER_KM).c_str());
    WriteLabelled(c, Label(STR_LABEL_C1), value);
}

// The direction of a major axis in [0, π): an ellipse's axis has no sense.
double AxisDirection(double phi) {
    return phi < 0.0 ? phi + std::numbers::pi : phi;
}

double Ratio(double a, double b) {
    return a / std::max(b, kFloor);
}

bool HasHeightColumn(const ReportContext& c) {
    return c.p.Dimension == 3;
}

void EllipseTable(const ReportContext& c, bool criterion) {
    const CKZString length = Bracketed(c.units.linearName);
    ReportLine head, units;
    head.Left(Label(STR_LABEL_STATION), c.nameWidth)
        .Right(Label(STR_LABEL_A), kAxisWidth)
        .Right(Label(STR_LABEL_B), kAxisWidth)
        .Right(Label(STR_LABEL_A_OVER_B), kRatioWidth)
        .Right(Label(STR_LABEL_PHI), kAngleWidth);
    units.Skip(c.nameWidth)
        .Right(length, kAxisWidth)
        .Right(length, kAxisWidth)
        .Skip(kRatioWidth)
        .Right(Bracketed(c.units.angleName), kAngleWidth);
    if (HasHeightColumn(c)) {
        head.Right(Label(STR_LABEL_SD_HEIGHT), kAxisWidth);
        units.Right(length, kAxisWidth);
    }
    if (criterion) {
        head.Right(Label(STR_LABEL_CRITERION_RADIUS), kAxisWidth);
        units.Right(length, kAxisWidth);
    }
    WriteLine(c, head.Text());
    WriteLine(c, units.Text());
    const auto& stations = c.e.results.stations;
    for (const unsigned s : AdjustedStations(c.e)) {
        if (s >= stations.size() || !stations[s].computed)
            continue;
        const StationPrecision& sp = stations[s];
        const bool horizontal = c.e.index.north[s] != 0 && c.e.index.east[s] != 0;
        ReportLine line;
        line.Left(c.p.Stations[s].Name, c.nameWidth);
        if (horizontal)
            line.Right(LengthField(c.units, c.units.m2 * sp.ellipse.A, kAxisWidth), kAxisWidth)
                .Right(LengthField(c.units, c.units.m2 * sp.ellipse.B, kAxisWidth), kAxisWidth)
                .Number(Ratio(sp.ellipse.A, sp.ellipse.B), kRatioWidth, 2)
                .Right(AngleField(c.units, AxisDirection(sp.ellipse.phi), kAngleWidth,
                                  AngleUse::Signed),
                       kAngleWidth);
        else
            line.Skip(kAxisWidth).Skip(kAxisWidth).Skip(kRatioWidth).Skip(kAngleWidth);
        if (HasHeightColumn(c))
            line.Right(c.e.index.height[s] != 0
                           ? LengthField(c.units, c.units.m1 * sp.sdHeight, kAxisWidth)
                           : CKZString(),
                       kAxisWidth);
        if (criterion)
            line.Right(LengthField(c.units, c.units.m2 * sp.criterion, kAxisWidth), kAxisWidth);
        WriteLine(c, line.Text());
    }
}

void CircleTable(const ReportContext& c) {
    const CKZString length = Bracketed(c.units.linearName);
    ReportLine head, units;
    head.Left(Label(STR_LABEL_STATION), c.nameWidth)
        .Right(Label(STR_LABEL_SD_HEIGHT), kAxisWidth)
        .Right(Label(STR_LABEL_CRITERION_RADIUS), kAxisWidth);
    units.Skip(c.nameWidth).Right(length, kAxisWidth).Right(length, kAxisWidth);
    WriteLine(c, head.Text());
    WriteLine(c, units.Text());
    const auto& stations = c.e.results.stations;
    for (const unsigned s : AdjustedStations(c.e)) {
        if (s >= stations.size() || !stations[s].computed || c.e.index.height[s] == 0)
            continue;
        ReportLine line;
        line.Left(c.p.Stations[s].Name, c.nameWidth)
            .Right(LengthField(c.units, c.units.m1 * stations[s].sdHeight, kAxisWidth), kAxisWidth)
            .Right(LengthField(c.units, c.units.m1 * stations[s].criterion, kAxisWidth),
                   kAxisWidth);
        WriteLine(c, line.Text());
    }
}

void RelativeEllipseTable(const ReportContext& c, bool criterion) {
    const CKZString length = Bracketed(c.units.linearName);
    const CKZString ppm = Bracketed(Label(STR_UNIT_PPM));
    ReportLine head, units;
    head.Left(Label(STR_LABEL_STATION), c.nameWidth)
        .Left(Label(STR_LABEL_TARGET), c.nameWidth)
        .Right(Label(STR_LABEL_A), kAxisWidth)
        .Right(Label(STR_LABEL_B), kAxisWidth)
        .Right(Label(STR_LABEL_PSI), kAngleWidth)
        .Right(Label(STR_LABEL_R), kLengthWidth)
        .Right(Label(STR_LABEL_A_OVER_R), kPpmWidth);
    units.Skip(c.nameWidth)
        .Skip(c.nameWidth)
        .Right(length, kAxisWidth)
        .Right(length, kAxisWidth)
        .Right(Bracketed(c.units.angleName), kAngleWidth)
        .Right(length, kLengthWidth)
        .Right(ppm, kPpmWidth);
    if (HasHeightColumn(c)) {
        head.Right(Label(STR_LABEL_SD_HEIGHT), kAxisWidth)
            .Right(Label(STR_LABEL_SD_OVER_R), kPpmWidth);
        units.Right(length, kAxisWidth).Right(ppm, kPpmWidth);
    }
    if (criterion) {
        head.Right(Label(STR_LABEL_CRITERION_RADIUS), kAxisWidth);
        units.Right(length, kAxisWidth);
    }
    WriteLine(c, head.Text());
    WriteLine(c, units.Text());
    for (const RelativePrecision& rel : c.e.results.relative) {
        const double A = c.units.m2 * rel.ellipse.A;
        const double sd = c.units.m1 * rel.sdHeight;
        ReportLine line;
        line.Left(StationName(c.p, rel.from), c.nameWidth)
            .Left(StationName(c.p, rel.to), c.nameWidth)
            .Right(LengthField(c.units, A, kAxisWidth), kAxisWidth)
            .Right(LengthField(c.units, c.units.m2 * rel.ellipse.B, kAxisWidth), kAxisWidth)
            .Right(
                AngleField(c.units, AxisDirection(rel.ellipse.phi), kAngleWidth, AngleUse::Signed),
                kAngleWidth)
            .Right(LengthField(c.units, rel.length, kLengthWidth, 3), kLengthWidth)
            .Number(kPartsPerMillion * Ratio(A, rel.length), kPpmWidth, 2);
        if (HasHeightColumn(c))
            line.Right(LengthField(c.units, sd, kAxisWidth), kAxisWidth)
                .Number(kPartsPerMillion * Ratio(sd, rel.length), kPpmWidth, 2);
        if (criterion)
            line.Right(LengthField(c.units, c.units.m2 * rel.criterion, kAxisWidth), kAxisWidth);
        WriteLine(c, line.Text());
    }
}

void RelativeCircleTable(const ReportContext& c) {
    const CKZString length = Bracketed(c.units.linearName);
    ReportLine head, units;
    head.Left(Label(STR_LABEL_STATION), c.nameWidth)
        .Left(Label(STR_LABEL_TARGET), c.nameWidth)
        .Right(Label(STR_LABEL_SD_HEIGHT), kAxisWidth)
        .Right(Label(STR_LABEL_R), kLengthWidth)
        .Right(Label(STR_LABEL_SD_OVER_R), kPpmWidth)
        .Right(Label(STR_LABEL_CRITERION_RADIUS), kAxisWidth);
    units.Skip(c.nameWidth)
        .Skip(c.nameWidth)
        .Right(length, kAxisWidth)
        .Right(length, kLengthWidth)
        .Right(Bracketed(Label(STR_UNIT_PPM)), kPpmWidth)
        .Right(length, kAxisWidth);
    WriteLine(c, head.Text());
    WriteLine(c, units.Text());
    for (const RelativePrecision& rel : c.e.results.relative) {
        const double sd = c.units.m1 * rel.sdHeight;
        ReportLine line;
        line.Left(StationName(c.p, rel.from), c.nameWidth)
            .Left(StationName(c.p, rel.to), c.nameWidth)
            .Right(LengthField(c.units, sd, kAxisWidth), kAxisWidth)
            .Right(LengthField(c.units, rel.length, kLengthWidth, 3), kLengthWidth)
            .Number(kPartsPerMillion * Ratio(sd, rel.length), kPpmWidth, 2)
            .Right(LengthField(c.units, c.units.m1 * rel.criterion, kAxisWidth), kAxisWidth);
        WriteLine(c, line.Text());
    }
}

} // namespace

void WriteAbsolutePrecision(const ReportContext& c) {
    if (!c.e.results.precisionComputed)
        return;
    const bool free = c.p.Phase == PHASE_FREE;
    if (c.p.Dimension == 1) {
        if (!free)
            return;
        WriteHeading(c, STR_HEADING_ABSOLUTE_CIRCLES);
        if (!DefaultLevels(c.p))
            ConfidenceLine(c);
        CriterionConstants(c);
        CircleTable(c);
        return;
    }
    PrecisionHeading(c, STR_HEADING_ABSOLUTE_ELLIPSES, STR_HEADING_ABSOLUTE_CONFIDENCE);
    if (free)
        CriterionConstants(c);
    EllipseTable(c, free);
}

void WriteRelativePrecision(const ReportContext& c) {
    if (!c.e.results.precisionComputed)
        return;
    const bool free = c.p.Phase == PHASE_FREE;
    if (c.p.Dimension == 1) {
        if (!free)
            return;
        PrecisionHeading(c, STR_HEADING_RELATIVE_PRECISION, STR_HEADING_RELATIVE_CONFIDENCE);
        WriteLine(c, Label(STR_HEADING_RELATIVE_CIRCLES));
        RelativeCircleTable(c);
        return;
    }
    PrecisionHeading(c, STR_HEADING_RELATIVE_PRECISION, STR_HEADING_RELATIVE_CONFIDENCE);
    WriteLine(c, Label(STR_HEADING_RELATIVE_ELLIPSES));
    RelativeEllipseTable(c, free);
}

} // namespace Tavex
