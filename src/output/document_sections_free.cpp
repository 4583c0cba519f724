// The free stations (side shots) of the result document: each with its held
// station, its adjusted coordinate, its ellipse and the readings of its
// record, which have no redundancy and no test.
#include "engine/datum_rows.h"
#include "output/document_sections.h"
#include "output/drawing_plane.h"
#include "output/report_format.h"
#include "output/report_switches.h"
#include "output/row_naming.h"
#include "resources/string_ids.h"

#include <cmath>

namespace Tavex {

namespace {

TXXML_ELLIPSE FreeEllipse(const ProjectState& p, const EngineState& e, unsigned s) {
    const StationPrecision& sp = e.results.stations[s];
    TXXML_ELLIPSE record;
    record.station = p.Stations[s].Name;
    record.number = s;
    record.a = sp.ellipse.A;
    record.b = sp.ellipse.B;
    record.phi = sp.ellipse.phi;
    record.sdNorth = std::sqrt(std::max(sp.cNN, 0.0));
    record.sdEast = std::sqrt(std::max(sp.cEE, 0.0));
    record.sdHeight = sp.sdHeight;
    record.covNN = sp.cNN;
    record.covNE = sp.cNE;
    record.covEE = sp.cEE;
    record.covNh = sp.cNh;
    record.covEh = sp.cEh;
    record.covhh = sp.chh;
    return record;
}

TXXML_OBSERVATIONRECORD FreeReading(const FreeRowResult& r) {
    TXXML_OBSERVATIONRECORD record;
    record.code = CodeOfKind(r.row.kind, r.row.sub);
    record.rowKind = r.row.kind;
    record.sub = r.row.sub;
    record.component = r.row.component;
    record.unit = IsAngleKind(r.row.kind) ? kXmlUnitRadian : kXmlUnitMetre;
    record.hasInput = true;
    record.observed = r.observed;
    record.sd = r.sd;
    record.hasAdjustment = true;
    record.adjusted = r.adjusted;
    record.residual = r.residual;
    record.hasPrecision = true;
    record.sdAdjusted = r.sdAdjusted;
    // Redundancy 0: the reliability part says so; there is no test.
    record.hasReliability = true;
    return record;
}

} // namespace

void InsertFreeStationSection(CTXXmlNode& project, const ProjectState& p, const EngineState& e) {
    CTXXmlNode section;
    project.InsertChild("FreeStations", {{"title", Label(FreeStationsTitle(p, e))}}, section);
    const DrawingPlane plane(p); // the plane of the Stations section
    for (const FreeObservation& f : e.freeObservations.list) {
        if (!f.solved)
            continue;
        const CObservation& o = *p.Observations.GetAt(static_cast<int>(f.observation));
        CTXXmlNode station, node;
        section.InsertChild("FreeStation",
                            {{"name", p.Stations[f.freeStation].Name},
                             {"number", f.freeStation},
                             {"heldStation", p.Stations[f.heldStation].Name},
                             {"heldNumber", f.heldStation},
                             {"kind", Label(f.kindLabel)},
                             {"record", o.Record},
                             {"horizontal", f.north && f.east ? 1 : 0},
                             {"height", f.height ? 1 : 0}},
                            station);
        plane.SetPosition(station, e.geometry[f.freeStation].lat, e.geometry[f.freeStation].lon);
        station.InsertCoordinate(PositionRecord(p, e, f.freeStation), node);
        if (SwitchOn(p, SLOT_ABSOLUTE_PRECISION))
            station.InsertEllips(FreeEllipse(p, e, f.freeStation), node);
        for (const FreeRowResult& r : f.rows)
            station.InsertObservationRecord(FreeReading(r), node);
    }
}

} // namespace Tavex
