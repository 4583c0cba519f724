// The adjusted additional parameters, the adjusted observations and the
// residuals of the GPS baselines in the horizon of their stations.
#include "engine/local_frame.h"
#include "output/report_sections.h"
#include "output/row_naming.h"
#include "resources/string_ids.h"
#include "testing/row_results.h"

namespace Tavex {

namespace {

constexpr int kCodeWidth = 4;
constexpr int kUnitWidth = 4;
constexpr int kValueWidth = 14;
constexpr int kSmallWidth = 11;
constexpr int kGroupWidth = 4;

struct ParameterLabel {
    int label;
    bool angle;   // value and standard deviation are angles
    int decimals; // otherwise: decimals of the plain number
    bool length;  // otherwise: a length
};

ParameterLabel LabelOf(const UnknownDescriptor& u) {
    switch (u.kind) {
    case UNK_ORIENTATION:
        return {STR_KIND_ORIENTATIONS, true, 0, false};
    case UNK_SCALE:
        return {STR_KIND_SCALE_FACTORS, false, 8, false};
    case UNK_REFRACTION:
        return {STR_KIND_REFRACTION, false, 4, false};
    case UNK_AZIMUTH_OFFSET:
        return {STR_KIND_AZIMUTH_OFFSETS, true, 0, false};
    case UNK_GPS_TRANSFORMATION:
        if (u.sub >= GPS_ROTATION_X && u.sub <= GPS_ROTATION_Z)
            return {STR_LABEL_GPS_ROTATION_X + u.sub - 1, true, 0, false};
        if (u.sub == GPS_SCALE)
            return {STR_LABEL_GPS_SCALE, false, 9, false};
        return {STR_LABEL_GPS_ROTATION_X + u.sub - 1, false, 4, true};
    case UNK_DEFLECTION_EAST:
    case UNK_DEFLECTION_NORTH:
        return {STR_KIND_DEFLECTIONS, true, 0, false};
    case UNK_ADDITIONAL_ROTATION:
        return {STR_KIND_ADDITIONAL_TRANSFORMATION, true, 0, false};
    default:
        switch (LocalParameterUnitOf(u.sub)) {
        case LocalParameterUnit::Angle:
            return {STR_KIND_ADDITIONAL_TRANSFORMATION, true, 0, false};
        case LocalParameterUnit::Scale:
            return {STR_KIND_ADDITIONAL_TRANSFORMATION, false, 9, false};
        default:
            return {STR_KIND_ADDITIONAL_TRANSFORMATION, false, 4, true};
        }
    }
}

CKZString ParameterField(const ReportContext& c, const ParameterLabel& label, double value,
                         int width, AngleUse use) {
    if (label.angle)
        return AngleField(c.units, value, width, use);
    if (label.length)
        return LengthField(c.units, value, width);
    return FixedField(value, width, label.decimals);
}

CKZString UnitOf(const ReportContext& c, const ParameterLabel& label) {
    if (label.angle)
        return c.units.angleName;
    return label.length ? c.units.linearName : CKZString();
}

} // namespace

void WriteParameterAdjustment(const ReportContext& c) {
    WriteHeading(c, STR_HEADING_PARAMETER_ADJUSTMENT);
    const auto& sd = c.e.results.sdUnknown;
    bool any = false;
    for (std::uint32_t i = 1; i <= c.e.Unknowns(); ++i) {
        const UnknownDescriptor& u = c.e.unknowns[i];
        if (u.IsCoordinate())
            continue;
        if (!any) {
            ReportLine head;
            head.Left(Label(STR_LABEL_PARAMETER), c.nameWidth)
                .Left(Label(STR_LABEL_STATION), c.nameWidth)
                .Right(Label(STR_LABEL_GROUP), kGroupWidth)
                .Right(Label(STR_LABEL_A_PRIORI), kValueWidth)
                .Right(Label(c.design ? STR_LABEL_VALUE : STR_LABEL_ADJUSTED), kValueWidth)
                .Right(Label(STR_LABEL_SD), kValueWidth)
                .Left(CKZString(), kUnitWidth);
            WriteLine(c, head.Text());
            any = true;
        }
        const ParameterLabel label = LabelOf(u);
        // A scale factor's standard deviation is relative to its value.
        double sigma = i < sd.size() ? sd[i] : 0.0;
        if (u.kind == UNK_SCALE)
            sigma *= c.e.values[i];
        const AngleUse use = u.kind == UNK_ORIENTATION ? AngleUse::Direction : AngleUse::Signed;
        ReportLine line;
        line.Left(Label(label.label), c.nameWidth).Left(StationName(c.p, u.station), c.nameWidth);
        // The set of an orientation, the group of a scale factor, refraction
        // coefficient or azimuth offset, the number of an additional
        // transformation parameter; other network-wide parameters have none.
        const bool grouped = (u.kind >= UNK_ORIENTATION && u.kind <= UNK_AZIMUTH_OFFSET) ||
                             u.kind == UNK_ADDITIONAL_TRANSFORMATION;
        if (grouped)
            line.Number(u.sub, kGroupWidth, 0);
        else
            line.Skip(kGroupWidth);
        double prior = 0.0;
        if (APrioriParameterValue(c.p, u, prior))
            line.Right(ParameterField(c, label, prior, kValueWidth, use), kValueWidth);
        else
            line.Skip(kValueWidth);
        line.Right(ParameterField(c, label, c.e.values[i], kValueWidth, use), kValueWidth)
            .Right(ParameterField(c, label, sigma, kValueWidth, AngleUse::Signed), kValueWidth)
            .Left(UnitOf(c, label), kUnitWidth);
        WriteLine(c, line.Text());
    }
    if (!any)
        WriteLine(c, Label(STR_LABEL_NONE));
}

void WriteObservationAdjustment(const ReportContext& c) {
    WriteHeading(c, STR_HEADING_OBSERVATION_ADJUSTMENT);
    ReportLine head;
    head.Left(Label(STR_LABEL_STATION), c.nameWidth)
        .Left(Label(STR_LABEL_TARGET), c.nameWidth)
        .Left(Label(STR_LABEL_CODE), kCodeWidth)
        .Left(CKZString(), kUnitWidth)
        .Right(Label(STR_LABEL_READING), kValueWidth);
    if (!c.design)
        head.Right(Label(STR_LABEL_ADJUSTED), kValueWidth)
            .Right(Label(STR_LABEL_RESIDUAL), kSmallWidth);
    head.Right(Label(STR_LABEL_SD), kSmallWidth).Right(Label(STR_LABEL_SD_ADJUSTED), kSmallWidth);
    WriteLine(c, head.Text());
    for (std::size_t r = 1; r <= c.e.observationRows; ++r) {
        const RowName name = NameOfRow(c.p, c.e, r);
        const RowResult result = ResultOf(c.p, c.e, r);
        const auto value = [&](double v, int width, AngleUse use) {
            return name.angle ? AngleField(c.units, v, width, use) : LengthField(c.units, v, width);
        };
        ReportLine line;
        line.Left(name.station, c.nameWidth)
            .Left(name.target, c.nameWidth)
            .Left(name.code, kCodeWidth)
            .Left(name.angle ? c.units.angleName : c.units.linearName, kUnitWidth)
            .Right(value(result.observed, kValueWidth, AngleUse::Direction), kValueWidth);
        if (!c.design)
            line.Right(value(result.adjusted, kValueWidth, AngleUse::Direction), kValueWidth)
                .Right(value(result.residual, kSmallWidth, AngleUse::Signed), kSmallWidth);
        line.Right(value(result.sd, kSmallWidth, AngleUse::Signed), kSmallWidth)
            .Right(value(result.sdAdjusted, kSmallWidth, AngleUse::Signed), kSmallWidth);
        WriteLine(c, line.Text());
    }
}

void WriteBaselineResiduals(const ReportContext& c) {
    if (c.design || c.e.counts.gpsBaselines == 0)
        return;
    WriteHeading(c, STR_HEADING_BASELINE_RESIDUALS);
    ReportLine head, units;
    head.Left(Label(STR_LABEL_STATION), c.nameWidth)
        .Left(Label(STR_LABEL_TARGET), c.nameWidth)
        .Right(Label(STR_LABEL_NORTH), kSmallWidth)
        .Right(Label(STR_LABEL_EAST), kSmallWidth)
        .Right(Label(STR_LABEL_UP), kSmallWidth);
    const CKZString length = Bracketed(c.units.linearName);
    units.Skip(c.nameWidth)
        .Skip(c.nameWidth)
        .Right(length, kSmallWidth)
        .Right(length, kSmallWidth)
        .Right(length, kSmallWidth);
    WriteLine(c, head.Text());
    WriteLine(c, units.Text());
    for (std::size_t r = 1; r + 2 <= c.e.observationRows; ++r) {
        const ObservationRow& row = c.e.rows[r];
        if (row.kind != ROW_GPS_BASELINE || row.sub != 0)
            continue;
        double v[3];
        for (int k = 0; k < 3; ++k)
            v[k] = ResultOf(c.p, c.e, r + k).residual;
        // The residual vector (geocentric X, Y, Z) in the horizon of the
        // baseline's first station.
        const StationGeometry& g = c.e.geometry[row.from];
        const double north =
            -g.sinLat * g.cosLon * v[0] - g.sinLat * g.sinLon * v[1] + g.cosLat * v[2];
        const double east = -g.sinLon * v[0] + g.cosLon * v[1];
        const double up = g.cosLat * g.cosLon * v[0] + g.cosLat * g.sinLon * v[1] + g.sinLat * v[2];
        const RowName name = NameOfRow(c.p, c.e, r);
        ReportLine line;
        line.Left(name.station, c.nameWidth)
            .Left(name.target, c.nameWidth)
            .Right(LengthField(c.units, north, kSmallWidth), kSmallWidth)
            .Right(LengthField(c.units, east, kSmallWidth), kSmallWidth)
            .Right(LengthField(c.units, up, kSmallWidth), kSmallWidth);
        WriteLine(c, line.Text());
    }
}

} // namespace Tavex
