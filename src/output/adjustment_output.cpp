#include "output/adjustment_output.h"

#include "messages/string_loader.h"
#include "messages/tavex_out.h"
#include "output/document_sections.h"
#include "output/output_names.h"
#include "output/report_sections.h"
#include "output/report_switches.h"
#include "output/run_document.h"
#include "output/xml_document.h"
#include "resources/string_ids.h"

#include <ctime>

namespace Tavex {

void ReportUnwritableFile(ProjectState& p, const CKZString& path) {
    CKZString text;
    text.Format(CStringL(STR_FILE_NOT_WRITTEN).c_str(), path.c_str());
    p.Messages.AddMessage(STR_FILE_NOT_WRITTEN, MSG_ERROR, REF_NONE, text);
}

CKZString LocalTimeText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    wchar_t text[32];
    std::wcsftime(text, 32, L"%Y-%m-%dT%H:%M:%S", &local);
    return CKZString(text);
}

int WriteAdjustmentReport(ProjectState& p, const EngineState& e) {
    const CKZString path = ReportPath(RunKind::Adjustment, p.OutputPath);
    auto out = OpenOutputTarget(path, 0);
    if (!out->HasFile()) {
        ReportUnwritableFile(p, path);
        return 0;
    }
    const ReportContext c = MakeReportContext(*out, p, e);
    WriteReportHeader(c);
    WriteStatisticsSummary(c);
    WriteTestParameters(c);
    WriteTestSummary(c);
    if (SwitchOn(p, SLOT_PROJECTION)) {
        WriteProjectionConstants(c);
        WriteInputGpsTransformation(c);
    }
    if (SwitchOn(p, SLOT_INPUT_COORDINATES)) {
        WriteInputCoordinates(c);
        WriteInputKnownStations(c);
        WriteInputGeoidHeights(c);
    }
    if (SwitchOn(p, SLOT_INPUT_PARAMETERS))
        WriteInputAdditionalParameters(c);
    if (SwitchOn(p, SLOT_INPUT_OBSERVATIONS)) {
        WriteInputObservations(c);
        WriteInputStandardDeviations(c);
    }
    if (SwitchOn(p, SLOT_COORDINATES))
        WriteAdjustedCoordinates(c);
    if (SwitchOn(p, SLOT_EXTERNAL_RELIABILITY))
        WriteExternalReliability(c);
    if (SwitchOn(p, SLOT_ABSOLUTE_PRECISION))
        WriteAbsolutePrecision(c);
    if (SwitchOn(p, SLOT_RELATIVE_PRECISION))
        WriteRelativePrecision(c);
    if (HasFreeStations(c)) {
        WriteFreeStations(c);
        if (SwitchOn(p, SLOT_ABSOLUTE_PRECISION))
            WriteFreePrecision(c);
    }
    if (HasKnownCoordinateTest(c)) {
        WriteKnownCoordinateTest(c, SwitchOn(p, SLOT_KNOWN_TEST_COLUMNS));
        if (SwitchOn(p, SLOT_KNOWN_ERRORS))
            WriteKnownCoordinateErrors(c);
    }
    if (SwitchOn(p, SLOT_PARAMETERS))
        WriteParameterAdjustment(c);
    if (SwitchOn(p, SLOT_OBSERVATIONS)) {
        WriteObservationAdjustment(c);
        WriteBaselineResiduals(c);
    }
    WriteObservationTests(c, SwitchOn(p, SLOT_TEST_COLUMNS));
    if (SwitchOn(p, SLOT_OBSERVATION_ERRORS))
        WriteObservationErrors(c);
    WriteEndOfFile(c);
    return 1;
}

int WriteAdjustmentDocument(ProjectState& p, const EngineState& e) {
    CTXXmlDocument document(StylesheetName(RunKind::Adjustment));
    CTXXmlProject project;
    const int status = BeginRunDocument(p, ProjectRecord(p, e), document, project);
    if (status < 0)
        return status;
    // The section writers insert what they can and do not stop on a failed
    // insert.
    InsertSummarySection(project, p, e);
    InsertTestTable(project, p, e);
    InsertStationSection(project, p, e);
    InsertPrecisionTable(project, p, e);
    InsertEllipseSection(project, p, e);
    if (!e.freeObservations.list.empty())
        InsertFreeStationSection(project, p, e);
    InsertObservationSection(project, p, e);
    InsertObservationTable(project, p, e);
    InsertParameterSection(project, p, e);
    return SaveRunDocument(p, RunKind::Adjustment, document);
}

} // namespace Tavex
