// pGetNewProjection: builds the kernel's coordinate system from a projection
// code and the seven projection constants.
#ifndef TAVEX_GEODESY_PROJECTION_FACTORY_H
#define TAVEX_GEODESY_PROJECTION_FACTORY_H

#include "geodesy/ellipsoid.h"
#include "geodesy/output_system.h"

#include <memory>

namespace Tavex {

// A new system on a copy of *ellipsoid; the caller owns it. The meaning of
// d1..d7 depends on the projection code (ProjectionCodes in tavex.h):
//   PROJECTION_NONE (0): no map projection; d1..d7 are not used.
//   PROJECTION_LOCAL_STEREOGRAPHIC (6): oblique stereographic grid with
//     d1 latitude of the origin (radians, |d1| <= pi/2),
//     d2 longitude of the origin (radians),
//     d3, d4 not used (standard parallels),
//     d5 scale factor at the origin (> 0),
//     d6 false NORTHING and d7 false EASTING (metres): the grid point
//        (easting d7, northing d6) is the image of the origin.
// Null for an unknown projection code, a null or invalid ellipsoid, a
// non-finite d1..d7, or constants out of range.
std::unique_ptr<COutputSystem> pGetNewProjection(int projectionType, double d1, double d2,
                                                 double d3, double d4, double d5, double d6,
                                                 double d7, const CEllipsoid* ellipsoid);

} // namespace Tavex

#endif
