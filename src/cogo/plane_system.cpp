#include "cogo/plane_system.h"

#include "geodesy/projection_stereographic.h"

#include <cmath>

namespace Tavex {

namespace {

// The centre of the network by the rule of the local plane's origin.
void NetworkCentre(const ProjectState& p, double& lat, double& lon) {
    double sumLat = 0.0, sumLon = 0.0;
    unsigned count = 0;
    for (unsigned k = 1; k <= p.KnownCount; ++k) {
        const KnownRec& known = p.Known[k];
        if (!known.LatKnown || !known.LonKnown || known.Station > p.StationCount)
            continue;
        sumLat += p.Stations[known.Station].Lat;
        sumLon += p.Stations[known.Station].Lon;
        ++count;
    }
    if (count > 0) {
        lat = sumLat / count;
        lon = sumLon / count;
        return;
    }
    for (unsigned s = 1; s <= p.StationCount; ++s)
        if (p.Stations[s].Lat != 0.0 && p.Stations[s].Lon != 0.0) {
            lat = p.Stations[s].Lat;
            lon = p.Stations[s].Lon;
            return;
        }
    lat = p.CurrentProjection ? p.CurrentProjection->dGetLatOrigin() : 0.0;
    lon = p.CurrentProjection ? p.CurrentProjection->dGetLonOriginCM() : 0.0;
}

double ReferenceHeight(const ProjectState& p) {
    double sum = 0.0;
    unsigned count = 0;
    for (unsigned k = 1; k <= p.KnownCount; ++k)
        if (p.Known[k].HeightKnown && p.Known[k].Station <= p.StationCount) {
            sum += p.Stations[p.Known[k].Station].Height;
            ++count;
        }
    if (count > 0)
        return sum / count;
    for (unsigned s = 1; s <= p.StationCount; ++s)
        if (p.Stations[s].Height != 0.0)
            return p.Stations[s].Height;
    return 0.0;
}

// Grid scale at (lat, lon) along the meridian, numerically: the grid length
// of a step of 1e-6 rad (about 6 m) over its length on the ellipsoid.
double PointScale(const CogoState& c, double lat, double lon) {
    constexpr double kStep = 1e-6;
    PlanePoint a, b;
    if (!ToPlane(c, lat - 0.5 * kStep, lon, a) || !ToPlane(c, lat + 0.5 * kStep, lon, b))
        return 1.0;
    const double ground = c.planeSystem->dMRadCurv(lat) * kStep;
    const double grid = std::hypot(b.e - a.e, b.n - a.n);
    return ground > 0.0 && grid > 0.0 ? grid / ground : 1.0;
}

} // namespace

bool ToPlane(const CogoState& c, double lat, double lon, PlanePoint& p) {
    return c.planeSystem != nullptr && c.planeSystem->LatLonToXY(lat, lon, &p.e, &p.n);
}

bool ToGeographic(const CogoState& c, const PlanePoint& p, double& lat, double& lon) {
    return c.planeSystem != nullptr && c.planeSystem->XYToLatLon(&lat, &lon, p.e, p.n);
}

double NorthBearing(const CogoState& c, const PlanePoint& p) {
    double lat, lon;
    PlanePoint north;
    if (!ToGeographic(c, p, lat, lon) || !ToPlane(c, lat + 1e-6, lon, north))
        return 0.0;
    return std::atan2(north.e - p.e, north.n - p.n);
}

bool SetUpPlaneSystem(const ProjectState& p, CogoState& c) {
    if (!p.CurrentProjection)
        return false;
    NetworkCentre(p, c.originLat, c.originLon);
    c.projected = p.ProjectionType != 0;
    if (c.projected) {
        c.planeSystem = p.CurrentProjection.get();
    } else {
        c.ownPlane = CProjection_STEREOGRAPHIC::Create(p.CurrentProjection->GetEllipsoid(),
                                                       c.originLat, c.originLon, 1.0, 0.0, 0.0);
        c.planeSystem = c.ownPlane.get();
    }
    if (c.planeSystem == nullptr)
        return false;
    c.referenceHeight = ReferenceHeight(p);
    const double radius =
        std::sqrt(c.planeSystem->dMRadCurv(c.originLat) * c.planeSystem->dNRadCurv(c.originLat));
    c.distanceToPlane =
        PointScale(c, c.originLat, c.originLon) * radius / (radius + c.referenceHeight);
    return true;
}

void LoadStations(const ProjectState& p, CogoState& c) {
    for (unsigned s = 1; s <= c.n; ++s) {
        const StationRec& st = p.Stations[s];
        c.computed[s] = 0;
        c.heightFlag[s] = 0;
        c.excluded[s] = st.Excluded != 0;
        if (c.excluded[s]) {
            c.plane[s] = {};
            c.height[s] = 0.0;
            continue;
        }
        if (c.projected)
            c.plane[s] = {st.Easting, st.Northing};
        c.height[s] = st.Height;
        c.gpsHeight[s] = st.Height != 0.0 ? st.Height : c.referenceHeight;
        if (st.HasCoordinates && st.Lat != 0.0 && st.Lon != 0.0)
            c.hasApproximate[s] = ToPlane(c, st.Lat, st.Lon, c.approximate[s]) ? 1 : 0;
    }
    for (unsigned k = 1; k <= p.KnownCount; ++k) {
        const KnownRec& known = p.Known[k];
        const unsigned s = known.Station;
        if (s < 1 || s > c.n)
            continue;
        if (known.LatKnown && known.LonKnown)
            c.knownHorizontal[s] =
                ToPlane(c, p.Stations[s].Lat, p.Stations[s].Lon, c.knownPlane[s]) ? 1 : 0;
        if (known.HeightKnown) {
            c.knownHeight[s] = 1;
            c.knownHeightValue[s] = p.Stations[s].Height;
        }
    }
}

} // namespace Tavex
