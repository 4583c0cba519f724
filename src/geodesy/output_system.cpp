#include "geodesy/output_system.h"

namespace Tavex {

bool COutputSystem::LatLonToXY(double lat, double lon, double* x, double* y) const {
    if (x == nullptr || y == nullptr)
        return false;
    return EllToProjection(lat, lon, *x, *y);
}

bool COutputSystem::XYToLatLon(double* lat, double* lon, double x, double y) const {
    if (lat == nullptr || lon == nullptr)
        return false;
    return ProjectionToEll(x, y, *lat, *lon);
}

} // namespace Tavex
