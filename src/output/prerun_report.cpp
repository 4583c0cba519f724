// The pre-run's text report: configuration defects, the checks of the input
// observations against each other and against the approximate coordinates,
// possibly identical observations, possibly coinciding stations.
#include "messages/string_loader.h"
#include "messages/tavex_out.h"
#include "output/adjustment_output.h"
#include "output/output_names.h"
#include "output/prerun_output.h"
#include "output/report_format.h"
#include "prerun/coinciding_stations.h"
#include "resources/string_ids.h"

#include <algorithm>

namespace Tavex {

namespace {

constexpr int kRecordWidth = 5;
constexpr int kCodeWidth = 3;
constexpr int kNameWidth = 16;
constexpr int kReadingWidth = 13;
constexpr int kLabelWidth = 6;
constexpr int kErrorWidth = 14;
constexpr int kUnitWidth = 3;
constexpr int kMarkWidth = 2;
constexpr int kMinimumNameWidth = 13;

class PreRunReport {
public:
    PreRunReport(CTavexOut& out, const ProjectState& p, const CVelnikResultsPtrArray& results,
                 const PreRunSummary& summary)
        : out_(out), p_(p), results_(results), summary_(summary), units_(UnitsOf(p)) {}

    void Write();

private:
    void Line(const CKZString& text) { Print(&out_, L"%s\n", text.c_str()); }
    void Heading(int id) {
        Line(CKZString());
        Line(Label(id));
        Line(CKZString());
    }
    std::vector<const CVelnikChecks*> Blocks(int kind) const;
    void ConfigurationDefects();
    void ObservationSection(int heading, double factor, int kind);
    void ObservationLine(const TXXML_PRERUNOBSERVATION& o);
    void IdenticalObservations();
    void CoincidingStations();

