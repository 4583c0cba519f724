// The approximate-coordinate run's text report: banner and project header,
// the computed coordinates, the fits onto the known stations, and the
// stations that could not be computed.
#include "messages/shorten_path.h"
#include "messages/string_loader.h"
#include "messages/tavex_out.h"
#include "output/adjustment_output.h"
#include "output/cogo_output.h"
#include "output/output_names.h"
#include "output/report_format.h"
#include "output/run_report.h"
#include "resources/string_ids.h"

#include <algorithm>

namespace Tavex {

namespace {

constexpr int kLengthWidth = 14;
constexpr int kResidualWidth = 10;
constexpr int kMinimumNameWidth = 8;

class CogoReport {
public:
    CogoReport(CTavexOut& out, const ProjectState& p, const TXXML_COGO& records)
        : out_(out), p_(p), r_(records), units_(UnitsOf(p)),
          nameWidth_(StationNameWidth(p, kMinimumNameWidth)) {}

    void Write();

private:
    void Line(const CKZString& text) { Print(&out_, L"%s\n", text.c_str()); }
    void Labelled(int id, const CKZString& value) { WriteLabelledLine(out_, id, value); }
    void Heading(int id) {
        Line(CKZString());
        Line(Label(id));
        Line(CKZString());
    }
    void Header();
    void Coordinates();
    void PlaneFit();
    void HeightFit();
    void NotComputed();

    CTavexOut& out_;
    const ProjectState& p_;
    const TXXML_COGO& r_;
    ReportUnits units_;
    int nameWidth_ = kMinimumNameWidth;
};

void CogoReport::Header() {
    WriteRunBanner(out_, p_, RunKind::ApproximateCoordinates, STR_HEADING_APPROXIMATE_COMPUTATION);
    if (p_.CurrentProjection) {
        Labelled(STR_LABEL_ELLIPSOID, p_.CurrentProjection->szGetEllipsoidName());
        Labelled(STR_LABEL_PROJECTION, p_.CurrentProjection->szGetProjectionName());
        // Coordinates on the ellipsoid, computed in the plane.
        Labelled(STR_LABEL_ON, p_.CurrentProjection->szGetEllipsoidName());
        Labelled(STR_LABEL_IN, r_.projected ? p_.CurrentProjection->szGetProjectionName()
                                            : CKZString(L"Local oblique stereographic"));
    }
}

void CogoReport::Coordinates() {
    Heading(STR_HEADING_APPROXIMATE_COMPUTATION);
    ReportLine head;
    head.Left(Label(STR_LABEL_STATION), nameWidth_);
    if (r_.projected)
        head.Right(L"Easting", kLengthWidth).Right(L"Northing", kLengthWidth);
    else
        head.Right(L"Latitude", kCoordinateAngleWidth).Right(L"Longitude", kCoordinateAngleWidth);
    head.Right(L"Height", kLengthWidth);
    Line(head.Text());
    for (const TXXML_COGOSTATION& s : r_.stations) {
        ReportLine line;
        line.Left(s.name, nameWidth_);
        if (!s.horizontal)
            line.Skip(r_.projected ? kLengthWidth : kCoordinateAngleWidth)
                .Skip(r_.projected ? kLengthWidth : kCoordinateAngleWidth);
        else if (r_.projected)
            line.Right(LengthField(units_, s.easting, kLengthWidth), kLengthWidth)
                .Right(LengthField(units_, s.northing, kLengthWidth), kLengthWidth);
        else
            line.Right(AngleField(units_, s.lat, kCoordinateAngleWidth, AngleUse::Coordinate),
                       kCoordinateAngleWidth)
                .Right(AngleField(units_, s.lon, kCoordinateAngleWidth, AngleUse::Coordinate),
                       kCoordinateAngleWidth);
        if (s.height)
            line.Right(LengthField(units_, s.h, kLengthWidth), kLengthWidth);
        Line(line.Text());
    }
}

void CogoReport::PlaneFit() {
    Line(CKZString());
    Line(Label(STR_HEADING_SIMILARITY_COORDINATES));
    if (!r_.planeFit) {
        Line(Label(STR_NOT_ENOUGH_KNOWN_COORDINATES));
        return;
    }
    ReportLine head;
    head.Left(Label(STR_LABEL_STATION), nameWidth_)
        .Right(Label(r_.projected ? STR_LABEL_DEAST : STR_LABEL_DLAT), kResidualWidth)
        .Right(Label(r_.projected ? STR_LABEL_DNORTH : STR_LABEL_DLON), kResidualWidth);
    Line(head.Text() + L"  [" + units_.linearName + L"]");
    for (const TXXML_COGORESIDUAL& s : r_.planeResiduals) {
        ReportLine line;
        // Latitude residual first where the residuals are labelled so.
        line.Left(s.name, nameWidth_)
            .Right(LengthField(units_, r_.projected ? s.first : s.second, kResidualWidth, 3),
                   kResidualWidth)
            .Right(LengthField(units_, r_.projected ? s.second : s.first, kResidualWidth, 3),
                   kResidualWidth);
        Line(line.Text() + (s.rejected ? L" " + Label(STR_MARK_REJECTED) : CKZString()));
    }
}

void CogoReport::HeightFit() {
    Line(CKZString());
    Line(Label(STR_HEADING_SIMILARITY_HEIGHTS));
    if (!r_.heightFit) {
        Line(Label(STR_NOT_ENOUGH_KNOWN_HEIGHTS));
        return;
    }
    ReportLine head;
    head.Left(Label(STR_LABEL_STATION), nameWidth_).Right(Label(STR_LABEL_DHGT), kResidualWidth);
    Line(head.Text() + L"  [" + units_.linearName + L"]");
    for (const TXXML_COGORESIDUAL& s : r_.heightResiduals) {
        ReportLine line;
        line.Left(s.name, nameWidth_)
            .Right(LengthField(units_, s.height, kResidualWidth, 3), kResidualWidth);
        Line(line.Text() + (s.rejected ? L" " + Label(STR_MARK_REJECTED) : CKZString()));
    }
}

void CogoReport::NotComputed() {
    Heading(STR_HEADING_NOT_COMPUTED);
    if (r_.notComputed.empty())
        return;
    Line(Label(STR_LABEL_STATION));
    for (const TXXML_COGOSTATION& s : r_.notComputed)
        Line(s.name);
}

void CogoReport::Write() {
    Header();
    Coordinates();
    Heading(STR_HEADING_SIMILARITY_RESULTS);
    PlaneFit();
    HeightFit();
    NotComputed();
    Line(CKZString());
    Line(Label(STR_END_OF_FILE));
}

} // namespace

int WriteCogoReport(ProjectState& p, const CogoState& c) {
    const CKZString path = ReportPath(RunKind::ApproximateCoordinates, p.OutputPath);
    auto out = OpenOutputTarget(path, 0);
    if (!out->HasFile()) {
        ReportUnwritableFile(p, path);
        return 0;
    }
    const TXXML_COGO records = CogoRecords(p, c);
    CogoReport(*out, p, records).Write();
    return 1;
}

} // namespace Tavex
