// The loop run's text report: banner and project header, the title with the
// critical value, then per examined kind its heading and its loops: the
// stations, the observations, the misclosures with standard deviation and
// test value (marked when the test exceeds the critical value), the
// tolerance of height loops and the loop's length.
#include "loops/loop_kinds.h"
#include "loops/loop_results.h"
#include "messages/shorten_path.h"
#include "messages/string_loader.h"
#include "messages/tavex_out.h"
#include "output/adjustment_output.h"
#include "output/loop_output.h"
#include "output/loop_rows.h"
#include "output/output_names.h"
#include "output/report_format.h"
#include "output/run_report.h"
#include "resources/string_ids.h"

#include <algorithm>

namespace Tavex {

namespace {

constexpr int kLabelWidth = 40;
constexpr int kValueWidth = 13;
constexpr int kTestWidth = 9;
constexpr int kRecordWidth = 8;
constexpr int kCodeWidth = 6;
constexpr int kMinimumNameWidth = 8;

class LoopReport {
public:
    LoopReport(CTavexOut& out, const ProjectState& p, const CLoopResultsPtrArray& loops,
               const LoopRunSummary& summary)
        : out_(out), p_(p), loops_(loops), summary_(summary), units_(UnitsOf(p)),
          nameWidth_(StationNameWidth(p, kMinimumNameWidth)) {}

    void Write();

private:
    void Line(const CKZString& text) { Print(&out_, L"%s\n", text.c_str()); }
    void Header();
    void Loop(const CLoopResults& loop, int number);
    void Misclosures(const CLoopResults& loop);

    CTavexOut& out_;
    const ProjectState& p_;
    const CLoopResultsPtrArray& loops_;
    const LoopRunSummary& summary_;
    ReportUnits units_;
    int nameWidth_ = kMinimumNameWidth;
};

void LoopReport::Header() {
    WriteRunBanner(out_, p_, RunKind::Loops, STR_HEADING_LOOPS);
    Line(CKZString());
    Line(Label(STR_HEADING_LOOPS));
    CKZString critical;
    critical.Format(L"%s %.4f", Label(STR_W_TEST_CRITICAL_VALUE).c_str(), summary_.criticalW);
    Line(critical);
}

void LoopReport::Loop(const CLoopResults& loop, int number) {
    Line(CKZString());
    CKZString title;
    title.Format(L"%s %d:", Label(STR_LABEL_LOOP).c_str(), number);
    for (std::size_t i = 0; i <= loop.Stations.size(); ++i) {
        const int s = loop.Stations[i % loop.Stations.size()];
        title += (i == 0 ? L" " : L" - ") + p_.Stations[static_cast<unsigned>(s)].Name;
    }
    Line(title);
    for (int k = 0; k < loop.Observations->GetSize(); ++k) {
        const TXXML_LOOPOBSERVATION& o = *loop.Observations->GetAt(k);
        ReportLine line;
        line.Right(o.identification, kRecordWidth)
            .Skip(2)
            .Left(o.fromStation, nameWidth_)
            .Skip(1)
            .Left(o.toStation, nameWidth_)
            .Skip(1)
            .Left(o.code, std::max(kCodeWidth, nameWidth_));
        const CKZString* values[3] = {&o.value1, &o.value2, &o.value3};
        for (int v = 0; v < o.valueCount && v < 3; ++v)
            line.Right(*values[v], kValueWidth);
        Line(line.Text());
    }
    for (int s : loop.StationsWithoutAngle)
        Line(Label(STR_NO_ANGLE_AT_STATION) + L": " + p_.Stations[static_cast<unsigned>(s)].Name);
    Misclosures(loop);
}

void LoopReport::Misclosures(const CLoopResults& loop) {
    const std::vector<LoopRow> rows = LoopRows(loop);
    if (!rows.empty()) {
        ReportLine head;
        head.Left(Label(STR_LABEL_MISCLOSURE), kLabelWidth / 2)
            .Right(L"value", kValueWidth)
            .Right(L"sd", kValueWidth)
            .Right(L"test", kTestWidth);
        Line(head.Text());
    }
    for (const LoopRow& row : rows) {
        ReportLine line;
        const CKZString value = row.angle
                                    ? AngleField(units_, row.value, kValueWidth, AngleUse::Signed)
                                    : LengthField(units_, row.value, kValueWidth);
        const CKZString sd = row.angle ? AngleField(units_, row.sd, kValueWidth, AngleUse::Signed)
                                       : LengthField(units_, row.sd, kValueWidth);
        line.Left(row.angle ? Label(STR_LABEL_ANGLE) : CKZString(row.label), kLabelWidth / 2)
            .Right(value, kValueWidth)
            .Right(sd, kValueWidth)
            .Test(row.test, kTestWidth, 2, row.rejected);
        Line(line.Text());
    }
    if (loop.Kind == LOOP_HEIGHT || loop.Kind == LOOP_TRIGONOMETRIC) {
        ReportLine line;
        line.Left(Label(STR_LABEL_TOLERANCE), kLabelWidth / 2)
            .Right(LengthField(units_, loop.Tolerance, kValueWidth), kValueWidth);
        Line(line.Text());
    }
    const bool traverse = FamilyOfKind(loop.Kind) == LoopFamily::Traverse;
    ReportLine length;
    length.Left(Label(traverse ? STR_LABEL_TRAVERSE_LENGTH : STR_LABEL_LENGTH), kLabelWidth / 2)
        .Right(LengthField(units_, loop.Length, kValueWidth, 3), kValueWidth);
    Line(length.Text() + L"  [" + units_.linearName + L"]");
}

void LoopReport::Write() {
    Header();
    for (std::size_t f = 0; f < kLoopFamilies.size(); ++f) {
        if (!summary_.examined[f])
            continue;
        Line(CKZString());
        Line(Label(kLoopFamilies[f].heading));
        int number = 0;
        for (int k = 0; k < loops_.GetSize(); ++k) {
            const CLoopResults& loop = *loops_.GetAt(k);
            if (FamilyOfKind(loop.Kind) == kLoopFamilies[f].family)
                Loop(loop, ++number);
        }
        if (number == 0)
            Line(Label(STR_NO_LOOPS_FOUND));
    }
    Line(CKZString());
    Line(Label(STR_END_OF_FILE));
}

} // namespace

int WriteLoopReport(ProjectState& p, const CLoopResultsPtrArray& loops,
                    const LoopRunSummary& summary) {
    const CKZString path = ReportPath(RunKind::Loops, p.OutputPath);
    auto out = OpenOutputTarget(path, 0);
    if (!out->HasFile()) {
        ReportUnwritableFile(p, path);
        return 0;
    }
    LoopReport(*out, p, loops, summary).Write();
    return 1;
}

} // namespace Tavex
