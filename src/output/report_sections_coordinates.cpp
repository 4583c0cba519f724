// The adjusted coordinates and the external reliability of the stations.
#include "engine/datum_rows.h"
#include "output/report_sections.h"
#include "output/row_naming.h"
#include "resources/string_ids.h"

#include <cmath>
#include <numbers>

namespace Tavex {

namespace {

constexpr int kLengthWidth = 14;
constexpr int kSmallWidth = 10;
constexpr int kCodeWidth = 4;

struct Components {
    bool horizontal = false, height = false;
};

Components ComponentsOf(const EngineState& e, unsigned s) {
    Components c;
    c.horizontal = s < e.index.north.size() && e.index.north[s] != 0 && e.index.east[s] != 0;
    c.height = s < e.index.height.size() && e.index.height[s] != 0;
    return c;
}

// Which columns the network needs.
Components ColumnsOf(const EngineState& e) {
    Components any;
    for (unsigned position = 1; position <= e.order.count; ++position) {
        const Components c = ComponentsOf(e, e.order.stationAt[position]);
        any.horizontal |= c.horizontal;
        any.height |= c.height;
    }
    return any;
}

// Whether the report prints grid coordinates: a map projection that maps
// every adjusted station.
bool PrintsGrid(const ReportContext& c) {
    if (c.p.ProjectionType == 0 || !c.p.CurrentProjection)
        return false;
    for (unsigned position = 1; position <= c.e.order.count; ++position) {
        const StationGeometry& g = c.e.geometry[c.e.order.stationAt[position]];
        double x, y;
        if (!c.p.CurrentProjection->LatLonToXY(g.lat, g.lon, &x, &y))
            return false;
    }
    return true;
}

} // namespace

void WriteAdjustedCoordinates(const ReportContext& c) {
    WriteHeading(c, CoordinatesTitle(c.p, c.e));
    const Components columns = ColumnsOf(c.e);
    const bool grid = PrintsGrid(c);
    const int width = grid ? kLengthWidth : kCoordinateAngleWidth;
    const CKZString length = Bracketed(c.units.linearName);
    ReportLine head, units;
    head.Left(Label(STR_LABEL_STATION), c.nameWidth);
    units.Skip(c.nameWidth);
    if (columns.horizontal) {
        const CKZString horizontal = grid ? length : Bracketed(c.units.angleName);
        head.Right(Label(grid ? STR_LABEL_EASTING : STR_LABEL_LATITUDE), width)
            .Right(Label(grid ? STR_LABEL_NORTHING : STR_LABEL_LONGITUDE), width);
        units.Right(horizontal, width).Right(horizontal, width);
    }
    if (columns.height) {
        head.Right(Label(STR_LABEL_HEIGHT), kLengthWidth);
        units.Right(length, kLengthWidth);
    }
    // The corrections to the approximate coordinates: north, east, up.
    if (!c.design) {
        const int labels[3] = {STR_LABEL_NORTH, STR_LABEL_EAST, STR_LABEL_UP};
        const bool shown[3] = {columns.horizontal, columns.horizontal, columns.height};
        for (int k = 0; k < 3; ++k)
            if (shown[k]) {
                head.Right(Label(STR_LABEL_CORRECTION) + Label(labels[k]), kSmallWidth);
                units.Right(length, kSmallWidth);
            }
    }
    WriteLine(c, head.Text());
    WriteLine(c, units.Text());
    for (const unsigned s : AdjustedStations(c.e)) {
        const Components has = ComponentsOf(c.e, s);
        if (!has.horizontal && !has.height)
            continue;
        const StationGeometry& g = c.e.geometry[s];
        const StationRec& approximate = c.p.Stations[s];
        ReportLine line;
        line.Left(approximate.Name, c.nameWidth);
        if (columns.horizontal) {
            if (!has.horizontal) {
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
        if (columns.height)
            line.Right(has.height ? LengthField(c.units, g.h, kLengthWidth) : CKZString(),
                       kLengthWidth);
        if (!c.design) {
            // Metric displacements from the approximate position, with the
            // radii of curvature at the adjusted one.
            const double dLon = std::remainder(g.lon - approximate.Lon, 2.0 * std::numbers::pi);
            const double d[3] = {g.NorthScale() * (g.lat - approximate.Lat), g.EastScale() * dLon,
                                 g.h - approximate.Height};
            const bool shown[3] = {columns.horizontal, columns.horizontal, columns.height};
            const bool has3[3] = {has.horizontal, has.horizontal, has.height};
            for (int k = 0; k < 3; ++k)
                if (shown[k])
                    line.Right(has3[k] ? LengthField(c.units, d[k], kSmallWidth) : CKZString(),
                               kSmallWidth);
        }
        WriteLine(c, line.Text());
    }
}

void WriteExternalReliability(const ReportContext& c) {
    if (!c.e.results.externalComputed)
        return;
    WriteHeading(c, STR_HEADING_EXTERNAL_RELIABILITY);
    ReportLine head;
    head.Left(Label(STR_LABEL_STATION), c.nameWidth)
        .Left(Label(STR_LABEL_CODE), kCodeWidth)
        .Right(Label(STR_LABEL_VALUE), kSmallWidth)
        .Left(Label(STR_LABEL_CAUSED_BY), c.nameWidth)
        .Left(CKZString(), c.nameWidth)
        .Left(CKZString(), kCodeWidth);
    ReportLine units;
    units.Skip(c.nameWidth).Skip(kCodeWidth).Right(Bracketed(c.units.linearName), kSmallWidth);
    WriteLine(c, head.Text());
    WriteLine(c, units.Text());
    const int labels[3] = {STR_LABEL_NORTH, STR_LABEL_EAST, STR_LABEL_UP};
    for (const unsigned s : AdjustedStations(c.e)) {
        const std::uint32_t unknowns[3] = {c.e.index.north[s], c.e.index.east[s],
                                           c.e.index.height[s]};
        bool first = true;
        for (int k = 0; k < 3; ++k) {
            const std::uint32_t u = unknowns[k];
            if (u == 0 || u >= c.e.results.external.size())
                continue;
            const ExternalEffect& effect = c.e.results.external[u];
            ReportLine line;
            line.Left(first ? c.p.Stations[s].Name : CKZString(), c.nameWidth)
                .Left(Label(labels[k]), kCodeWidth)
                .Right(LengthField(c.units, effect.value, kSmallWidth), kSmallWidth);
            if (effect.row != 0 && effect.row <= c.e.Rows()) {
                const RowName cause = NameOfRow(c.p, c.e, effect.row);
                line.Left(cause.station, c.nameWidth)
                    .Left(cause.target, c.nameWidth)
                    .Left(cause.code, kCodeWidth);
            }
            WriteLine(c, line.Text());
            first = false;
        }
    }
}

} // namespace Tavex
