// CEllipsoid: the reference ellipsoid of revolution on which stations are
// given as geodetic latitude, longitude and ellipsoidal height, with the
// conversions to and from geocentric Cartesian coordinates.
//
// Units: angles in radians, lengths in metres. Latitude is geodetic
// (the angle between the ellipsoid normal and the equatorial plane), in
// [-pi/2, pi/2]; longitude is positive east of the prime meridian.
// Geocentric axes: X towards (0, 0), Y towards (0, pi/2), Z along the rotation
// axis towards the north pole.
//
// Only oblate ellipsoids are accepted (flattening strictly between 0 and 1);
// a sphere or an ill-formed user ellipsoid gives an invalid object whose
// conversions fail.
//
// Example:
//
//   const CEllipsoid grs80(ELLIPSOID_GRS80);
//   double X, Y, Z, lat, lon, h;
//   grs80.EllToXYZ(0.9, 0.1, 45.0, X, Y, Z);
//   grs80.XYZToEll(X, Y, Z, lat, lon, h); // lat = 0.9, lon = 0.1, h = 45
#ifndef TAVEX_GEODESY_ELLIPSOID_H
#define TAVEX_GEODESY_ELLIPSOID_H

#include "geodesy/kz_string.h"

namespace Tavex {

class CEllipsoid {
public:
    // An ellipsoid with a published code (EllipsoidCodes in tavex.h). Codes 20
    // and 21 are frames without map projection on the WGS 84 ellipsoid. The
    // user-defined code 0 has no constants of its own and is invalid here;
    // an unknown code is invalid as well.
    explicit CEllipsoid(int code);
    // As above, but the user-defined code 0 takes the semi-major axis
    // (metres, finite and > 0) and the inverse flattening (finite and > 1)
    // given here; named codes ignore both and use their own constants.
    CEllipsoid(int code, double semiMajorAxis, double inverseFlattening);

    // False for an unknown code or an ill-formed user-defined ellipsoid. The
    // accessors then return NaN and the conversions return false.
    bool IsValid() const { return valid_; }

    // The code this ellipsoid was built from (also when it is invalid).
    int nGetEllipsoid() const { return code_; }
    // Readable English name, e.g. "GRS 80"; "Invalid ellipsoid" when invalid.
    CKZString szGetEllipsoidName() const;

    // Semi-major axis a, metres.
    double dGetSemiMajAx() const { return a_; }
    // Inverse flattening 1/f = a / (a - b), dimensionless.
    double dGetInvFlatt() const { return invFlattening_; }
    // First eccentricity e = sqrt(a^2 - b^2) / a (not squared), dimensionless.
    double dGetEccentr() const;
    // First eccentricity squared e^2 = f (2 - f).
    double dGetEccentrSq() const { return e2_; }
    // Semi-minor axis b = a (1 - f), metres.
    double dGetSemiMinAx() const;

    // Meridian radius of curvature M(lat) = a (1 - e^2) / (1 - e^2 sin^2 lat)^(3/2),
    // metres, for a latitude in radians. NaN when invalid.
    double dMRadCurv(double lat) const;
    // Prime-vertical radius of curvature N(lat) = a / (1 - e^2 sin^2 lat)^(1/2),
    // metres. NaN when invalid.
    double dNRadCurv(double lat) const;

    // Geodetic (lat, lon, h) to geocentric (X, Y, Z):
    //   X = (N + h) cos lat cos lon, Y = (N + h) cos lat sin lon,
    //   Z = (N (1 - e^2) + h) sin lat.
    // lat in [-pi/2, pi/2] and any finite lon, radians; h in metres. Returns
    // false (outputs NaN) for non-finite input, a latitude out of range or
    // an invalid ellipsoid.
    bool EllToXYZ(double lat, double lon, double h, double& X, double& Y, double& Z) const;

    // Geocentric (X, Y, Z), metres, to geodetic (lat, lon, h): the foot of the
    // shortest normal from the point onto the ellipsoid. lon is in [-pi, pi]
    // and is 0 on the rotation axis; h is negative inside the ellipsoid. At
    // the centre and on the equatorial disc inside the evolute
    // (sqrt(X^2 + Y^2) <= a e^2) the foot is not unique: the northern one is
    // returned. Closed-form (no iteration), accurate to the last bits of the
    // double results everywhere. Returns false (outputs NaN) for non-finite
    // input or an invalid ellipsoid.
    bool XYZToEll(double X, double Y, double Z, double& lat, double& lon, double& h) const;

private:
    void SetConstants(double semiMajorAxis, double inverseFlattening);
    void SetInvalid();

    int code_ = -1;
    bool valid_ = false;
    double a_ = 0;
    double invFlattening_ = 0;
    double e2_ = 0;
};

} // namespace Tavex

#endif
