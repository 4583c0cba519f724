// What the text reports of the checking runs (approximate coordinates,
// loops) share: their first lines and the width of a station-name column.
#ifndef TAVEX_OUTPUT_RUN_REPORT_H
#define TAVEX_OUTPUT_RUN_REPORT_H

#include "messages/tavex_out.h"
#include "output/output_names.h"
#include "project/project_state.h"

namespace Tavex {

// The width of a column of station names: the widest name of the project
// (in display columns), at least minimum and the station label.
int StationNameWidth(const ProjectState& project, int minimum);

// A "label: value" line with the label padded to the report's label column.
void WriteLabelledLine(CTavexOut& out, int labelId, const CKZString& value);

// The banner with the run's title, then the project, the report's own file
// (shortened) and the date.
void WriteRunBanner(CTavexOut& out, const ProjectState& project, RunKind run, int titleId);

} // namespace Tavex

#endif
