#include "geodesy/projection_none.h"

#include "tavex/tavex.h"

#include <limits>

namespace Tavex {

namespace {
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
} // namespace

CProjection_NONE::CProjection_NONE(const CEllipsoid& ellipsoid)
    : COutputSystem(ellipsoid, PROJECTION_NONE, ProjectionParameters{}) {}

CProjection_NONE::CProjection_NONE(int ellipsoidCode)
    : CProjection_NONE(CEllipsoid(ellipsoidCode)) {}

std::unique_ptr<COutputSystem> CProjection_NONE::pCopy() const {
    return std::make_unique<CProjection_NONE>(*this);
}

bool CProjection_NONE::EllToProjection(double, double, double& x, double& y) const {
    x = y = kNaN;
    return false;
}

bool CProjection_NONE::ProjectionToEll(double, double, double& lat, double& lon) const {
    lat = lon = kNaN;
    return false;
}

CKZString CProjection_NONE::szGetProjectionName() const {
    return CKZString(L"No map projection");
}

} // namespace Tavex
