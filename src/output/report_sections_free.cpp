// The free stations (side shots): their coordinates under the title of the
// adjustment's datum, the readings of their records, and their absolute
// precision.
#include "engine/datum_rows.h"
#include "output/report_sections.h"
#include "output/row_naming.h"
#include "resources/string_ids.h"

#include <numbers>

namespace Tavex {

namespace {

constexpr int kLengthWidth = 14;
constexpr int kValueWidth = 14;
constexpr int kSmallWidth = 11;
constexpr int kCodeWidth = 4;
constexpr int kUnitWidth = 4;
constexpr int kAxisWidth = 10;
constexpr int kRatioWidth = 7;

std::vector<const FreeObservation*> SolvedFreeObservations(const EngineState& e) {
    std::vector<const FreeObservation*> solved;
    for (const FreeObservation& f : e.freeObservations.list)
        if (f.solved)
            solved.push_back(&f);
    return solved;
}

// Grid coordinates when the project has a map projection that maps every
// free station, else latitude and longitude.
bool GridFor(const ReportContext& c, const std::vector<const FreeObservation*>& free) {
    if (c.p.ProjectionType == 0 || !c.p.CurrentProjection)
        return false;
    for (const FreeObservation* f : free) {
        const StationGeometry& g = c.e.geometry[f->freeStation];
        double x, y;
        if (!c.p.CurrentProjection->LatLonToXY(g.lat, g.lon, &x, &y))
            return false;
    }
    return true;
}

void CoordinateTable(const ReportContext& c, const std::vector<const FreeObservation*>& free) {
    const bool grid = GridFor(c, free);
    const int width = grid ? kLengthWidth : kCoordinateAngleWidth;
    const bool plane = c.p.Dimension != 1;
    bool heights = false;
    for (const FreeObservation* f : free)
        heights |= f->height;
    ReportLine head, units;
    head.Left(Label(STR_LABEL_STATION), c.nameWidth);
    units.Skip(c.nameWidth);
    if (plane) {
        const CKZString unit = grid ? Bracketed(c.units.linearName) : Bracketed(c.units.angleName);
        head.Right(Label(grid ? STR_LABEL_EASTING : STR_LABEL_LATITUDE), width)
            .Right(Label(grid ? STR_LABEL_NORTHING : STR_LABEL_LONGITUDE), width);
        units.Right(unit, width).Right(unit, width);
    }
    if (heights) {
        head.Right(Label(STR_LABEL_HEIGHT), kLengthWidth);
        units.Right(Bracketed(c.units.linearName), kLengthWidth);
    }
    // The station each side shot hangs on, and the kind of its record.
    head.Left(Label(STR_LABEL_STATION), c.nameWidth);
    WriteLine(c, head.Text());
    WriteLine(c, units.Text());
    for (const FreeObservation* f : free) {
        const StationGeometry& g = c.e.geometry[f->freeStation];
        ReportLine line;
        line.Left(c.p.Stations[f->freeStation].Name, c.nameWidth);
        if (plane) {
            if (!(f->north && f->east)) {
                line.Skip(width).Skip(width);
            } else if (grid) {
                double easting = 0.0, northing = 0.0;
                c.p.CurrentProjection->LatLonToXY(g.lat, g.lon, &easting, &northing);
                line.Right(LengthField(c.units, easting, width), width)
                    .Right(LengthField(c.units, northing, width), width);
            } else {
                line.Right(AngleField(c.units, g.lat, width, AngleUse::Coordinate), width)
                    .Right(AngleField(c.units, g.lon, width, AngleUse::Coordinate), width);
            }
        }
        if (heights)
            line.Right(f->height ? LengthField(c.units, g.h, kLengthWidth) : CKZString(),
                       kLengthWidth);
        line.Left(c.p.Stations[f->heldStation].Name, c.nameWidth).Left(Label(f->kindLabel), 0);
        WriteLine(c, line.Text());
    }
}

void ReadingTable(const ReportContext& c, const std::vector<const FreeObservation*>& free) {
    ReportLine head;
    head.Left(Label(STR_LABEL_STATION), c.nameWidth)
        .Left(Label(STR_LABEL_TARGET), c.nameWidth)
        .Left(Label(STR_LABEL_CODE), kCodeWidth)
        .Left(CKZString(), kUnitWidth)
        .Right(Label(STR_LABEL_READING), kValueWidth)
        .Right(Label(STR_LABEL_ADJUSTED), kValueWidth)
        .Right(Label(STR_LABEL_RESIDUAL), kSmallWidth)
        .Right(Label(STR_LABEL_SD), kSmallWidth)
        .Right(Label(STR_LABEL_SD_ADJUSTED), kSmallWidth);
    WriteLine(c, CKZString());
    WriteLine(c, head.Text());
    for (const FreeObservation* f : free)
        for (const FreeRowResult& r : f->rows) {
            const bool angle = IsAngleKind(r.row.kind);
            const auto value = [&](double v, int width, AngleUse use) {
                return angle ? AngleField(c.units, v, width, use) : LengthField(c.units, v, width);
            };
            ReportLine line;
            line.Left(StationName(c.p, r.row.from), c.nameWidth)
                .Left(StationName(c.p, r.row.to), c.nameWidth)
                .Left(CodeOfKind(r.row.kind, r.row.sub), kCodeWidth)
                .Left(angle ? c.units.angleName : c.units.linearName, kUnitWidth)
                .Right(value(r.observed, kValueWidth, AngleUse::Direction), kValueWidth)
                .Right(value(r.adjusted, kValueWidth, AngleUse::Direction), kValueWidth)
                .Right(value(r.residual, kSmallWidth, AngleUse::Signed), kSmallWidth)
                .Right(value(r.sd, kSmallWidth, AngleUse::Signed), kSmallWidth)
                .Right(value(r.sdAdjusted, kSmallWidth, AngleUse::Signed), kSmallWidth);
            WriteLine(c, line.Text());
        }
    // A side shot has no redundancy: nothing checks its readings.
    WriteLine(c, Label(STR_FREE_NOT_TESTABLE));
}

} // namespace

bool HasFreeStations(const ReportContext& c) {
    return !SolvedFreeObservations(c.e).empty();
}

void WriteFreeStations(const ReportContext& c) {
    const std::vector<const FreeObservation*> free = SolvedFreeObservations(c.e);
    if (free.empty())
        return;
    WriteHeading(c, FreeStationsTitle(c.p, c.e));
    CoordinateTable(c, free);
    ReadingTable(c, free);
}

void WriteFreePrecision(const ReportContext& c) {
    const std::vector<const FreeObservation*> free = SolvedFreeObservations(c.e);
    if (free.empty())
        return;
    const bool plane = c.p.Dimension != 1;
    WriteHeading(c, plane ? STR_HEADING_FREE_ELLIPSES : STR_HEADING_FREE_CIRCLES);
    const CKZString length = Bracketed(c.units.linearName);
    ReportLine head, units;
    head.Left(Label(STR_LABEL_STATION), c.nameWidth);
    units.Skip(c.nameWidth);
    if (plane) {
        head.Right(Label(STR_LABEL_A), kAxisWidth)
            .Right(Label(STR_LABEL_B), kAxisWidth)
            .Right(Label(STR_LABEL_A_OVER_B), kRatioWidth)
            .Right(Label(STR_LABEL_PHI), kAngleWidth);
        units.Right(length, kAxisWidth)
            .Right(length, kAxisWidth)
            .Skip(kRatioWidth)
            .Right(Bracketed(c.units.angleName), kAngleWidth);
    }
    head.Right(Label(STR_LABEL_SD_HEIGHT), kAxisWidth);
    units.Right(length, kAxisWidth);
    WriteLine(c, head.Text());
    WriteLine(c, units.Text());
    for (const FreeObservation* f : free) {
        const StationPrecision& sp = c.e.results.stations[f->freeStation];
        ReportLine line;
        line.Left(c.p.Stations[f->freeStation].Name, c.nameWidth);
        if (plane) {
            if (f->north && f->east) {
                const double phi =
                    sp.ellipse.phi < 0.0 ? sp.ellipse.phi + std::numbers::pi : sp.ellipse.phi;
                line.Right(LengthField(c.units, c.units.m2 * sp.ellipse.A, kAxisWidth), kAxisWidth)
                    .Right(LengthField(c.units, c.units.m2 * sp.ellipse.B, kAxisWidth), kAxisWidth)
                    .Number(sp.ellipse.A / std::max(sp.ellipse.B, 1e-32), kRatioWidth, 2)
                    .Right(AngleField(c.units, phi, kAngleWidth, AngleUse::Signed), kAngleWidth);
            } else {
                line.Skip(kAxisWidth).Skip(kAxisWidth).Skip(kRatioWidth).Skip(kAngleWidth);
            }
        }
        line.Right(f->height ? LengthField(c.units, c.units.m1 * sp.sdHeight, kAxisWidth)
                             : CKZString(),
                   kAxisWidth);
        WriteLine(c, line.Text());
    }
}

} // namespace Tavex
