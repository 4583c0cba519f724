// The state of one approximate-coordinate run: per station the computed
// flag, the plane position of the current solution, the known plane
// position and the height; the plane system; the polygon edges and height
// legs; the observations indexed by station; and what the fits did. It
// lives for one run and is never shared with an adjustment.
#ifndef TAVEX_COGO_COGO_STATE_H
#define TAVEX_COGO_COGO_STATE_H

#include "cogo/plane_point.h"
#include "cogo/similarity_fit.h"
#include "geodesy/output_system.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace Tavex {

// Sub-codes of the geometric relations the constructions read besides
// double and tape distances.
inline constexpr std::uint16_t kRelationOffset = 3;
inline constexpr std::uint16_t kRelationChainage = 7;
inline constexpr std::uint16_t kRelationEqual = 8;

// Leg types of the polygon edges.
enum CogoLegType : int { LEG_DIRECTION = 1, LEG_AZIMUTH = 4, LEG_GPS = 6, LEG_HEIGHT = 5 };

// One leg from a station to another. Direction and azimuth legs: v[0] the
// reading (radians), v[1] the distance of the same leg reduced to the plane.
// GPS legs: v[0..2] the coordinate differences ΔX, ΔY, ΔZ from `from` to
// `to`. Height legs: v[0] the height difference from `from` to `to`.
struct CogoLeg {
    int type = 0;
    int sub = 0; // the set (directions) or the group
    unsigned from = 0, to = 0;
    double v[3] = {0.0, 0.0, 0.0};
};

// A direction observed at a station, and a distance between two stations
// reduced to the plane, in observation order.
struct DirectionReading {
    unsigned target = 0;
    unsigned set = 0;
    double r = 0.0; // radians, clockwise
};
struct DistanceReading {
    unsigned other = 0;
    double d = 0.0; // metres in the plane
};

struct CogoState {
    unsigned n = 0; // stations 1..n; element 0 of every table unused
    std::vector<int> computed;
    std::vector<PlanePoint> plane;
    std::vector<int> excluded;
    std::vector<PlanePoint> knownPlane;
    std::vector<int> knownHorizontal; // known station with both horizontal coordinates
    // The host's approximate position in the plane, where it has one: it
    // decides between the two mirror solutions of a construction that the
    // observations leave open.
    std::vector<PlanePoint> approximate;
    std::vector<int> hasApproximate;
    // Heights: the height phase's flags and values, and the known heights.
    std::vector<int> heightFlag;
    std::vector<double> height;
    std::vector<int> knownHeight;
    std::vector<double> knownHeightValue;
    // Ellipsoidal heights that GPS legs carry through the plane phase.
    std::vector<double> gpsHeight;

    // The plane system: the project's projection, or a local stereographic
    // plane owned here.
    std::unique_ptr<COutputSystem> ownPlane;
    const COutputSystem* planeSystem = nullptr;
    double originLat = 0.0, originLon = 0.0; // radians
    double referenceHeight = 0.0;
    // Horizontal distance at the reference height → plane distance.
    double distanceToPlane = 1.0;
    bool projected = false; // the project has a map projection

    std::vector<CogoLeg> edges;
    std::vector<CogoLeg> heightLegs;
    std::vector<std::vector<DirectionReading>> directionsAt;
    std::vector<std::vector<DistanceReading>> distancesAt;
    // The directions observed towards each station: `target` names the
    // observing station.
    std::vector<std::vector<DirectionReading>> directionsTo;

    // The start of the free solution: made once, and whether it lies in the
    // real plane system (a GPS start at a known station, or at a station's
    // approximate position) or in an arbitrary one.
    bool started = false;
    bool inRealPlane = false;

    double planeTolerance = 2.0;  // metres
    double heightTolerance = 2.0; // metres
    FitOutcome planeFit;
    FitOutcome heightFit;
    bool planeFitTried = false;
    bool heightFitTried = false;

    // Results in geographic coordinates (radians) of computed stations.
    std::vector<double> lat, lon;

    unsigned ComputedCount() const {
        unsigned count = 0;
        for (unsigned s = 1; s <= n; ++s)
            count += computed[s] ? 1u : 0u;
        return count;
    }
    void Place(unsigned s, const PlanePoint& p) {
        plane[s] = p;
        computed[s] = 1;
    }
    bool Open(unsigned s) const { return s >= 1 && s <= n && !computed[s] && !excluded[s]; }
    bool Fixed(unsigned s) const { return s >= 1 && s <= n && computed[s] != 0; }
};

// Allocates every per-station table for n stations, cleared.
void SizeCogoState(CogoState& c, unsigned n);

} // namespace Tavex

#endif
