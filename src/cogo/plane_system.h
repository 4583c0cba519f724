// The plane in which the approximate coordinates are computed, and the
// stations' starting values in it.
//
// With a map projection the plane is its grid. Without one a local
// stereographic plane is set up, with its origin (grid 0, 0) at the mean
// latitude and longitude of the known stations with a horizontal position;
// with none, at the first station whose approximate latitude and longitude
// are both non-zero; otherwise at the projection's own origin.
//
// Distances are observed in the horizon at the stations' heights; the plane
// wants them on the ellipsoid and scaled by the grid. One combined factor
// does both for the whole network: the point scale of the grid at the
// network's centre times R / (R + reference height), R = √(M N) there. The
// reference height is the mean of the known heights, or the first non-zero
// approximate height, or 0.
#ifndef TAVEX_COGO_PLANE_SYSTEM_H
#define TAVEX_COGO_PLANE_SYSTEM_H

#include "cogo/cogo_state.h"
#include "project/project_state.h"

namespace Tavex {

// Sets up the plane system, the reference height and the distance factor.
// False when no plane can be built (the ellipsoid is unusable).
bool SetUpPlaneSystem(const ProjectState& project, CogoState& c);

// Clears the flags and takes the stations' starting values: excluded
// stations at zero; with a projection the stored grid position; the
// approximate height; the known plane positions and heights; the host's
// approximate positions. Needs the plane system.
void LoadStations(const ProjectState& project, CogoState& c);

// Geographic (radians) to plane and back; false where the plane has no image.
bool ToPlane(const CogoState& c, double lat, double lon, PlanePoint& p);
bool ToGeographic(const CogoState& c, const PlanePoint& p, double& lat, double& lon);

// The grid bearing of true north at a plane position (the negative of the
// meridian convergence): a geodetic azimuth α has the grid bearing
// α + NorthBearing.
double NorthBearing(const CogoState& c, const PlanePoint& p);

} // namespace Tavex

#endif
