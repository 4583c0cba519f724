// The loop run's result document: the Loops element with the critical
// value, per examined kind a LoopKind element holding its Loop elements
// (InsertLoop), each with its LoopStation (InsertLoopStation),
// LoopObservation (InsertLoopObservation) and Misclosure children, then a
// summary. Element and attribute names: docs/result-documents.md.
#include "loops/loop_kinds.h"
#include "loops/loop_results.h"
#include "messages/tavex_out.h"
#include "output/adjustment_output.h"
#include "output/document_sections.h"
#include "output/drawing_plane.h"
#include "output/loop_output.h"
#include "output/loop_rows.h"
#include "output/output_names.h"
#include "output/report_format.h"
#include "output/run_document.h"
#include "output/xml_document.h"
#include "output/xml_records_loops.h"
#include "output/xml_status.h"
#include "resources/string_ids.h"

namespace Tavex {

namespace {

constexpr const char* kFamilyNames[4] = {"gps", "traverse", "height", "trigonometric"};

int InsertLoop(CTXXmlNode& parent, const TXXML_LOOP& loop, CTXXmlNode& out) {
    return parent.InsertChild("Loop",
                              {{"number", loop.number},
                               {"kind", loop.kind},
                               {"family", loop.family},
                               {"stations", loop.stations},
                               {"length", loop.length},
                               {"criticalW", loop.criticalW},
                               {"rejected", loop.rejected},
                               {"tolerance", loop.tolerance},
                               {"hasTolerance", loop.hasTolerance},
                               {"hasCentre", loop.hasCentre},
                               {"centreEasting", loop.centreEasting},
                               {"centreNorthing", loop.centreNorthing},
                               {"unit", kXmlUnitMetre}},
                              out);
}

// A loop station with its plane position and whether it is known, for the
// drawing of the loops.
int InsertLoopStation(CTXXmlNode& parent, const TXXML_LOOPSTATION& station, const ProjectState& p,
                      const DrawingPlane& plane) {
    CTXXmlNode node;
    const int status =
        parent.InsertChild("LoopStation",
                           {{"position", station.position},
                            {"stationNumber", station.number},
                            {"name", station.name},
                            {"angle", station.angle},
                            {"known", KnownOf(p, station.number) != nullptr ? 1 : 0}},
                           node);
    const StationRec& rec = p.Stations[station.number];
    plane.SetPosition(node, rec.Lat, rec.Lon);
    return status;
}

int InsertLoopObservation(CTXXmlNode& parent, const TXXML_LOOPOBSERVATION& o) {
    CTXXmlNode node;
    const int status = parent.InsertChild("LoopObservation",
                                          {{"identification", o.identification},
                                           {"record", o.record},
                                           {"reading", o.reading},
                                           {"from", o.fromStation},
                                           {"to", o.toStation},
                                           {"code", o.code},
                                           {"values", o.valueCount},
                                           {"unit", o.unit}},
                                          node);
    constexpr const char* kValueNames[3] = {"value1", "value2", "value3"};
    for (int v = 0; v < o.valueCount && v < 3; ++v)
        node.SetAttribute({kValueNames[v], o.values[v]});
    return status;
}

void InsertMisclosure(CTXXmlNode& parent, const TXXML_LOOPMISCLOSURE& m) {
    CTXXmlNode node;
    parent.InsertChild("Misclosure",
                       {{"name", m.name},
                        {"value", m.value},
                        {"sd", m.sd},
                        {"test", m.test},
                        {"rejected", m.rejected},
                        {"unit", m.unit}},
                       node);
}

TXXML_LOOP LoopRecord(const CLoopResults& loop, int number, std::size_t family, bool hasCentre) {
    TXXML_LOOP r;
    r.number = number;
    r.kind = loop.Kind;
    r.family = kFamilyNames[family];
    r.title = Label(kLoopFamilies[family].heading);
    r.stations = static_cast<int>(loop.Stations.size());
    r.length = loop.Length;
    r.criticalW = loop.CriticalW;
    r.rejected = HasRejectedTest(loop) ? 1 : 0;
    r.hasTolerance = loop.Kind == LOOP_HEIGHT || loop.Kind == LOOP_TRIGONOMETRIC ? 1 : 0;
    r.tolerance = loop.Tolerance;
    r.hasCentre = hasCentre ? 1 : 0;
    r.centreEasting = loop.Centre[0];
    r.centreNorthing = loop.Centre[1];
    for (const LoopRow& row : LoopRows(loop)) {
        if (r.misclosureCount >= kLoopMisclosureSlots)
            break;
        TXXML_LOOPMISCLOSURE& m = r.misclosures[r.misclosureCount++];
        m.name = row.name;
        m.value = row.value;
        m.sd = row.sd;
        m.test = row.test;
        m.rejected = row.rejected ? 1 : 0;
        m.unit = row.angle ? kXmlUnitRadian : kXmlUnitMetre;
    }
    return r;
}

void InsertOneLoop(CTXXmlNode& kind, const ProjectState& p, const DrawingPlane& plane,
                   const CLoopResults& loop, int number, std::size_t family) {
    const TXXML_LOOP record = LoopRecord(loop, number, family, p.ProjectionType > 0);
    CTXXmlNode node;
    InsertLoop(kind, record, node);
    for (std::size_t i = 0; i < loop.Stations.size(); ++i) {
        TXXML_LOOPSTATION station;
        station.position = static_cast<int>(i) + 1;
        station.number = static_cast<unsigned>(loop.Stations[i]);
        station.name = p.Stations[station.number].Name;
        for (int s : loop.StationsWithoutAngle)
            if (s == loop.Stations[i])
                station.angle = 0;
        InsertLoopStation(node, station, p, plane);
    }
    for (int k = 0; k < loop.Observations->GetSize(); ++k)
        InsertLoopObservation(node, *loop.Observations->GetAt(k));
    for (int m = 0; m < record.misclosureCount; ++m)
        InsertMisclosure(node, record.misclosures[m]);
}

} // namespace

int WriteLoopDocument(ProjectState& p, const CLoopResultsPtrArray& loops,
                      const LoopRunSummary& summary) {
    CTXXmlDocument document(StylesheetName(RunKind::Loops));
    CTXXmlProject project;
    const int status = BeginRunDocument(p, MakeProject(p.NetworkName), document, project);
    if (status < 0)
        return status;
    CTXXmlNode root;
    project.InsertChild("Loops",
                        {{"title", Label(STR_HEADING_LOOPS)},
                         {"criticalW", summary.criticalW},
                         {"unit", kXmlUnitMetre},
                         {"angleUnit", kXmlUnitRadian}},
                        root);
    const DrawingPlane plane(p);
    plane.Describe(root);
    unsigned total = 0, rejected = 0;
    for (std::size_t f = 0; f < kLoopFamilies.size(); ++f) {
        if (!summary.examined[f])
            continue;
        unsigned found = 0;
        for (int k = 0; k < loops.GetSize(); ++k)
            found += FamilyOfKind(loops.GetAt(k)->Kind) == kLoopFamilies[f].family ? 1u : 0u;
        CTXXmlNode kind;
        root.InsertChild("LoopKind",
                         {{"family", kFamilyNames[f]},
                          {"title", Label(kLoopFamilies[f].heading)},
                          {"wanted", static_cast<unsigned>(summary.wanted[f])},
                          {"found", found},
                          {"message", found == 0 ? Label(STR_NO_LOOPS_FOUND) : CKZString()}},
                         kind);
        int number = 0;
        for (int k = 0; k < loops.GetSize(); ++k) {
            const CLoopResults& loop = *loops.GetAt(k);
            if (FamilyOfKind(loop.Kind) != kLoopFamilies[f].family)
                continue;
            InsertOneLoop(kind, p, plane, loop, ++number, f);
            ++total;
            rejected += HasRejectedTest(loop) ? 1u : 0u;
        }
    }
    CTXXmlNode summaryNode;
    project.InsertChild("Summary", {{"loops", total}, {"rejectedLoops", rejected}}, summaryNode);
    return SaveRunDocument(p, RunKind::Loops, document);
}

} // namespace Tavex
