// The message that names what is singular when the factorisation meets a
// vanishing pivot.
#ifndef TAVEX_ENGINE_SINGULARITY_REPORT_H
#define TAVEX_ENGINE_SINGULARITY_REPORT_H

#include "engine/engine_state.h"
#include "project/project_state.h"

namespace Tavex {

// Logs the error that names the station, orientation or parameter of the
// singular unknown (after error 531, which the factorisation logged).
void ReportSingularity(ProjectState& project, const EngineState& engine, std::uint32_t unknown);

} // namespace Tavex

#endif
