// The covariance output of an adjustment, selected by the setting CovMatrix
// and written at the variance path (ProjectDir + VarianceFile):
//
//   1  the full covariance matrix of the coordinate unknowns,
//   2  the variance file: standard deviations of all unknowns and the
//      covariance block of every station,
//   3  the covariance block of every station,
//   4  the station blocks and the cross blocks of the station pairs that an
//      observation connects.
//
// Each file is first written under the same name with the extension ".tmp"
// and renamed when complete, so that a host never reads half a file. The
// line layout is described in docs/covariance-files.md; values are
// covariances Q/σ0² in metres² (north, east and height displacements of the
// stations; radians for angular unknowns), standard deviations √(Q_jj)/σ0.
//
// Where the adjustment calls them (both return 1 when the mode asks for
// nothing else):
//   - WriteCovarianceFile for modes 1, 3 and 4 right after the covariance
//     computation of the solution (free and weighted-constraint networks,
//     and the constrained phase), while the factor still holds the Cholesky
//     factor, so that every element can be formed;
//   - WriteVarianceFile for mode 2 right after the sparse inverse.
#ifndef TAVEX_OUTPUT_COVARIANCE_OUTPUT_H
#define TAVEX_OUTPUT_COVARIANCE_OUTPUT_H

#include "engine/engine_state.h"
#include "project/project_state.h"

namespace Tavex {

enum CovarianceMode : int {
    COVARIANCE_NONE = 0,
    COVARIANCE_FULL = 1,
    COVARIANCE_VARIANCE_FILE = 2,
    COVARIANCE_STATION_BLOCKS = 3,
    COVARIANCE_CONNECTED_BLOCKS = 4,
};

// Whether the mode asks for the file WriteCovarianceFile writes (1, 3, 4).
bool CovarianceFileDue(int mode);

// Modes 1, 3 and 4. The elements come from the Cholesky factor by
// substitution; when the sparse inverse has already replaced the factor,
// elements outside its structure cannot be formed and are written as NaN.
// Returns 1, or 0 after error 732 (with the path) when the file cannot be
// written.
int WriteCovarianceFile(ProjectState& project, const EngineState& engine);

// Mode 2, from the sparse inverse (or the factor). Returns 1, or 0 after
// error 732 when the file cannot be written.
int WriteVarianceFile(ProjectState& project, const EngineState& engine);

} // namespace Tavex

#endif
