// The sections of the adjustment's text report. WriteAdjustmentReport
// (adjustment_output.h) calls them in the order of the report switches;
// each section writes its heading (a string-table label) and its table.
//
// Shared layout: a heading is preceded by a blank line and underlined; table
// columns are separated by one space, station names are left-aligned in a
// column as wide as the widest name in use, numbers are right-aligned in
// fixed widths (report_format.h), and a rejected test value carries "**"
// (string 256) right behind it. Angles are in the project's angle unit,
// lengths in its linear unit; the unit line under a table's headings names
// them.
#ifndef TAVEX_OUTPUT_REPORT_SECTIONS_H
#define TAVEX_OUTPUT_REPORT_SECTIONS_H

#include "engine/engine_state.h"
#include "messages/tavex_out.h"
#include "output/report_format.h"
#include "project/project_state.h"
#include "testing/test_records.h"

namespace Tavex {

struct ReportContext {
    CTavexOut& out;
    const ProjectState& p;
    const EngineState& e;
    ReportUnits units;
    int nameWidth = 8; // widest station name in use
    bool design = false;
    bool tested = false;      // W-tests and T-tests exist
    bool reliability = false; // MDB, redundancy and bias-to-noise ratios exist
};

// The context of one report: units, the name column and what the
// adjustment computed.
ReportContext MakeReportContext(CTavexOut& out, const ProjectState& project,
                                const EngineState& engine);

// Common pieces.
void WriteHeading(const ReportContext& c, int id);
void WriteLine(const ReportContext& c, const CKZString& text);
// "label : value" lines of the summary (label padded to 40 characters).
void WriteLabelled(const ReportContext& c, const CKZString& label, const CKZString& value);
// The unit in brackets, e.g. "[m]".
CKZString Bracketed(const CKZString& unit);

// Always written (report_sections_summary.cpp).
void WriteReportHeader(const ReportContext& c);
void WriteStatisticsSummary(const ReportContext& c);
void WriteTestParameters(const ReportContext& c);
void WriteTestSummary(const ReportContext& c);
void WriteEndOfFile(const ReportContext& c);

// Input (report_sections_input.cpp): switches 0 to 3.
void WriteProjectionConstants(const ReportContext& c);
void WriteInputGpsTransformation(const ReportContext& c);
void WriteInputCoordinates(const ReportContext& c);
void WriteInputKnownStations(const ReportContext& c);
void WriteInputGeoidHeights(const ReportContext& c);
void WriteInputAdditionalParameters(const ReportContext& c);
void WriteInputObservations(const ReportContext& c);
void WriteInputStandardDeviations(const ReportContext& c);

// Coordinates (report_sections_coordinates.cpp): switches 4 and 5.
void WriteAdjustedCoordinates(const ReportContext& c);
void WriteExternalReliability(const ReportContext& c);

// Precision (report_sections_precision.cpp): switches 6 and 7.
void WriteAbsolutePrecision(const ReportContext& c);
void WriteRelativePrecision(const ReportContext& c);

// Free stations (report_sections_free.cpp): their coordinates and readings,
// always written when there are any, and their absolute precision (switch
// 6).
bool HasFreeStations(const ReportContext& c);
void WriteFreeStations(const ReportContext& c);
void WriteFreePrecision(const ReportContext& c);

// An estimated error of an entry in width columns: an angle for a W-test of
// an angle row, a length otherwise.
CKZString EstimatedErrorField(const ReportContext& c, const CTest& entry, double value, int width);

// Tests (report_sections_tests.cpp): the test of known coordinates
// (columns by switch 8) and its estimated errors (switch 9), the
// observation tests (columns by switch 12) and their estimated errors
// (switch 13).
bool HasKnownCoordinateTest(const ReportContext& c);
void WriteKnownCoordinateTest(const ReportContext& c, bool reliabilityColumns);
void WriteKnownCoordinateErrors(const ReportContext& c);
void WriteObservationTests(const ReportContext& c, bool reliabilityColumns);
void WriteObservationErrors(const ReportContext& c);

// Adjustment results (report_sections_adjustment.cpp): switches 10 and 11.
void WriteParameterAdjustment(const ReportContext& c);
void WriteObservationAdjustment(const ReportContext& c);
void WriteBaselineResiduals(const ReportContext& c);

} // namespace Tavex

#endif
