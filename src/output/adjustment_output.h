// The output of an adjustment run: the text report or the XML result
// document, chosen by the output form.
#ifndef TAVEX_OUTPUT_ADJUSTMENT_OUTPUT_H
#define TAVEX_OUTPUT_ADJUSTMENT_OUTPUT_H

#include "engine/engine_state.h"
#include "output/xml_status.h"
#include "project/project_state.h"

namespace Tavex {

// The kernel version the report header and the summary header name.
inline constexpr wchar_t kKernelVersion[] = L"3.3.0";

// Writes the text report at the output path, its sections in the order and
// under the switches of ReportSwitch (docs/adjustment-report.md); 1 on
// success, 0 after error 732 when the file cannot be created.
int WriteAdjustmentReport(ProjectState& project, const EngineState& engine);

// Writes the XML result document at the output path (sections in
// docs/result-documents.md); 0 on success, the writer's (negative) status,
// or kDocumentFileFailure after error 732 when the file cannot be created.
int WriteAdjustmentDocument(ProjectState& project, const EngineState& engine);

// The current local time as "YYYY-MM-DDTHH:MM:SS".
CKZString LocalTimeText();

// Error 732 naming an output file that could not be written.
void ReportUnwritableFile(ProjectState& project, const CKZString& path);

} // namespace Tavex

#endif
