// The loop run's outputs: the text report (the output path with ".rnd") and
// the result document (".rnd.xml", stylesheet RINDELV33.xsl): per examined
// kind of loop its heading and its loops, each with its stations, the
// observations it was computed from, its misclosures with their standard
// deviations and test values, and its length.
#ifndef TAVEX_OUTPUT_LOOP_OUTPUT_H
#define TAVEX_OUTPUT_LOOP_OUTPUT_H

#include "loops/loop_kinds.h"
#include "project/project_state.h"
#include "tavex/tavex.h"

#include <array>

namespace Tavex {

// What the outputs need besides the loops.
struct LoopRunSummary {
    double criticalW = 0.0; // the W-test critical value k
    // Per family, in the order of kLoopFamilies: whether it was examined
    // (the network's dimension allowed it) and how many loops were wanted.
    std::array<bool, 4> examined{};
    std::array<std::size_t, 4> wanted{};
};

// Returns 1, or 0 after error 732 when the file cannot be written.
int WriteLoopReport(ProjectState& project, const CLoopResultsPtrArray& loops,
                    const LoopRunSummary& summary);

// Returns 0 on success, a negative status of the writer layer, or the
// generic file failure when the document cannot be written (error 732).
int WriteLoopDocument(ProjectState& project, const CLoopResultsPtrArray& loops,
                      const LoopRunSummary& summary);

} // namespace Tavex

#endif
