// What the misclosure computations read besides the legs: the stations'
// approximate positions on the ellipsoid, the critical value, the a-priori
// variance factor and the units of the report's values.
#ifndef TAVEX_LOOPS_LOOP_NETWORK_H
#define TAVEX_LOOPS_LOOP_NETWORK_H

#include "engine/observation_model.h"
#include "engine/station_geometry.h"
#include "loops/loop_legs.h"
#include "loops/loop_results.h"
#include "output/report_format.h"
#include "project/project_state.h"

#include <vector>

namespace Tavex {

struct LoopNetwork {
    const ProjectState& project;
    std::vector<StationGeometry> geometry; // per station number, 0 unused
    EllipsoidConstants ellipsoid;
    double criticalW = 0.0;
    // σ0²: the records' standard deviations are those of unit weight σ0 = 1,
    // as in the adjustment, whose weights are 1 / (σ0² σ²).
    double varianceFactor = 1.0;
    ReportUnits units;
    // The mean latitude and longitude of the stations (radians).
    double meanLat = 0.0, meanLon = 0.0;

    const CObservation& Observation(std::uint32_t index) const {
        return *project.Observations.GetAt(static_cast<int>(index));
    }
    const CKZString& Name(std::uint32_t station) const { return project.Stations[station].Name; }
};

// The network of the project at its approximate coordinates.
LoopNetwork MakeLoopNetwork(const ProjectState& project, double criticalW);

// Report texts of a value: a length (metres) or an angle (radians) "%*.*f"
// 13 wide with 4 decimals in the project's units.
CKZString LengthText(const LoopNetwork& network, double metres);
CKZString AngleText(const LoopNetwork& network, double radians);

// The record of observation index as a leg from station `from` to `to` of
// a loop: its record number, the leg's stations and its code.
TXXML_LOOPOBSERVATION LegObservation(const LoopNetwork& network, std::uint32_t index,
                                     std::uint32_t from, std::uint32_t to, const char* reading);

// Adds the mean of a leg's observations (count values, metres) to the
// loop's list; only for a leg of more than one observation.
void AddLegMean(CLoopResults& loop, const LoopNetwork& network, std::uint32_t from,
                std::uint32_t to, const double* values, int count);

// Completes a height loop (levelling or trigonometric): its misclosure with
// the standard deviation from the variance (times the network's variance
// factor), the tolerance k·σ and the centre.
void FinishHeightLoop(CLoopResults& loop, const LoopNetwork& network, double misclosure,
                      double variance);

// Gives a record its values (metres, or radians when angle), both as SI
// values for the document and as the report's texts.
void SetValues(TXXML_LOOPOBSERVATION& record, const LoopNetwork& network, const double* values,
               int count, bool angle = false);

// The distance between the marks of stations a and b at their approximate
// positions (metres).
double SpatialDistance(const LoopNetwork& network, std::uint32_t a, std::uint32_t b);

// Whether the project has a map projection, and station s's grid position
// in it (easting, northing; false without a projection).
bool HasMapProjection(const LoopNetwork& network);
bool GridPosition(const LoopNetwork& network, std::uint32_t s, double& easting, double& northing);

// The mean grid position of a loop's stations into loop.Centre (left 0
// without a map projection).
void SetCentre(const LoopNetwork& network, CLoopResults& loop);

// The geocentric position of station s's mark, and the north, east and up
// unit vectors of the horizon at latitude and longitude (rows of R in
// local = R · geocentric).
void Geocentric(const LoopNetwork& network, std::uint32_t s, double xyz[3]);
void HorizonAxes(double lat, double lon, double axes[3][3]);

} // namespace Tavex

#endif
