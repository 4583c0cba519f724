// Configuration defects: the unknowns the observations leave undetermined,
// found all at once by a Cholesky factorisation that does not stop at a
// singular pivot, and listed per station and per parameter.
#ifndef TAVEX_PRERUN_DEFECT_DETECTION_H
#define TAVEX_PRERUN_DEFECT_DETECTION_H

#include "engine/engine_state.h"
#include "messages/progress.h"
#include "prerun/prerun_results.h"
#include "project/project_state.h"

#include <vector>

namespace Tavex {

// Factorises N = L Lᵀ of the filled system on its symbolic structure, in
// unknown order. A pivot d < c² flags unknown j: its row of L stays empty, so
// that the later rows see it as fixed (removing one flagged unknown per
// defect leaves a regular system, and a defect of rank r flags exactly r
// unknowns, the first ones in unknown order it leaves undetermined). A
// pivot equal to c² is regular; a pivot of 0, or one below 1e-13 N(j, j)
// (what rounding leaves of a vanishing pivot), never is. flags[j] is 1 for a flagged unknown
// (1-based; element 0 unused). Returns the number flagged.
std::uint32_t FactoriseFlaggingDefects(LinearSystem& system, double c, std::vector<char>& flags);

// The defect lines of the flagged unknowns: per station in station order
// 450 (plane), 451 (height) or 452 (both), then per flagged parameter in
// unknown order its singularity message.
void ListDefects(const ProjectState& project, const EngineState& engine,
                 const std::vector<char>& flags, CVelnikChecks& block);

// The detection step of the pre-run: symbolic factorisation, the flagging
// factorisation with c = DeltaSingular / Sigma0, and, when something is
// flagged, one block of configuration defects. Returns 1, or 0 after an
// allocation error.
int DetectConfigurationDefects(ProjectState& project, EngineState& engine, Progress& progress,
                               CVelnikResultsPtrArray& results);

} // namespace Tavex

#endif
