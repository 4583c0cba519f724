// The covariance output an adjustment leaves for its host, selected by the
// setting CovMatrix:
//
//   1  the full covariance matrix of the coordinate unknowns,
//   2  the standard deviations of all unknowns and the covariance block of
//      every station,
//   3  the covariance block of every station,
//   4  the station blocks and the cross blocks of the station pairs that an
//      observation connects.
//
// The adjustment computes these numbers (modes 1, 3 and 4 while the factor
// still holds the Cholesky factor, so that every element can be formed;
// mode 2 from the sparse inverse); the run driver writes them to the
// variance file (output/covariance_output.h). Values are covariances Q/σ0²
// in metres² for the north, east and height displacements of the stations
// (radians for angular unknowns) and standard deviations √(Q_jj)/σ0.
#ifndef TAVEX_TESTING_COVARIANCE_H
#define TAVEX_TESTING_COVARIANCE_H

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

// Whether a mode needs elements off the factor's structure (1, 3, 4), which
// must be formed before the sparse inverse replaces the factor.
bool CovarianceFromFactor(int mode);

// Computes the output of the project's mode into engine.results.covariance
// (modes 1, 3 and 4 from the factor when it is in place, mode 2 from the
// sparse inverse). Returns 1, or 0 after error 401 when memory runs out.
int ComputeCovarianceOutput(ProjectState& project, EngineState& engine);

} // namespace Tavex

#endif
