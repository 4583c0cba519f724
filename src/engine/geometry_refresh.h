// The station geometry cache: every ordered station's position at the
// current values of its unknowns (or as given, where it has none).
#ifndef TAVEX_ENGINE_GEOMETRY_REFRESH_H
#define TAVEX_ENGINE_GEOMETRY_REFRESH_H

#include "engine/engine_state.h"
#include "engine/observation_model.h"
#include "project/project_state.h"

namespace Tavex {

void RefreshGeometry(const ProjectState& project, EngineState& engine);

// The semi-major axis and eccentricity of the project's ellipsoid.
EllipsoidConstants ProjectEllipsoid(const ProjectState& project);

} // namespace Tavex

#endif
