// The stations of the result document with their approximate and adjusted
// coordinates, coordinate tests and external reliability; the precision
// table; the absolute and relative standard ellipses.
#include "output/document_sections.h"
#include "output/drawing_plane.h"
#include "output/report_format.h"
#include "output/report_switches.h"
#include "output/row_naming.h"
#include "resources/string_ids.h"
#include "testing/confidence_multiplier.h"
#include "testing/precision.h"

#include <cmath>
#include <numbers>

namespace Tavex {

namespace {

constexpr double kDefaultLevel1D = 0.683;
constexpr double kDefaultLevel2D = 0.394;

TXXML_STATION StationRecord(const ProjectState& p, const EngineState& e, unsigned s) {
    TXXML_STATION record;
    record.name = p.Stations[s].Name;
    record.number = s;
    if (const KnownRec* known = KnownOf(p, s)) {
        record.knownNorth = known->LatKnown ? 1 : 0;
        record.knownEast = known->LonKnown ? 1 : 0;
        record.knownHeight = known->HeightKnown ? 1 : 0;
    }
    record.horizontal = e.index.north[s] != 0 && e.index.east[s] != 0 ? 1 : 0;
    record.height = e.index.height[s] != 0 ? 1 : 0;
    const auto& tests = e.results.stationTests;
    const CTTest* test = s < tests.size() ? tests[s].get() : nullptr;
    if (test != nullptr && !p.AdjDesign && e.results.tested) {
        record.tested = 1;
        record.testDimension = static_cast<int>(test->dimension);
        record.tTest = test->T;
        record.tRatio = test->ratio;
        record.tRejected = test->ratio > 1.0 ? 1 : 0;
    }
    return record;
}

TXXML_COORDINATE Approximate(const StationRec& st) {
    TXXML_COORDINATE c;
    c.kind = "approximate";
    c.latitude = st.Lat;
    c.longitude = st.Lon;
    c.height = st.Height;
    if (st.FromGrid) {
        c.grid = 1;
        c.easting = st.Easting;
        c.northing = st.Northing;
    }
    return c;
}

TXXML_COORDINATE Adjusted(const ProjectState& p, const EngineState& e, unsigned s) {
    const StationGeometry& g = e.geometry[s];
    const StationRec& st = p.Stations[s];
    TXXML_COORDINATE c = PositionRecord(p, e, s);
    if (!p.AdjDesign) {
        c.corrections = 1;
        c.correctionNorth = g.NorthScale() * (g.lat - st.Lat);
        c.correctionEast = g.EastScale() * std::remainder(g.lon - st.Lon, 2.0 * std::numbers::pi);
        c.correctionUp = g.h - st.Height;
    }
    return c;
}

void InsertCoordinateTests(CTXXmlNode& station, const ProjectState& p, const EngineState& e,
                           unsigned s) {
    if (p.Phase == PHASE_FREE)
        return;
    for (std::size_t r = e.observationRows + 1; r <= e.Rows(); ++r)
        if (e.rows[r].IsDatum() && e.rows[r].source == s) {
            CTXXmlNode node;
            station.InsertCoordinateTest(RowRecord(p, e, r, false, false, true), node);
        }
}

void InsertExternal(CTXXmlNode& station, const ProjectState& p, const EngineState& e, unsigned s) {
    if (!e.results.externalComputed)
        return;
    const std::uint32_t unknowns[3] = {e.index.north[s], e.index.east[s], e.index.height[s]};
    const char* components[3] = {"north", "east", "height"};
    for (int k = 0; k < 3; ++k) {
        const std::uint32_t u = unknowns[k];
        if (u == 0 || u >= e.results.external.size())
            continue;
        const ExternalEffect& effect = e.results.external[u];
        TXXML_EXTERNALRELIABILITY record;
        record.component = components[k];
        record.value = effect.value;
        record.causeRow = effect.row;
        if (effect.row != 0 && effect.row <= e.Rows()) {
            const RowName cause = NameOfRow(p, e, effect.row);
            record.causeStation = cause.station;
            record.causeTarget = cause.target;
            record.causeCode = cause.code;
            record.causeRecord = cause.record;
        }
        CTXXmlNode node;
        station.InsertExternalReliability(record, node);
    }
}

double SdOfUnknown(const EngineState& e, std::uint32_t u) {
    return u != 0 && u < e.results.sdUnknown.size() ? e.results.sdUnknown[u] : 0.0;
}

void Column(CTXXmlNode& table, const char* attribute, int label, const char* unit) {
    CTXXmlNode node;
    table.InsertTableColumn({attribute, Label(label), unit}, node);
}

} // namespace

const KnownRec* KnownOf(const ProjectState& p, unsigned s) {
    for (unsigned k = 1; k <= p.KnownCount && k < p.Known.size(); ++k)
        if (p.Known[k].Station == s)
            return &p.Known[k];
    return nullptr;
}

TXXML_COORDINATE PositionRecord(const ProjectState& p, const EngineState& e, unsigned s) {
    const StationGeometry& g = e.geometry[s];
    TXXML_COORDINATE c;
    c.latitude = g.lat;
    c.longitude = g.lon;
    c.height = g.h;
    if (p.ProjectionType != 0 && p.CurrentProjection &&
        p.CurrentProjection->LatLonToXY(g.lat, g.lon, &c.easting, &c.northing))
        c.grid = 1;
    return c;
}

void InsertStationSection(CTXXmlNode& project, const ProjectState& p, const EngineState& e) {
    CTXXmlNode stations;
    project.InsertChild("Stations", stations);
    // Plane positions for the drawing of the network, whatever the switches.
    const DrawingPlane plane(p);
    plane.Describe(stations);
    for (const unsigned s : AdjustedStations(e)) {
        CTXXmlNode station, coordinate;
        stations.InsertStation(StationRecord(p, e, s), station);
        plane.SetPosition(station, e.geometry[s].lat, e.geometry[s].lon);
        if (SwitchOn(p, SLOT_INPUT_COORDINATES) && p.Stations[s].HasCoordinates)
            station.InsertCoordinate(Approximate(p.Stations[s]), coordinate);
        if (SwitchOn(p, SLOT_COORDINATES))
            station.InsertCoordinate(Adjusted(p, e, s), coordinate);
        InsertCoordinateTests(station, p, e, s);
        InsertExternal(station, p, e, s);
    }
}

void InsertPrecisionTable(CTXXmlNode& project, const ProjectState& p, const EngineState&) {
    const bool defaults =
        p.ConfidenceLevel1D == kDefaultLevel1D && p.ConfidenceLevel2D == kDefaultLevel2D;
    CTXXmlNode table;
    project.InsertTables({"precision", Label(defaults ? STR_HEADING_ABSOLUTE_ELLIPSES
                                                      : STR_HEADING_ABSOLUTE_CONFIDENCE)},
                         table);
    table.SetAttribute({"confidence1D", p.ConfidenceLevel1D});
    table.SetAttribute({"confidence2D", p.ConfidenceLevel2D});
    table.SetAttribute({"multiplier1D", MultiplierConfidenceValue(p.ConfidenceLevel1D, 1)});
    table.SetAttribute({"multiplier2D", MultiplierConfidenceValue(p.ConfidenceLevel2D, 2)});
    table.SetAttribute({"criterionC0", kCriterionC0});
    table.SetAttribute({"criterionC1", kCriterionC1});
    Column(table, "a", STR_LABEL_A, kXmlUnitMetre);
    Column(table, "b", STR_LABEL_B, kXmlUnitMetre);
    Column(table, "phi", STR_LABEL_PHI, kXmlUnitRadian);
    Column(table, "psi", STR_LABEL_PSI, kXmlUnitRadian);
    Column(table, "length", STR_LABEL_R, kXmlUnitMetre);
    Column(table, "sdNorth", STR_LABEL_NORTH, kXmlUnitMetre);
    Column(table, "sdEast", STR_LABEL_EAST, kXmlUnitMetre);
    Column(table, "sdHeight", STR_LABEL_SD_HEIGHT, kXmlUnitMetre);
    Column(table, "criterion", STR_LABEL_CRITERION_RADIUS, kXmlUnitMetre);
}

void InsertEllipseSection(CTXXmlNode& project, const ProjectState& p, const EngineState& e) {
    CTXXmlNode ellipses;
    project.InsertChild("Ellipses", ellipses);
    const AdjustmentResults& r = e.results;
    if (!r.precisionComputed)
        return;
    if (SwitchOn(p, SLOT_ABSOLUTE_PRECISION))
        for (const unsigned s : AdjustedStations(e)) {
            if (s >= r.stations.size() || !r.stations[s].computed)
                continue;
            const StationPrecision& sp = r.stations[s];
            TXXML_ELLIPSE record;
            record.station = p.Stations[s].Name;
            record.number = s;
            record.a = sp.ellipse.A;
            record.b = sp.ellipse.B;
            record.phi = sp.ellipse.phi;
            record.sdNorth = SdOfUnknown(e, e.index.north[s]);
            record.sdEast = SdOfUnknown(e, e.index.east[s]);
            record.sdHeight = sp.sdHeight;
            record.covNN = sp.cNN;
            record.covNE = sp.cNE;
            record.covEE = sp.cEE;
            record.covNh = sp.cNh;
            record.covEh = sp.cEh;
            record.covhh = sp.chh;
            record.criterion = sp.criterion;
            CTXXmlNode node;
            ellipses.InsertEllips(record, node);
        }
    if (SwitchOn(p, SLOT_RELATIVE_PRECISION))
        for (const RelativePrecision& rel : r.relative) {
            TXXML_RELATIVEELLIPSE record;
            record.from = StationName(p, rel.from);
            record.to = StationName(p, rel.to);
            record.fromNumber = rel.from;
            record.toNumber = rel.to;
            record.a = rel.ellipse.A;
            record.b = rel.ellipse.B;
            record.psi = rel.ellipse.phi;
            record.length = rel.length;
            record.sdHeight = rel.sdHeight;
            record.criterion = rel.criterion;
            CTXXmlNode node;
            ellipses.InsertRelativeEllips(record, node);
        }
}

} // namespace Tavex
