// The results of one observation row in the observation's own unit
// (radians for angles, metres for lengths): the single source that reports,
// documents and the records read.
#ifndef TAVEX_TESTING_ROW_RESULTS_H
#define TAVEX_TESTING_ROW_RESULTS_H

#include "engine/engine_state.h"
#include "project/project_state.h"

namespace Tavex {

struct RowResult {
    double observed = 0.0;
    double adjusted = 0.0;
    double residual = 0.0;   // observed − adjusted
    double sd = 0.0;         // a-priori standard deviation
    double sdAdjusted = 0.0; // of the adjusted observation
    double redundancy = 0.0; // per cent
    double mdb = 0.0;
    double bnr = 0.0; // √|b²|
    double w = 0.0;
    double estimatedError = 0.0; // w MDB / √λ0
    bool rejected = false;       // |w| above the critical value
};

// The results of row r; distances, reduced relative inside the engine, come
// back in metres (standard deviations of adjusted distances scaled by the
// adjusted distance).
RowResult ResultOf(const ProjectState& project, const EngineState& engine, std::size_t r);

// The results of a reading of a free observation: nothing controls it, so
// its redundancy is 0 and it has no test, MDB or bias-to-noise ratio (0).
RowResult FreeResultOf(const FreeRowResult& free);

} // namespace Tavex

#endif
