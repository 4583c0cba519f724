#include "output/drawing_plane.h"

#include "geodesy/projection_factory.h"

#include <cmath>
#include <numbers>

namespace Tavex {

namespace {

// Mean latitude and longitude of the stations; longitudes are averaged as
// offsets from the first station's, so a network across the antimeridian
// gets its origin among its stations rather than on the far side.
bool MeanPosition(const ProjectState& p, double& lat, double& lon) {
    double sumLat = 0.0, sumOffset = 0.0, firstLon = 0.0;
    std::size_t count = 0;
    for (std::size_t s = 1; s < p.Stations.size(); ++s) {
        const StationRec& station = p.Stations[s];
        if (station.Excluded || !station.HasCoordinates || !std::isfinite(station.Lat) ||
            !std::isfinite(station.Lon))
            continue;
        if (count == 0)
            firstLon = station.Lon;
        sumLat += station.Lat;
        sumOffset += std::remainder(station.Lon - firstLon, 2.0 * std::numbers::pi);
        ++count;
    }
    if (count == 0)
        return false;
    lat = sumLat / static_cast<double>(count);
    lon = std::remainder(firstLon + sumOffset / static_cast<double>(count), 2.0 * std::numbers::pi);
    return true;
}

} // namespace

DrawingPlane::DrawingPlane(const ProjectState& p) {
    if (!p.CurrentProjection)
        return;
    if (p.ProjectionType != PROJECTION_NONE) {
        system_ = p.CurrentProjection.get();
        return;
    }
    if (!MeanPosition(p, latOrigin_, lonOrigin_))
        return;
    const CEllipsoid& ellipsoid = p.CurrentProjection->GetEllipsoid();
    local_ = pGetNewProjection(PROJECTION_LOCAL_STEREOGRAPHIC, latOrigin_, lonOrigin_, 0, 0, 1.0,
                               0.0, 0.0, &ellipsoid);
    system_ = local_.get();
}

bool DrawingPlane::Position(double lat, double lon, double& easting, double& northing) const {
    return system_ != nullptr && system_->LatLonToXY(lat, lon, &easting, &northing) &&
           std::isfinite(easting) && std::isfinite(northing);
}

void DrawingPlane::Describe(CTXXmlNode& parent) const {
    CTXXmlNode node;
    if (system_ == nullptr)
        parent.InsertChild("Plane", {{"source", "none"}}, node);
    else if (!local_)
        parent.InsertChild("Plane", {{"source", "grid"}}, node);
    else
        parent.InsertChild(
            "Plane",
            {{"source", "local"}, {"latitudeOrigin", latOrigin_}, {"longitudeOrigin", lonOrigin_}},
            node);
}

void DrawingPlane::SetPosition(CTXXmlNode& element, double lat, double lon) const {
    double easting = 0.0, northing = 0.0;
    if (!Position(lat, lon, easting, northing))
        return;
    element.SetAttribute({"planeEasting", easting});
    element.SetAttribute({"planeNorthing", northing});
}

} // namespace Tavex
