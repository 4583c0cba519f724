// The approximate-coordinate run's result document: the Cogo element with
// the computed stations, the two fits with their residuals and the stations
// not computed, then a summary. Element and attribute names:
// docs/result-documents.md.
#include "messages/tavex_out.h"
#include "output/adjustment_output.h"
#include "output/cogo_output.h"
#include "output/output_names.h"
#include "output/report_format.h"
#include "output/run_document.h"
#include "output/xml_document.h"
#include "output/xml_status.h"
#include "resources/string_ids.h"

namespace Tavex {

namespace {

void InsertStation(CTXXmlNode& parent, const char* element, const TXXML_COGOSTATION& s) {
    CTXXmlNode node;
    parent.InsertChild(element,
                       {{"name", s.name},
                        {"stationNumber", s.stationNumber},
                        {"horizontal", s.horizontal ? 1 : 0},
                        {"height", s.height ? 1 : 0},
                        {"lat", s.lat},
                        {"lon", s.lon},
                        {"easting", s.easting},
                        {"northing", s.northing},
                        {"h", s.h}},
                       node);
}

void InsertPlaneFit(CTXXmlNode& cogo, const TXXML_COGO& r) {
    CTXXmlNode fit;
    cogo.InsertChild(
        "PlaneFit",
        {{"title", Label(STR_HEADING_SIMILARITY_COORDINATES)},
         {"fitted", r.planeFit ? 1 : 0},
         {"scale", r.scale},
         {"rotation", r.rotation},
         {"message", r.planeFit ? CKZString() : Label(STR_NOT_ENOUGH_KNOWN_COORDINATES)}},
        fit);
    for (const TXXML_COGORESIDUAL& s : r.planeResiduals) {
        CTXXmlNode node;
        fit.InsertChild("Residual",
                        {{"name", s.name},
                         {"stationNumber", s.stationNumber},
                         {"east", s.first},
                         {"north", s.second},
                         {"rejected", s.rejected ? 1 : 0}},
                        node);
    }
}

void InsertHeightFit(CTXXmlNode& cogo, const TXXML_COGO& r) {
    CTXXmlNode fit;
    cogo.InsertChild("HeightFit",
                     {{"title", Label(STR_HEADING_SIMILARITY_HEIGHTS)},
                      {"fitted", r.heightFit ? 1 : 0},
                      {"shift", r.heightShift},
                      {"message", r.heightFit ? CKZString() : Label(STR_NOT_ENOUGH_KNOWN_HEIGHTS)}},
                     fit);
    for (const TXXML_COGORESIDUAL& s : r.heightResiduals) {
        CTXXmlNode node;
        fit.InsertChild("Residual",
                        {{"name", s.name},
                         {"stationNumber", s.stationNumber},
                         {"height", s.height},
                         {"rejected", s.rejected ? 1 : 0}},
                        node);
    }
}

} // namespace

int WriteCogoDocument(ProjectState& p, const CogoState& c) {
    const TXXML_COGO r = CogoRecords(p, c);
    CTXXmlDocument document(StylesheetName(RunKind::ApproximateCoordinates));
    CTXXmlProject project;
    const int status = BeginRunDocument(p, MakeProject(p.NetworkName), document, project);
    if (status < 0)
        return status;
    CTXXmlNode cogo;
    project.InsertChild("Cogo",
                        {{"title", Label(STR_HEADING_APPROXIMATE_COMPUTATION)},
                         {"projected", r.projected ? 1 : 0},
                         {"unit", kXmlUnitMetre},
                         {"angleUnit", kXmlUnitRadian}},
                        cogo);
    for (const TXXML_COGOSTATION& s : r.stations)
        InsertStation(cogo, "Station", s);
    InsertPlaneFit(cogo, r);
    InsertHeightFit(cogo, r);
    CTXXmlNode notComputed;
    cogo.InsertChild("NotComputed", {{"title", Label(STR_HEADING_NOT_COMPUTED)}}, notComputed);
    for (const TXXML_COGOSTATION& s : r.notComputed)
        InsertStation(notComputed, "Station", s);
    unsigned rejected = 0;
    for (const TXXML_COGORESIDUAL& s : r.planeResiduals)
        rejected += s.rejected ? 1u : 0u;
    unsigned rejectedHeights = 0;
    for (const TXXML_COGORESIDUAL& s : r.heightResiduals)
        rejectedHeights += s.rejected ? 1u : 0u;
    CTXXmlNode summary;
    project.InsertChild("Summary",
                        {{"stations", p.StationCount},
                         {"computed", static_cast<unsigned>(r.stations.size())},
                         {"notComputed", static_cast<unsigned>(r.notComputed.size())},
                         {"rejectedKnownStations", rejected},
                         {"rejectedKnownHeights", rejectedHeights}},
                        summary);
    return SaveRunDocument(p, RunKind::ApproximateCoordinates, document);
}

} // namespace Tavex
