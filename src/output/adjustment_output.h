// The output of an adjustment run: the text report or the XML result
// document, chosen by the output form.
#ifndef TAVEX_OUTPUT_ADJUSTMENT_OUTPUT_H
#define TAVEX_OUTPUT_ADJUSTMENT_OUTPUT_H

#include "engine/engine_state.h"
#include "project/project_state.h"

namespace Tavex {

// The generic failure status of the document writer (no result file).
inline constexpr int kDocumentFileFailure = static_cast<int>(0x80004005u);

// Writes the text report at the output path; 1 on success, 0 on failure.
int WriteAdjustmentReport(ProjectState& project, const EngineState& engine);

// Writes the XML result document at the output path; 0 on success, the
// writer's (negative) status or kDocumentFileFailure otherwise.
int WriteAdjustmentDocument(ProjectState& project, const EngineState& engine);

// The current local time as "YYYY-MM-DDTHH:MM:SS".
CKZString LocalTimeText();

} // namespace Tavex

#endif
