#include "output/run_report.h"

#include "messages/shorten_path.h"
#include "output/adjustment_output.h"
#include "output/report_format.h"
#include "resources/string_ids.h"

#include <algorithm>

namespace Tavex {

namespace {

constexpr int kLabelWidth = 40;
constexpr int kPathWidth = 60;

} // namespace

int StationNameWidth(const ProjectState& p, int minimum) {
    int width = std::max(minimum, DisplayWidth(Label(STR_LABEL_STATION)));
    for (unsigned s = 1; s <= p.StationCount; ++s)
        width = std::max(width, DisplayWidth(p.Stations[s].Name));
    return width;
}

void WriteLabelledLine(CTavexOut& out, int labelId, const CKZString& value) {
    Print(&out, L"%s\n", (PadRight(Label(labelId), kLabelWidth) + L": " + value).c_str());
}

void WriteRunBanner(CTavexOut& out, const ProjectState& p, RunKind run, int titleId) {
    Print(&out, L"TAVEX %s  %s\n\n", kKernelVersion, Label(titleId).c_str());
    WriteLabelledLine(out, STR_LABEL_PROJECT, p.NetworkName);
    WriteLabelledLine(out, STR_LABEL_OUTPUT_FILE,
                      ShortenPath(ReportPath(run, p.OutputPath), kPathWidth));
    WriteLabelledLine(out, STR_LABEL_DATE, LocalTimeText());
}

} // namespace Tavex
