// DrawingPlane: the plane in which the stylesheets draw a network, so that
// every result document that shows one carries plane coordinates whatever
// the project's coordinates are.
//
// With a map projection the plane is the project's grid (easting, northing in
// metres, x = easting as everywhere in the geodesy layer). Without one (a
// project given in latitude and longitude) it is an oblique stereographic
// plane of the project's ellipsoid with its origin at the mean approximate
// position of the project's stations (those not excluded that have
// coordinates; the same origin for every section and run), scale 1 and no false origin: conformal,
// so shapes and ellipses keep their form, and within a few kilometres of the origin its distances
// are the ground's to a few parts per million.
//
// Example:
//
//   const DrawingPlane plane(project);
//   double easting, northing;
//   if (plane.Position(project.Stations[3].Lat, project.Stations[3].Lon, easting, northing)) ...
//   plane.Describe(stationsNode); // <Plane source="grid" .../>
#ifndef TAVEX_OUTPUT_DRAWING_PLANE_H
#define TAVEX_OUTPUT_DRAWING_PLANE_H

#include "geodesy/output_system.h"
#include "output/xml_node.h"
#include "project/project_state.h"

#include <memory>

namespace Tavex {

class DrawingPlane {
public:
    explicit DrawingPlane(const ProjectState& project);

    // Plane coordinates (metres) of a geodetic position (radians); false when
    // the point has no image or there is no plane (no ellipsoid).
    bool Position(double lat, double lon, double& easting, double& northing) const;

    // Inserts the Plane element that says which plane the positions are in:
    // source "grid" (the project's map projection) or "local" with the
    // origin's latitude and longitude (radians).
    void Describe(CTXXmlNode& parent) const;

    // Adds planeEasting and planeNorthing to an element for the position.
    void SetPosition(CTXXmlNode& element, double lat, double lon) const;

private:
    const COutputSystem* system_ = nullptr;    // the plane used
    std::unique_ptr<COutputSystem> local_;     // owned when it is a local plane
    double latOrigin_ = 0.0, lonOrigin_ = 0.0; // of a local plane
};

} // namespace Tavex

#endif
