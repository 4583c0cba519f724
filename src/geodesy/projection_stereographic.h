// CProjection_STEREOGRAPHIC: the oblique conformal stereographic projection
// of the ellipsoid (the "double stereographic"), the kernel's local grid.
//
// Two conformal steps, as in the IOGP Guidance Note 7-2 method "Oblique
// Stereographic" (EPSG method 9809):
//   1. the ellipsoid onto the conformal (Gauss) sphere of radius
//      R = sqrt(M0 N0), with spherical latitude chi given by the isometric
//      latitudes psi(chi) = n psi(lat) + ln K and longitude n (lon - lon0),
//      where n = sqrt(1 + e^2 cos^4 lat0 / (1 - e^2)); the constant K makes
//      the origin's scale exactly 1, and then sin chi0 = sin lat0 / n;
//   2. the sphere stereographically from the antipode of the origin onto the
//      plane touching it at the origin, scaled by k0:
//        E = FE + 2 R k0 cos chi sin dL / B,
//        N = FN + 2 R k0 (sin chi cos chi0 - cos chi sin chi0 cos dL) / B,
//        B = 1 + sin chi sin chi0 + cos chi cos chi0 cos dL.
// Both steps are conformal, so the scale is the same in every direction at a
// point; it is k0 at the origin and grows as 1 + s^2 / (4 R^2) with the
// distance s from it.
//
// The isometric latitude is computed through tan(lat) with C. F. F. Karney,
// "Transverse Mercator with an accuracy of a few nanometers", J. Geodesy 85
// (2011) 475-485, eqs. (7)-(9), and its inverse by Newton's method (at most a
// few steps), which stays well-conditioned up to the poles. The computation
// runs in extended precision: within 100 km of the origin a round trip
// returns the grid point to below a nanometre, which is the size of the last
// bit of a latitude near 1 rad on the ground.
#ifndef TAVEX_GEODESY_PROJECTION_STEREOGRAPHIC_H
#define TAVEX_GEODESY_PROJECTION_STEREOGRAPHIC_H

#include "geodesy/output_system.h"

#include <memory>

namespace Tavex {

class CProjection_STEREOGRAPHIC : public COutputSystem {
public:
    // The grid with its origin at (latOrigin, lonOrigin), radians, where the
    // scale is scaleFactor and the grid coordinates are (falseEasting,
    // falseNorthing), metres. Null when the ellipsoid is invalid, a value is
    // not finite, |latOrigin| > pi/2 or scaleFactor <= 0.
    static std::unique_ptr<CProjection_STEREOGRAPHIC>
    Create(const CEllipsoid& ellipsoid, double latOrigin, double lonOrigin, double scaleFactor,
           double falseEasting, double falseNorthing);

    std::unique_ptr<COutputSystem> pCopy() const override;

    // Geodetic (lat in [-pi/2, pi/2], any finite lon; radians) to grid
    // (x = easting, y = northing; metres). False (outputs NaN) for input out
    // of range and for points more than pi / n (about 179.4 degrees) in
    // longitude from the origin, which the conformal sphere cannot hold
    // without overlap; among them is the antipode of the origin.
    bool EllToProjection(double lat, double lon, double& x, double& y) const override;
    // Grid (x = easting, y = northing; metres) to geodetic. The longitude is
    // returned within pi / n of the origin's longitude, without wrapping it
    // into (-pi, pi]. False (outputs NaN) for non-finite input.
    bool ProjectionToEll(double x, double y, double& lat, double& lon) const override;

    // "Local oblique stereographic".
    CKZString szGetProjectionName() const override;

private:
    CProjection_STEREOGRAPHIC(const CEllipsoid& ellipsoid, const ProjectionParameters& parameters);

    // Isometric latitude of the conformal sphere from the geodetic latitude,
    // and back.
    long double SphereIsometric(long double lat) const;
    long double GeodeticLatitude(long double sphereIsometric) const;

    // Constants of the conformal sphere and the plane, fixed at construction.
    long double e_;       // first eccentricity
    long double n_;       // longitude ratio sphere / ellipsoid
    long double logK_;    // ln K: offset of the sphere's isometric latitude
    long double sinChi0_; // origin on the sphere
    long double cosChi0_; //
    long double twoRk0_;  // 2 R k0, metres
};

} // namespace Tavex

#endif
