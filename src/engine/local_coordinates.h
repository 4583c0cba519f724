// Setting up the transformation of observed local coordinates for a run:
// its type, its tangent frame and the approximate values of its parameters
// (local_frame.h gives the model).
#ifndef TAVEX_ENGINE_LOCAL_COORDINATES_H
#define TAVEX_ENGINE_LOCAL_COORDINATES_H

#include "engine/engine_state.h"
#include "project/project_state.h"

namespace Tavex {

// The transformation type a project uses: the setting LocalTransfType, or,
// when it is 0, the type that covers the network's components: 1D height
// shift (1), 2D plane similarity (2), 3D plane similarity and height shift
// (4).
int LocalTransformationType(const ProjectState& project);

// With local-coordinate rows: the type (error 731 naming LocalTransfType
// when it is unknown or leaves a component of the rows without a
// parameter) and the tangent frame at the geocentric mean of the stations'
// current positions. Without such rows: frame type 0. Returns 1 or 0.
int SetUpLocalFrame(ProjectState& project, EngineState& engine);

// Approximate values by sub-code: shifts, rotation and scale of the plane
// similarity fitted (least squares) to the stations that have both plane
// components, so that a turned site grid starts near its solution; the other
// parameters 0 and the scales 1. Design mode, with no readings, starts from
// the identity.
void ApproximateLocalParameters(const ProjectState& project, const EngineState& engine,
                                double (&values)[kLocalParameterSlots]);

} // namespace Tavex

#endif
