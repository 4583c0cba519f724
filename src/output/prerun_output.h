// The pre-run's outputs: the text report (the output path with ".vnk") and
// the result document (".vnk.xml", stylesheet VELNIKV33.xsl) of its check
// blocks, in the order the checks ran.
#ifndef TAVEX_OUTPUT_PRERUN_OUTPUT_H
#define TAVEX_OUTPUT_PRERUN_OUTPUT_H

#include "prerun/prerun_results.h"
#include "project/project_state.h"

namespace Tavex {

// What the report needs besides the blocks.
struct PreRunSummary {
    double criticalW = 0.0; // the W-test critical value k
    bool design = false;    // no observation checks were run
};

// Returns 1, or 0 after error 732 when the file cannot be written.
int WritePreRunReport(ProjectState& project, const CVelnikResultsPtrArray& results,
                      const PreRunSummary& summary);

// Returns 0 on success, a negative status of the writer layer, or the
// generic file failure when the document cannot be written (error 732).
int WritePreRunDocument(ProjectState& project, const CVelnikResultsPtrArray& results,
                        const PreRunSummary& summary);

} // namespace Tavex

#endif
