// The adjustment mode and coordinate frame that the kernel derives from the
// map projection and the presence flags of the project.
#ifndef TAVEX_PROJECT_ADJUSTMENT_MODE_H
#define TAVEX_PROJECT_ADJUSTMENT_MODE_H

#include "project/project_state.h"

namespace Tavex {

// Frame codes.
inline constexpr int kFrameGridOfProjection = 2;

// Sets AdjMode (1 to 9, or 0 when no rule applies) and CoordFrame from the
// projection and the four presence flags. With replaceProjection on, the
// GPS-only cases replace the map projection by the frame without projection
// on ellipsoid code 21. Returns 1 when a mode was found, else 0 (AdjMode 0,
// CoordFrame unchanged).
int DetermineAdjMode(ProjectState& project, bool replaceProjection);

} // namespace Tavex

#endif
