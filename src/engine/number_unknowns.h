// The unknowns of an adjustment: per-station flags from the rows, the
// numbering in station order with approximate values, the network-wide
// parameters, and the corrections of a solution.
#ifndef TAVEX_ENGINE_NUMBER_UNKNOWNS_H
#define TAVEX_ENGINE_NUMBER_UNKNOWNS_H

#include "engine/engine_state.h"
#include "project/project_state.h"

namespace Tavex {

// Sets the per-station unknown flags from the rows and the dimension.
void SetUnknownFlags(const ProjectState& project, EngineState& engine);

// Numbers the unknowns: for every station in order its north, east and
// height, then one orientation per direction set measured from it; then the
// free scale factors, refraction coefficients and azimuth offsets of the
// groups the rows use, then the GPS transformation parameters. Returns 1,
// or 0 after 400 with 405.
int NumberUnknowns(ProjectState& project, EngineState& engine);

// The number of GPS transformation parameters the network needs: none when
// the GPS coordinates are the network's frame (adjustment modes 6 and 9),
// else seven with GPS coordinates, four (rotations and scale) with only
// baselines.
int GpsParameterCount(const ProjectState& project, const EngineState& engine);

// Adds the corrections of a solution (metres for coordinates, relative for
// scale factors, the parameter's unit otherwise) to the current values.
void ApplyCorrections(EngineState& engine, const std::vector<double>& corrections);

// The value the model uses for a parameter that is not an unknown.
double FixedScale(const ProjectState& project, unsigned group);
double FixedRefraction(const ProjectState& project, unsigned group);
double FixedAzimuthOffset(const ProjectState& project, unsigned group);

} // namespace Tavex

#endif