    CTavexOut& out_;
    const ProjectState& p_;
    const CVelnikResultsPtrArray& results_;
    const PreRunSummary& summary_;
    ReportUnits units_;
};

std::vector<const CVelnikChecks*> PreRunReport::Blocks(int kind) const {
    std::vector<const CVelnikChecks*> blocks;
    for (int i = 0; i < results_.GetSize(); ++i)
        if (results_.GetAt(i)->checkKind == kind)
            blocks.push_back(results_.GetAt(i));
    return blocks;
}

void PreRunReport::ConfigurationDefects() {
    Heading(STR_HEADING_CONFIGURATION_DEFECTS);
    CKZString criterion;
    criterion.Format(L"%s %*.*e\n", CStringL(STR_SINGULARITY_CRITERION_IS).c_str(), 6, 1,
                     p_.DeltaSingular);
    Line(criterion);
    bool any = false;
    for (const CVelnikChecks* block : Blocks(CHECK_CONFIGURATION_DEFECTS))
        for (int i = 0; i < block->configurationDefects.GetSize(); ++i) {
            Line(block->configurationDefects.GetAt(i)->text);
            any = true;
        }
    if (!any)
        Line(Label(STR_NO_CONFIGURATION_DEFECTS));
}

void PreRunReport::ObservationLine(const TXXML_PRERUNOBSERVATION& o) {
    Line(PadRight(o.record, kRecordWidth) + L" " + PadLeft(o.code, kCodeWidth) + L" " +
         PadLeft(o.station, kNameWidth) + L" " + PadLeft(o.target, kNameWidth) + L" " +
         PadLeft(o.reading, kReadingWidth) + L" " + PadLeft(o.readingLabel, kLabelWidth) + L" " +
         PadLeft(o.error, kErrorWidth) + L" " + PadRight(o.unit, kUnitWidth) + L" " +
         PadLeft(o.mark, kMarkWidth));
}

void PreRunReport::ObservationSection(int heading, double factor, int kind) {
    Heading(heading);
    CKZString critical;
    critical.Format(L"%s %4.1f %s %*.*f", CStringL(STR_CRITICAL_VALUE_IS).c_str(), factor,
                    CStringL(STR_W_TEST_CRITICAL_VALUE).c_str(), 4, 2, summary_.criticalW);
    Line(critical);
    const std::vector<const CVelnikChecks*> blocks = Blocks(kind);
    bool any = false;
    for (const CVelnikChecks* block : blocks)
        any |= block->observations.GetSize() > 0;
    if (!any) {
        Line(Label(STR_NO_PROBLEMATIC_OBSERVATIONS));
        return;
    }
    Line(PadRight(Label(STR_LABEL_RECORD), kRecordWidth + 1 + kCodeWidth) + L" " +
         PadLeft(Label(STR_LABEL_STATION), kNameWidth) + L" " +
         PadLeft(Label(STR_LABEL_TARGET), kNameWidth) + L" " +
         PadLeft(Label(STR_LABEL_READING), kReadingWidth) + L" " +
         PadLeft(CKZString(), kLabelWidth) + L" " + PadLeft(Label(STR_LABEL_ERROR), kErrorWidth));
    for (const CVelnikChecks* block : blocks) {
        if (block->observations.GetSize() == 0)
            continue;
        Line(CKZString());
        if (kind == CHECK_REPEATED_OBSERVATIONS)
            Line(block->title);
        for (int i = 0; i < block->observations.GetSize(); ++i)
            ObservationLine(*block->observations.GetAt(i));
    }
}

void PreRunReport::IdenticalObservations() {
    Heading(STR_HEADING_IDENTICAL_OBSERVATIONS);
    const std::vector<const CVelnikChecks*> blocks = Blocks(CHECK_IDENTICAL_OBSERVATIONS);
    if (blocks.empty()) {
        Line(Label(STR_NO_PROBLEMATIC_OBSERVATIONS));
        return;
    }
    int width = kMinimumNameWidth;
    for (unsigned s = 1; s <= p_.StationCount; ++s)
        width = std::max(width, DisplayWidth(p_.Stations[s].Name));
    CKZString head = PadRight(Label(STR_LABEL_RECORD), kRecordWidth) + L" " +
                     PadLeft(Label(STR_LABEL_STATION), width) + L" " +
                     PadLeft(Label(STR_LABEL_TARGET), width);
    for (int i = 0; i < 3; ++i)
        head += L" " + PadLeft(CKZString(), kCodeWidth) + L" " +
                PadLeft(Label(STR_LABEL_READING), kReadingWidth);
    Line(head);
    for (const CVelnikChecks* block : blocks) {
        for (int i = 0; i < block->observationRecords.GetSize(); ++i) {
            const TXXML_PRERUNOBSERVATIONRECORD& r = *block->observationRecords.GetAt(i);
            CKZString line = PadRight(r.record, kRecordWidth) + L" " + PadLeft(r.station, width) +
                             L" " + PadLeft(r.target, width);
            for (int k = 0; k < 3; ++k)
                line += L" " + PadLeft(r.code[k], kCodeWidth) + L" " +
                        PadLeft(r.reading[k], kReadingWidth);
            Line(line);
        }
        Line(CKZString());
    }
}

void PreRunReport::CoincidingStations() {
    Heading(STR_HEADING_COINCIDING_STATIONS);
    CKZString shortest;
    shortest.Format(L"%s %3.1f %s", CStringL(STR_SHORTEST_STATION_DISTANCE).c_str(),
                    kCoincidingDistance * units_.linearFactor,
                    PadRight(units_.linearName, kUnitWidth).c_str());
    Line(shortest);
    const std::vector<const CVelnikChecks*> blocks = Blocks(CHECK_COINCIDING_STATIONS);
    if (blocks.empty()) {
        Line(Label(STR_NO_DUPLICATE_STATIONS));
        return;
    }
    Line(PadLeft(Label(STR_LABEL_STATION), kNameWidth) + L"  " +
         PadLeft(Label(STR_LABEL_STATION), kNameWidth) + L"  " +
         PadLeft(Label(STR_LABEL_STATION_DISTANCE), kNameWidth));
    for (const CVelnikChecks* block : blocks)
        for (int i = 0; i < block->coinciding.GetSize(); ++i) {
            const TXXML_PRERUNCOINCIDING& c = *block->coinciding.GetAt(i);
            Line(PadLeft(c.station1, kNameWidth) + L"  " + PadLeft(c.station2, kNameWidth) + L"  " +
                 PadLeft(c.distance, kNameWidth) + L" " + PadRight(c.unit, kUnitWidth));
        }
}

void PreRunReport::Write() {
    ConfigurationDefects();
    if (!summary_.design) {
        ObservationSection(STR_HEADING_INPUT_CHECKS, 1.0, CHECK_REPEATED_OBSERVATIONS);
        ObservationSection(STR_HEADING_APPROXIMATE_CHECKS, 10.0, CHECK_APPROXIMATE_COORDINATES);
        IdenticalObservations();
    }
    CoincidingStations();
    Line(CKZString());
    Line(Label(STR_END_OF_FILE));
}

} // namespace

int WritePreRunReport(ProjectState& p, const CVelnikResultsPtrArray& results,
                      const PreRunSummary& summary) {
    const CKZString path = ReportPath(RunKind::PreRun, p.OutputPath);
    auto out = OpenOutputTarget(path, 0);
    if (!out->HasFile()) {
        ReportUnwritableFile(p, path);
        return 0;
    }
    PreRunReport(*out, p, results, summary).Write();
    return 1;
}

} // namespace Tavex
