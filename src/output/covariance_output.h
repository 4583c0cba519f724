// Writes the covariance output that the adjustment computed (see
// testing/covariance.h for what each mode of CovMatrix holds) at the variance
// path (ProjectDir + VarianceFile).
//
// The file is first written under the same name with the extension ".tmp"
// and renamed when complete, so that a host never reads half a file. The
// line layout is described in docs/covariance-files.md.
#ifndef TAVEX_OUTPUT_COVARIANCE_OUTPUT_H
#define TAVEX_OUTPUT_COVARIANCE_OUTPUT_H

#include "engine/engine_state.h"
#include "project/project_state.h"
#include "testing/covariance.h"

namespace Tavex {

// Writes engine.results.covariance when the adjustment computed one (mode
// not 0). Returns 1, or 0 after error 732 (with the path) when the file
// cannot be written.
int WriteCovarianceOutput(ProjectState& project, const EngineState& engine);

} // namespace Tavex

#endif
