// The steps that turn the project into the engine's network, shared by the
// adjustment and the pre-run: the station checks, the side shots taken out,
// the rows with the dimension restrictions, the minimum-degree station order
// and the numbered unknowns with their approximate values.
#ifndef TAVEX_ENGINE_NETWORK_SETUP_H
#define TAVEX_ENGINE_NETWORK_SETUP_H

#include "engine/engine_state.h"
#include "project/project_state.h"

namespace Tavex {

// Returns 1, or 0 after the failing step's message.
int SetUpNetwork(ProjectState& project, EngineState& engine);

} // namespace Tavex

#endif
