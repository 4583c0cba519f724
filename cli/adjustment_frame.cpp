#include "adjustment_frame.h"

#include <tavex/tavex.h>

namespace TavexCli {

namespace {

// The kind of GPS coordinates that puts the grid's east first.
constexpr int kGpsGridCoordinates = 2;
// Geocentric GPS coordinates: a frame of their own only in 3D.
constexpr int kGpsGeocentricCoordinates = 1;

} // namespace

bool TakesPart(const Project& project, const Observation& o) {
    if (project.stations[o.from - 1].excluded)
        return false;
    return o.to == 0 || !project.stations[o.to - 1].excluded;
}

bool InGpsFrame(const Settings& settings) {
    return settings.ellipsoid == Tavex::ELLIPSOID_FRAME_GEOGRAPHIC;
}

bool CovarianceEastFirst(const Project& project) {
    const Settings& s = project.settings;
    if (s.projection != Tavex::PROJECTION_NONE)
        return true;
    if (!InGpsFrame(s))
        return false;
    // The GPS frame's coordinate kind, except that geocentric coordinates in
    // a 1D or 2D network fall back to kind 0.
    int kind = s.gpsCoordinateType;
    if (kind == kGpsGeocentricCoordinates && s.dimension < 3)
        kind = 0;
    return kind == kGpsGridCoordinates;
}

int GpsTransformationUnknowns(const Project& project) {
    bool baselines = false, coordinates = false;
    const int dimension = project.settings.dimension;
    for (const Observation& o : project.observations) {
        if (!TakesPart(project, o))
            continue;
        // The kernel leaves GPS observations out of a height network and
        // GPS coordinates out of a plane network.
        baselines |= o.kind == ObservationKind::GpsBaseline && dimension >= 2;
        coordinates |= o.kind == ObservationKind::GpsCoordinate && dimension == 3;
    }
    if (InGpsFrame(project.settings))
        return 0;
    return coordinates ? 7 : (baselines ? 4 : 0);
}

} // namespace TavexCli
