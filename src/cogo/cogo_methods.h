// The construction methods of the approximate-coordinate computation. Each
// works on the plane positions and computed flags of the run's state, adds
// the stations it can construct, and returns 1 (0 only when its work arrays
// cannot be had, which the driver reports).
#ifndef TAVEX_COGO_COGO_METHODS_H
#define TAVEX_COGO_COGO_METHODS_H

#include "cogo/cogo_state.h"
#include "project/project_state.h"

namespace Tavex {

// Rounds of the plane phase (polygon_traverse.cpp, polygon_network.cpp,
// chain_offset.cpp, resection.cpp, intersection.cpp, station_relations.cpp).
int PolygonTraverse(const ProjectState& project, CogoState& c);
int PolygonNetwork(const ProjectState& project, CogoState& c);
int ChainAndOffset(const ProjectState& project, CogoState& c);
int Resection(const ProjectState& project, CogoState& c);
int Intersection(const ProjectState& project, CogoState& c);
int DoubleDistanceRelations(const ProjectState& project, CogoState& c);
int IdenticalStationRelations(const ProjectState& project, CogoState& c);

// Rounds of the height phase (height_traverse.cpp, station_relations.cpp).
int HeightTraverse(const ProjectState& project, CogoState& c);
int IdenticalHeightRelations(const ProjectState& project, CogoState& c);

// The orientation of set `set` at station s, from its first direction to a
// computed target; false when it has none.
bool SetOrientation(const CogoState& c, unsigned s, unsigned set, double& orientation);

// Of two mirror solutions, the one nearer the host's approximate position
// of s when it has one; otherwise `preferred`.
PlanePoint ChooseMirror(const CogoState& c, unsigned s, const PlanePoint& preferred,
                        const PlanePoint& other);

} // namespace Tavex

#endif
