// The parts of the report that are always written: the header, the
// statistics summary, the test parameters with the F-test, the test summary
// and the end-of-file line.
#include "messages/shorten_path.h"
#include "output/adjustment_output.h"
#include "output/report_sections.h"
#include "output/row_naming.h"
#include "resources/string_ids.h"
#include "testing/test_lists.h"

#include <algorithm>

namespace Tavex {

namespace {

// Summary labels are padded to 40 display columns, which is what "%-*s"
// with 40 gives in the 8-bit encodings the report formats were made for
// (a Chinese character is two bytes and two columns there).
constexpr int kLabelWidth = 40;
constexpr int kPathWidth = 60;
constexpr int kCountWidth = 10;
constexpr int kCodeWidth = 4;
constexpr int kValueWidth = 10;
constexpr int kRatioWidth = 7;
constexpr int kErrorWidth = 12;

void Count(const ReportContext& c, int id, unsigned count, bool always = false) {
    if (count == 0 && !always)
        return;
    CKZString value;
    value.Format(L"%*u", kCountWidth, count);
    WriteLabelled(c, L"  " + Label(id), value);
}

void UnknownCountLines(const ReportContext& c) {
    const UnknownCounts& u = c.e.unknownCounts;
    WriteLine(c, Label(STR_UNKNOWNS));
    Count(c, STR_LABEL_COORDINATES, u.coordinates);
    Count(c, STR_KIND_ORIENTATIONS, u.orientations);
    Count(c, STR_KIND_SCALE_FACTORS, u.scaleFactors);
    Count(c, STR_KIND_REFRACTION, u.refractionCoefficients);
    Count(c, STR_KIND_AZIMUTH_OFFSETS, u.azimuthOffsets);
    Count(c, STR_KIND_GPS_PARAMETERS, u.gpsParameters);
    Count(c, STR_KIND_DEFLECTIONS, u.deflections);
    Count(c, STR_KIND_ADDITIONAL_TRANSFORMATION, u.additionalRotations + u.additionalParameters);
    Count(c, STR_LABEL_TOTAL, static_cast<unsigned>(c.e.Unknowns()), true);
}

void ObservationCountLines(const ReportContext& c) {
    const RowCounts& r = c.e.counts;
    WriteLine(c, Label(STR_LABEL_OBSERVATIONS));
    Count(c, STR_KIND_DIRECTIONS, r.directions);
    Count(c, STR_KIND_DISTANCES, r.distances);
    Count(c, STR_KIND_ZENITH_ANGLES, r.zenithAngles);
    Count(c, STR_KIND_TRIG_HEIGHTS, r.trigonometricHeights);
    Count(c, STR_KIND_AZIMUTHS, r.azimuths);
    Count(c, STR_KIND_HEIGHT_DIFFERENCES, r.heightDifferences);
    Count(c, STR_KIND_GPS_BASELINES, r.gpsBaselines);
    Count(c, STR_KIND_GPS_COORDINATES, r.gpsCoordinates);
    Count(c, STR_KIND_RELATIONS, r.relations);
    Count(c, STR_KIND_LOCAL_COORDINATES, r.localCoordinates);
    Count(c, STR_LABEL_DATUM_PSEUDO, r.datum + r.innerConstraints);
    Count(c, STR_LABEL_TRANSFORMATION_PSEUDO, r.transformation);
    Count(c, STR_LABEL_TOTAL, static_cast<unsigned>(c.e.Rows()), true);
}

// The label of a variance-component group's kind; 0 for the groups of
// pseudo-observations, which the report leaves out.
int GroupLabel(std::uint32_t kind) {
    switch (kind) {
    case kGroupTerrestrial:
        return STR_KIND_TERRESTRIAL;
    case kGroupGps:
        return STR_KIND_GPS;
    case ROW_DIRECTION:
        return STR_KIND_DIRECTIONS;
    case ROW_DISTANCE:
        return STR_KIND_DISTANCES;
    case ROW_ZENITH:
        return STR_KIND_ZENITH_ANGLES;
    case ROW_AZIMUTH:
        return STR_KIND_AZIMUTHS;
    case ROW_HEIGHT_DIFFERENCE:
        return STR_KIND_HEIGHT_DIFFERENCES;
    case ROW_GPS_BASELINE:
        return STR_KIND_GPS_BASELINES;
    case ROW_GPS_COORDINATE:
        return STR_KIND_GPS_COORDINATES;
    case ROW_TRIG_HEIGHT:
        return STR_KIND_TRIG_HEIGHTS;
    case ROW_RELATION:
        return STR_KIND_RELATIONS;
    case ROW_LOCAL_COORDINATE:
        return STR_KIND_LOCAL_COORDINATES;
    default:
        return 0;
    }
}

// "方差分量分析": the estimate and the redundancy of every group, the
// network-wide groups first (a blank line after terrestrial and GPS), then
// the groups of the observations' variance groups.
void VarianceComponentLines(const ReportContext& c) {
    const VarianceComponents& v = c.e.variance;
    if (c.design || c.e.Rows() <= c.e.Unknowns() || !v.estimated)
        return;
    constexpr int kEstimateWidth = 9, kRedundancyWidth = 12;
    WriteHeading(c, STR_VARIANCE_COMPONENTS);
    WriteLine(c, PadRight(CKZString(), kLabelWidth) +
                     PadLeft(Label(STR_LABEL_VARIANCE), kEstimateWidth) + L"  " +
                     PadLeft(Label(STR_REDUNDANCY), kRedundancyWidth));
    const auto line = [&](const VarianceGroup& g, const CKZString& label) {
        CKZString numbers;
        numbers.Format(L"%*.*f  %*.*f", kEstimateWidth, 3, g.estimate, kRedundancyWidth, 1,
                       g.redundancy);
        WriteLine(c, PadRight(label, kLabelWidth) + numbers);
    };
    const auto isWhole = [](const VarianceGroup& g) {
        return g.key == 0 && (g.kind == kGroupTerrestrial || g.kind == kGroupGps);
    };
    bool whole = false;
    for (const VarianceGroup& g : v.groups)
        if (isWhole(g)) {
            line(g, Label(GroupLabel(g.kind)));
            whole = true;
        }
    if (whole)
        WriteLine(c, CKZString());
    for (const VarianceGroup& g : v.groups)
        if (g.key == 0 && !isWhole(g) && GroupLabel(g.kind) != 0)
            line(g, Label(GroupLabel(g.kind)));
    bool sets = false;
    for (const VarianceGroup& g : v.groups) {
        if (g.key == 0 || GroupLabel(g.kind) == 0)
            continue;
        if (!sets)
            WriteLine(c, CKZString());
        sets = true;
        CKZString label;
        label.Format(L"%s %u", Label(GroupLabel(g.kind)).c_str(), g.key);
        line(g, label);
    }
}

void Critical(const ReportContext& c, int id, int width, int decimals, double value) {
    CKZString text;
    text.Format(L"%*.*f", width, decimals, value);
    WriteLine(c, PadRight(Label(id), kLabelWidth) + text);
}

} // namespace

ReportContext MakeReportContext(CTavexOut& out, const ProjectState& p, const EngineState& e) {
    ReportContext c{out, p, e, UnitsOf(p)};
    for (unsigned s = 1; s <= p.StationCount && s < p.Stations.size(); ++s)
        c.nameWidth = std::max(c.nameWidth, DisplayWidth(p.Stations[s].Name));
    c.design = p.AdjDesign != 0;
    c.tested = !c.design && e.results.tested && e.results.w.size() == e.Rows() + 1;
    c.reliability = e.results.mdb.size() == e.Rows() + 1;
    return c;
}

void WriteLine(const ReportContext& c, const CKZString& text) {
    // Columns padded to their width leave blanks at the end of a line.
    std::wstring line = text.wstr();
    while (!line.empty() && line.back() == L' ')
        line.pop_back();
    Print(&c.out, L"%s\n", line.c_str());
}

void WriteHeading(const ReportContext& c, int id) {
    const CKZString heading = Label(id);
    Print(&c.out, L"\n%s\n%s\n", heading.c_str(),
          std::wstring(static_cast<std::size_t>(DisplayWidth(heading)), L'=').c_str());
}

void WriteLabelled(const ReportContext& c, const CKZString& label, const CKZString& value) {
    WriteLine(c, PadRight(label, kLabelWidth) + value);
}

CKZString Bracketed(const CKZString& unit) {
    return L"[" + unit + L"]";
}

void WriteReportHeader(const ReportContext& c) {
    Print(&c.out, L"TAVEX %s  %s\n", kKernelVersion,
          Label(c.design ? STR_TITLE_DESIGN : STR_TITLE_ADJUSTMENT).c_str());
    WriteLabelled(c, Label(STR_LABEL_VERSION), kKernelVersion);
    WriteLabelled(c, Label(STR_LABEL_NETWORK), c.p.NetworkName);
    WriteLabelled(c, Label(STR_LABEL_OUTPUT_FILE), ShortenPath(c.p.OutputPath, kPathWidth));
    WriteLabelled(c, Label(STR_LABEL_DATE), LocalTimeText());
}

void WriteStatisticsSummary(const ReportContext& c) {
    WriteLine(c, CKZString());
    CKZString number;
    number.Format(L"%*d", kCountWidth, c.p.Dimension);
    WriteLabelled(c, Label(STR_LABEL_DIMENSION), number);
    WriteLabelled(c, Label(STR_LABEL_LINEAR_UNIT), PadLeft(c.units.linearName, kCountWidth));
    WriteLabelled(c, Label(STR_LABEL_ANGLE_UNIT), PadLeft(c.units.angleName, kCountWidth));
    number.Format(L"%*.*f", kCountWidth, 3, c.p.Sigma0);
    WriteLabelled(c, Label(STR_LABEL_SIGMA0), number);
    number.Format(L"%*u", kCountWidth, c.p.StationCount);
    WriteLabelled(c, Label(STR_LABEL_STATION_COUNT), number);
    UnknownCountLines(c);
    ObservationCountLines(c);
    number.Format(L"%*d", kCountWidth,
                  static_cast<int>(c.e.Rows()) - static_cast<int>(c.e.Unknowns()));
    WriteLabelled(c, Label(STR_REDUNDANCY), number);
    if (c.design)
        return;
    number.Format(L"%*u", kCountWidth, c.e.iterations);
    WriteLabelled(c, Label(STR_STAGE_ITERATION), number);
    WriteLabelled(c, Label(STR_LABEL_LARGEST_CORRECTION),
                  LengthField(c.units, c.e.largestCorrection, kCountWidth) + L" " +
                      c.units.linearName);
    VarianceComponentLines(c);
}

void WriteTestParameters(const ReportContext& c) {
    const CriticalValues& v = c.p.Critical;
    WriteHeading(c, STR_HEADING_TESTING);
    Critical(c, STR_LABEL_ALPHA, 10, 4, 1.0 - v.confidenceF);
    Critical(c, STR_LABEL_ALPHA0, 10, 4, c.p.Alfa0);
    Critical(c, STR_LABEL_BETA, 8, 2, c.p.Beta);
    Critical(c, STR_LABEL_CRITICAL_W, 8, 2, v.criticalW);
    if (c.p.Dimension != 1) {
        Critical(c, STR_LABEL_CRITICAL_T3, 8, 2, v.criticalT3);
        Critical(c, STR_LABEL_CRITICAL_T2, 8, 2, v.criticalT2);
    }
    const bool redundant = c.e.Unknowns() < c.e.Rows();
    if (redundant)
        Critical(c, STR_LABEL_CRITICAL_F, 8, 2, v.criticalF);
    else
        WriteLine(c, PadRight(Label(STR_LABEL_CRITICAL_F), kLabelWidth));
    // The F-test of the a-posteriori variance factor.
    if (!redundant || c.design) {
        WriteLine(c, PadRight(Label(STR_LABEL_F_TEST), kLabelWidth));
        return;
    }
    CKZString value;
    value.Format(L"%*.*f  %s", 9, 3, c.e.varianceFactor,
                 Label(c.e.varianceFactor <= v.criticalF ? STR_ACCEPTED : STR_REJECTED).c_str());
    WriteLine(c, PadRight(Label(STR_LABEL_F_TEST), kLabelWidth) + value);
    if (c.e.varianceFactorApplied)
        WriteLine(c, Label(STR_A_POSTERIORI_RESULTS));
}

void WriteTestSummary(const ReportContext& c) {
    if (!c.tested)
        return;
    WriteHeading(c, STR_HEADING_TEST_SUMMARY);
    const CTestList summary = TestSummary(c.p, c.e);
    if (summary.Entries().empty()) {
        WriteLine(c, Label(STR_LABEL_NONE));
        return;
    }
    ReportLine head;
    head.Left(Label(STR_LABEL_STATION), c.nameWidth)
        .Left(Label(STR_LABEL_TARGET), c.nameWidth)
        .Left(Label(STR_LABEL_CODE), kCodeWidth)
        .Right(Label(STR_LABEL_TEST_DIMENSION), kCodeWidth)
        .Right(Label(STR_LABEL_VALUE), kValueWidth + kMarkWidth)
        .Right(Label(STR_LABEL_FACTOR), kRatioWidth)
        .Right(Label(STR_LABEL_ESTIMATED_ERROR), kErrorWidth);
    WriteLine(c, head.Text());
    for (const CTest& t : summary.Entries()) {
        const RowName name = NameOfTestEntry(c.p, t);
        ReportLine line;
        line.Left(name.station, c.nameWidth)
            .Left(name.target, c.nameWidth)
            .Left(name.code, kCodeWidth)
            .Number(t.dimension, kCodeWidth, 0)
            .Test(t.value, kValueWidth, 2, t.ratio > 1.0)
            .Number(t.ratio, kRatioWidth, 2);
        for (int k = 0; k < t.dimension; ++k)
            line.Right(EstimatedErrorField(c, t, t.estimatedError[k], kErrorWidth), kErrorWidth);
        WriteLine(c, line.Text());
    }
}

void WriteEndOfFile(const ReportContext& c) {
    Print(&c.out, L"\n%s\n", Label(STR_END_OF_FILE).c_str());
}

} // namespace Tavex
