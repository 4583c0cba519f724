// The message that names what is singular when the factorisation meets a
// vanishing pivot.
#ifndef TAVEX_ENGINE_SINGULARITY_REPORT_H
#define TAVEX_ENGINE_SINGULARITY_REPORT_H

#include "engine/engine_state.h"
#include "project/project_state.h"

namespace Tavex {

// What a singular unknown names: the message number and its text, the
// station (0 for network-wide parameters) and the unknown's sub-code. Code 0
// for an unknown without a message (additional transformation parameters).
struct SingularityText {
    int code = 0;
    CKZString text;
    std::uint32_t station = 0;
    std::uint32_t sub = 0;
};
SingularityText SingularityOf(const ProjectState& project, const EngineState& engine,
                              std::uint32_t unknown);

// Logs the error that names the station, orientation or parameter of the
// singular unknown (after error 531, which the factorisation logged).
void ReportSingularity(ProjectState& project, const EngineState& engine, std::uint32_t unknown);

} // namespace Tavex

#endif
