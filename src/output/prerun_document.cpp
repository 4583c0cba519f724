// The pre-run's result document: the Prerun element with the check blocks
// in the order the checks ran, each with its records, then a summary of
// what was found. Element and attribute names: docs/result-documents.md.
#include "messages/string_loader.h"
#include "messages/tavex_out.h"
#include "output/adjustment_output.h"
#include "output/output_names.h"
#include "output/prerun_output.h"
#include "output/report_format.h"
#include "output/run_document.h"
#include "output/xml_document.h"
#include "output/xml_status.h"
#include "resources/string_ids.h"

namespace Tavex {

namespace {

void InsertObservation(CTXXmlNode& block, const TXXML_PRERUNOBSERVATION& o) {
    CTXXmlNode node;
    block.InsertChild("Observation",
                      {{"record", o.recordNumber},
                       {"code", o.code},
                       {"rowKind", o.rowKind},
                       {"station", o.station},
                       {"target", o.target},
                       {"stationNumber", o.stationNumber},
                       {"targetNumber", o.targetNumber},
                       {"unit", o.angle ? kXmlUnitRadian : kXmlUnitMetre},
                       {"reading", o.readingValue},
                       {"error", o.errorValue},
                       {"testValue", o.testValue},
                       {"horizontal", o.readingLabel.IsEmpty() ? 0 : 1},
                       {"significant", o.significant ? 1 : 0},
                       {"reference", o.reference ? 1 : 0}},
                      node);
}

void InsertDefect(CTXXmlNode& block, const TXXML_PRERUNCONFIGURATIONDEFECT& d) {
    CTXXmlNode node;
    block.InsertChild("ConfigurationDefect",
                      {{"text", d.text},
                       {"message", d.message},
                       {"stationNumber", d.stationNumber},
                       {"sub", d.sub}},
                      node);
}

void InsertCoinciding(CTXXmlNode& block, const TXXML_PRERUNCOINCIDING& c) {
    CTXXmlNode node;
    block.InsertChild("Coinciding",
                      {{"station1", c.station1},
                       {"station2", c.station2},
                       {"stationNumber1", c.stationNumber1},
                       {"stationNumber2", c.stationNumber2},
                       {"distance", c.distanceValue}},
                      node);
}

void InsertIdentical(CTXXmlNode& block, const TXXML_PRERUNOBSERVATIONRECORD& r) {
    CTXXmlNode node;
    block.InsertChild("IdenticalObservation",
                      {{"record", r.recordNumber},
                       {"station", r.station},
                       {"target", r.target},
                       {"stationNumber", r.stationNumber},
                       {"targetNumber", r.targetNumber},
                       {"code1", r.code[0]},
                       {"reading1", r.reading[0]},
                       {"code2", r.code[1]},
                       {"reading2", r.reading[1]},
                       {"code3", r.code[2]},
                       {"reading3", r.reading[2]}},
                      node);
}

} // namespace

int WritePreRunDocument(ProjectState& p, const CVelnikResultsPtrArray& results,
                        const PreRunSummary& summary) {
    CTXXmlDocument document(StylesheetName(RunKind::PreRun));
    CTXXmlProject project;
    const int status = BeginRunDocument(p, MakeProject(p.NetworkName), document, project);
    if (status < 0)
        return status;
    CTXXmlNode prerun;
    project.InsertChild("Prerun",
                        {{"title", Label(STR_STAGE_PRERUN)},
                         {"design", summary.design ? 1 : 0},
                         {"singularityCriterion", p.DeltaSingular},
                         {"criticalW", summary.criticalW}},
                        prerun);
    unsigned counts[5] = {0, 0, 0, 0, 0};
    for (int i = 0; i < results.GetSize(); ++i) {
        const CVelnikChecks& b = *results.GetAt(i);
        CTXXmlNode block;
        prerun.InsertChild("Check",
                           {{"kind", b.checkKind},
                            {"observationKind", b.observationKind},
                            {"titleMessage", b.titleMessage},
                            {"title", b.title}},
                           block);
        for (int k = 0; k < b.observations.GetSize(); ++k)
            InsertObservation(block, *b.observations.GetAt(k));
        for (int k = 0; k < b.configurationDefects.GetSize(); ++k)
            InsertDefect(block, *b.configurationDefects.GetAt(k));
        for (int k = 0; k < b.coinciding.GetSize(); ++k)
            InsertCoinciding(block, *b.coinciding.GetAt(k));
        for (int k = 0; k < b.observationRecords.GetSize(); ++k)
            InsertIdentical(block, *b.observationRecords.GetAt(k));
        if (b.checkKind >= 0 && b.checkKind < 5)
            counts[b.checkKind] += static_cast<unsigned>(
                b.observations.GetSize() + b.configurationDefects.GetSize() +
                b.coinciding.GetSize() + (b.observationRecords.GetSize() > 0 ? 1 : 0));
    }
    CTXXmlNode node;
    project.InsertChild("Summary",
                        {{"configurationDefects", counts[CHECK_CONFIGURATION_DEFECTS]},
                         {"repeatedObservations", counts[CHECK_REPEATED_OBSERVATIONS]},
                         {"approximateCoordinates", counts[CHECK_APPROXIMATE_COORDINATES]},
                         {"identicalGroups", counts[CHECK_IDENTICAL_OBSERVATIONS]},
                         {"coincidingPairs", counts[CHECK_COINCIDING_STATIONS]}},
                        node);
    return SaveRunDocument(p, RunKind::PreRun, document);
}

} // namespace Tavex
