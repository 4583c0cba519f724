// The observations as the constructions read them, gathered once per run:
// per station its directions and its distances (reduced to the plane), the
// polygon edges and the height legs.
//
// Distances: a horizontal distance (code 1, or code 3 without a zenith
// angle in its record) is taken as it is; a slant distance with a zenith
// angle in its record is reduced to the horizontal with it,
// D = s sin(z − (1 − k) s / (2R)); a slant distance without one is taken as
// an approximation of the horizontal. Each is divided by the initial scale
// factor of its group and multiplied by the plane's distance factor. Tape
// distances count as horizontal distances.
#ifndef TAVEX_COGO_OBSERVATION_LEGS_H
#define TAVEX_COGO_OBSERVATION_LEGS_H

#include "cogo/cogo_state.h"
#include "project/project_state.h"

namespace Tavex {

// The directions and distances of every station, in observation order.
void IndexObservations(const ProjectState& project, CogoState& c);

// The polygon edges: direction and azimuth legs that have a distance
// between the same two stations (the one of the same record, else the first
// one observed), and GPS baselines in both directions (the differences
// negated for the reverse leg).
void BuildPolygonEdges(const ProjectState& project, CogoState& c);

// The height legs, each in both directions: GPS baselines (ΔX, ΔY, ΔZ),
// height differences (observed + instrument height − target height), and
// trigonometric height differences of a distance with the zenith angle of
// its record, s cos z + (1 − k)(s sin z)² / (2R) + instrument height −
// target height (a careful surveyor's heights of a total-station network;
// without them a three-dimensional network of total-station records would
// get no heights at all). The project carries no geoid heights, so the
// geoid height difference of a geoid model is 0.
void BuildHeightLegs(const ProjectState& project, CogoState& c);

// A length of a geometric relation (tape and double distances, chainage,
// offset) in the plane: divided by the initial scale factor of group 0,
// the group of the length-type relations, and multiplied by the plane's
// distance factor.
double RelationLengthToPlane(const ProjectState& project, const CogoState& c, double length);

// The first distance between stations a and b, or a negative value.
double DistanceBetween(const CogoState& c, unsigned a, unsigned b);

} // namespace Tavex

#endif
