// COutputSystem: the coordinate system in which the kernel reads and writes
// stations: a map projection together with the ellipsoid it lives on. The
// object owns a copy of its ellipsoid.
//
// Conventions for every projection: angles in radians, lengths in metres;
// on the grid x is the EASTING and y the NORTHING, whatever order a caller's
// own variables use. A derived class implements the two projection
// operations (EllToProjection, ProjectionToEll) and pCopy; everything else
// is shared here. Objects are made by pGetNewProjection (projection_factory.h).
//
// Example:
//
//   const CEllipsoid bessel(ELLIPSOID_BESSEL1841);
//   auto grid = pGetNewProjection(PROJECTION_LOCAL_STEREOGRAPHIC, 0.91, 0.094, 0, 0,
//                                 1.0, 463000.0, 155000.0, &bessel);
//   double easting, northing;
//   if (grid && grid->LatLonToXY(0.911, 0.095, &easting, &northing)) { ... }
#ifndef TAVEX_GEODESY_OUTPUT_SYSTEM_H
#define TAVEX_GEODESY_OUTPUT_SYSTEM_H

#include "geodesy/ellipsoid.h"
#include "geodesy/kz_string.h"

#include <memory>

namespace Tavex {

// The constants that define a map projection. Unused ones are 0 (the scale
// factor 1).
struct ProjectionParameters {
    double latOrigin = 0;     // latitude of the origin, radians
    double lonOrigin = 0;     // longitude of the origin (central meridian), radians
    double standPar1 = 0;     // first standard parallel, radians
    double standPar2 = 0;     // second standard parallel, radians
    double scaleFactor = 1;   // scale factor at the origin, dimensionless
    double falseEasting = 0;  // easting of the origin, metres
    double falseNorthing = 0; // northing of the origin, metres
};

class COutputSystem {
public:
    virtual ~COutputSystem() = default;

    // A new copy of the whole system; the caller owns it.
    virtual std::unique_ptr<COutputSystem> pCopy() const = 0;

    // Geodetic (lat, lon) to grid (x = easting, y = northing). Returns false,
    // outputs NaN, when the point has no grid image (or there is no grid).
    virtual bool EllToProjection(double lat, double lon, double& x, double& y) const = 0;
    // Grid (x = easting, y = northing) to geodetic (lat, lon). Returns false,
    // outputs NaN, when the grid point has no geodetic position.
    virtual bool ProjectionToEll(double x, double y, double& lat, double& lon) const = 0;

    // Pointer forms of the two operations; false also for a null pointer.
    bool LatLonToXY(double lat, double lon, double* x, double* y) const;
    bool XYToLatLon(double* lat, double* lon, double x, double y) const;

    // The ellipsoid's conversions and radii of curvature (see CEllipsoid).
    bool EllToXYZ(double lat, double lon, double h, double& X, double& Y, double& Z) const {
        return ellipsoid_.EllToXYZ(lat, lon, h, X, Y, Z);
    }
    bool XYZToEll(double X, double Y, double Z, double& lat, double& lon, double& h) const {
        return ellipsoid_.XYZToEll(X, Y, Z, lat, lon, h);
    }
    double dMRadCurv(double lat) const { return ellipsoid_.dMRadCurv(lat); }
    double dNRadCurv(double lat) const { return ellipsoid_.dNRadCurv(lat); }

    // Ellipsoid constants (see CEllipsoid).
    double dGetSemiMajAx() const { return ellipsoid_.dGetSemiMajAx(); }
    double dGetInvFlatt() const { return ellipsoid_.dGetInvFlatt(); }
    double dGetEccentr() const { return ellipsoid_.dGetEccentr(); }
    int nGetEllipsoid() const { return ellipsoid_.nGetEllipsoid(); }
    const CEllipsoid& GetEllipsoid() const { return ellipsoid_; }
    // A new copy of the ellipsoid; the caller owns it.
    std::unique_ptr<CEllipsoid> pGetNewEllipsoid() const {
        return std::make_unique<CEllipsoid>(ellipsoid_);
    }

    // Projection constants (see ProjectionParameters).
    int nGetProjection() const { return projectionCode_; }
    double dGetLatOrigin() const { return parameters_.latOrigin; }
    double dGetLonOriginCM() const { return parameters_.lonOrigin; }
    double dGetStandPar1() const { return parameters_.standPar1; }
    double dGetStandPar2() const { return parameters_.standPar2; }
    double dGetProjScaleFac() const { return parameters_.scaleFactor; }
    double dGetFalseEasting() const { return parameters_.falseEasting; }
    double dGetFalseNorthing() const { return parameters_.falseNorthing; }

    // Display names for report headers (English).
    virtual CKZString szGetProjectionName() const = 0;
    CKZString szGetEllipsoidName() const { return ellipsoid_.szGetEllipsoidName(); }
    CKZString szGetTavexProjectionName() const { return szGetProjectionName(); }
    CKZString szGetTavexEllipsoidName() const { return szGetEllipsoidName(); }
    // No datum transformation is attached to the kernel's systems.
    CKZString szGetTransformationName() const { return CKZString(L"No transformation"); }

protected:
    COutputSystem(const CEllipsoid& ellipsoid, int projectionCode,
                  const ProjectionParameters& parameters)
        : ellipsoid_(ellipsoid), projectionCode_(projectionCode), parameters_(parameters) {}
    COutputSystem(const COutputSystem&) = default;
    COutputSystem& operator=(const COutputSystem&) = delete;

private:
    CEllipsoid ellipsoid_;
    int projectionCode_;
    ProjectionParameters parameters_;
};

} // namespace Tavex

#endif
