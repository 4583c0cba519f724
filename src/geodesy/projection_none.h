// CProjection_NONE: the system without map projection. Stations are given
// and kept as geodetic latitude, longitude and height on the ellipsoid; there
// is no grid, so the grid conversions always fail.
#ifndef TAVEX_GEODESY_PROJECTION_NONE_H
#define TAVEX_GEODESY_PROJECTION_NONE_H

#include "geodesy/output_system.h"

namespace Tavex {

class CProjection_NONE : public COutputSystem {
public:
    // On the given ellipsoid (copied), or on the published ellipsoid code.
    explicit CProjection_NONE(const CEllipsoid& ellipsoid);
    explicit CProjection_NONE(int ellipsoidCode);

    std::unique_ptr<COutputSystem> pCopy() const override;
    // There is no grid: both return false and set their outputs to NaN.
    bool EllToProjection(double lat, double lon, double& x, double& y) const override;
    bool ProjectionToEll(double x, double y, double& lat, double& lon) const override;
    // "No map projection".
    CKZString szGetProjectionName() const override;
};

} // namespace Tavex

#endif
