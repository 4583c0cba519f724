// A position in the plane of the approximate-coordinate computation:
// easting and northing in metres.
#ifndef TAVEX_COGO_PLANE_POINT_H
#define TAVEX_COGO_PLANE_POINT_H

namespace Tavex {

struct PlanePoint {
    double e = 0.0; // easting, metres
    double n = 0.0; // northing, metres
};

} // namespace Tavex

#endif
