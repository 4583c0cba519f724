// The geometry of a station at the current values of the unknowns: position
// on the ellipsoid with the sines and cosines and radii of curvature the
// observation equations and the corrections need.
#ifndef TAVEX_ENGINE_STATION_GEOMETRY_H
#define TAVEX_ENGINE_STATION_GEOMETRY_H

#include "geodesy/ellipsoid.h"

#include <cmath>

namespace Tavex {

struct StationGeometry {
    double lat = 0.0; // φ, radians
    double lon = 0.0; // λ, radians
    double h = 0.0;   // ellipsoidal height, metres
    double sinLat = 0.0, cosLat = 1.0, sinLon = 0.0, cosLon = 1.0;
    double N = 0.0; // radius of curvature in the prime vertical at φ
    double M = 0.0; // meridian radius of curvature at φ

    static StationGeometry At(const CEllipsoid& ellipsoid, double lat, double lon, double h) {
        StationGeometry g;
        g.lat = lat;
        g.lon = lon;
        g.h = h;
        g.sinLat = std::sin(lat);
        g.cosLat = std::cos(lat);
        g.sinLon = std::sin(lon);
        g.cosLon = std::cos(lon);
        g.N = ellipsoid.dNRadCurv(lat);
        g.M = ellipsoid.dMRadCurv(lat);
        return g;
    }
    // Metres of the north and east displacement per radian of latitude and
    // longitude.
    double NorthScale() const { return M + h; }
    double EastScale() const { return (N + h) * cosLat; }
};

} // namespace Tavex

#endif
