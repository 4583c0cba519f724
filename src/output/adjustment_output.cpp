#include "output/adjustment_output.h"

#include "engine/datum_rows.h"
#include "messages/shorten_path.h"
#include "messages/string_loader.h"
#include "messages/tavex_out.h"
#include "output/output_names.h"
#include "output/xml_document.h"
#include "resources/string_ids.h"

#include <cmath>
#include <ctime>
#include <numbers>

namespace Tavex {

namespace {

constexpr int kLabelWidth = 40;
constexpr int kPathWidth = 60;
constexpr wchar_t kVersion[] = L"3.3.0";

// A station's adjusted position for the coordinates table: grid (easting,
// northing) where the project has a map projection, else latitude and
// longitude in degrees.
struct PrintedPosition {
    double first, second;
    bool grid;
};

PrintedPosition PositionOf(const ProjectState& p, const StationGeometry& g) {
    double easting = 0.0, northing = 0.0;
    if (p.CurrentProjection && p.CurrentProjection->LatLonToXY(g.lat, g.lon, &easting, &northing))
        return {easting, northing, true};
    return {g.lat * 180.0 / std::numbers::pi, g.lon * 180.0 / std::numbers::pi, false};
}

void WriteSummary(CTavexOut& out, const ProjectState& p, const EngineState& e) {
    Print(&out, L"%-*s%10u\n", kLabelWidth, L"Unknowns", static_cast<unsigned>(e.Unknowns()));
    Print(&out, L"%-*s%10u\n", kLabelWidth, L"Observations", static_cast<unsigned>(e.Rows()));
    Print(&out, L"%-*s%10d\n", kLabelWidth, L"Degrees of freedom",
          static_cast<int>(e.Rows()) - static_cast<int>(e.Unknowns()));
    Print(&out, L"%-*s%10u\n", kLabelWidth, L"Iterations", e.iterations);
    if (p.AdjDesign == 0)
        Print(&out, L"%-*s%10.4f\n", kLabelWidth, L"A-posteriori variance factor",
              e.varianceFactor);
}

void WriteTestParameters(CTavexOut& out, const ProjectState& p, const EngineState& e) {
    const CriticalValues& c = p.Critical;
    Print(&out, L"\n%s\n", CStringL(130).c_str());
    Print(&out, L"%-*s%*.*f\n", kLabelWidth, CStringL(131).c_str(), 10, 4, 1.0 - c.confidenceF);
    Print(&out, L"%-*s%*.*f\n", kLabelWidth, CStringL(132).c_str(), 10, 4, p.Alfa0);
    Print(&out, L"%-*s%*.*f\n", kLabelWidth, CStringL(133).c_str(), 8, 2, p.Beta);
    Print(&out, L"%-*s%*.*f\n", kLabelWidth, CStringL(136).c_str(), 8, 2, c.criticalW);
    if (p.Dimension != 1) {
        Print(&out, L"%-*s%*.*f\n", kLabelWidth, CStringL(137).c_str(), 8, 2, c.criticalT3);
        Print(&out, L"%-*s%*.*f\n", kLabelWidth, CStringL(138).c_str(), 8, 2, c.criticalT2);
    }
    if (e.Unknowns() < e.Rows())
        Print(&out, L"%-*s%*.*f\n", kLabelWidth, CStringL(135).c_str(), 8, 2, c.criticalF);
    else
        Print(&out, L"%-*s\n", kLabelWidth, CStringL(135).c_str());
}

void WriteCoordinates(CTavexOut& out, const ProjectState& p, const EngineState& e) {
    Print(&out, L"\n%s\n\n", CStringL(CoordinatesTitle(p, e)).c_str());
    for (unsigned position = 1; position <= e.order.count; ++position) {
        const unsigned s = e.order.stationAt[position];
        const bool horizontal = e.index.north[s] != 0 && e.index.east[s] != 0;
        const bool height = e.index.height[s] != 0;
        if (!horizontal && !height)
            continue;
        const StationGeometry& g = e.geometry[s];
        const PrintedPosition at = PositionOf(p, g);
        const double f = p.LinearFact;
        Print(&out, L"%-17s", p.Stations[s].Name.c_str());
        if (horizontal) {
            if (at.grid)
                Print(&out, L" %15.4f %15.4f", at.first * f, at.second * f);
            else
                Print(&out, L" %15.10f %15.10f", at.first, at.second);
        } else {
            Print(&out, L" %15s %15s", L"", L"");
        }
        if (height)
            Print(&out, L" %12.4f", g.h * f);
        Print(&out, L"\n");
    }
}

} // namespace

CKZString LocalTimeText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    wchar_t text[32];
    std::wcsftime(text, 32, L"%Y-%m-%dT%H:%M:%S", &local);
    return CKZString(text);
}

int WriteAdjustmentReport(ProjectState& p, const EngineState& e) {
    auto out = OpenOutputTarget(ReportPath(RunKind::Adjustment, p.OutputPath), 0);
    if (!out->HasFile())
        return 0;
    Print(out.get(), L"TAVEX %s  %s\n", kVersion,
          CStringL(p.AdjDesign ? STR_TITLE_DESIGN : STR_TITLE_ADJUSTMENT).c_str());
    Print(out.get(), L"%s\n%s\n%s\n\n", p.NetworkName.c_str(),
          ShortenPath(p.OutputPath, kPathWidth).c_str(), LocalTimeText().c_str());
    WriteSummary(*out, p, e);
    WriteTestParameters(*out, p, e);
    WriteCoordinates(*out, p, e);
    Print(out.get(), L"\n%s\n", CStringL(281).c_str());
    return 1;
}

int WriteAdjustmentDocument(ProjectState& p, const EngineState& e) {
    CTXXmlDocument document(StylesheetName(RunKind::Adjustment));
    int status = document.Initialize(MakeRoot(p.LinearUnitLong, p.AngleUnit));
    if (status < 0)
        return status;
    CTXXmlProject project;
    TXXML_PROJECT record = MakeProject(p.NetworkName);
    status = document.InsertProject(record, project);
    if (status < 0)
        return status;
    TXXML_SUMMARYHEADER header;
    header.runName = CStringL(p.AdjDesign ? STR_TITLE_DESIGN : STR_TITLE_ADJUSTMENT);
    header.networkName = p.NetworkName;
    header.dateTime = LocalTimeText();
    header.version = kVersion;
    CTXXmlNode headerNode, stations;
    project.InsertSummaryHeader(header, headerNode);
    project.InsertChild("Stations", stations);
    for (unsigned position = 1; position <= e.order.count; ++position) {
        const unsigned s = e.order.stationAt[position];
        const StationGeometry& g = e.geometry[s];
        CTXXmlNode station;
        stations.InsertChild("Station",
                             {{"name", p.Stations[s].Name},
                              {"latitude", g.lat},
                              {"longitude", g.lon},
                              {"height", g.h}},
                             station);
    }
    auto out = OpenOutputTarget(DocumentPath(RunKind::Adjustment, p.OutputPath), 0);
    if (!out->HasFile())
        return kDocumentFileFailure;
    CKZString text;
    status = document.XML(text);
    if (status < 0)
        return status;
    out->Write(text);
    return 0;
}

} // namespace Tavex
