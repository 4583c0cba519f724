// Polygon traverse: the free solution is started once, then every leg from
// a computed station to one that is not is followed, until no leg places a
// station.
#include "cogo/cogo_methods.h"
#include "cogo/plane_constructions.h"
#include "cogo/plane_system.h"

namespace Tavex {

namespace {

unsigned LegCount(const CogoState& c, unsigned s, int type) {
    unsigned count = 0;
    for (const CogoLeg& leg : c.edges)
        count += leg.from == s && leg.type == type ? 1u : 0u;
    return count;
}

bool HasLegs(const CogoState& c, int type) {
    for (const CogoLeg& leg : c.edges)
        if (leg.type == type)
            return true;
    return false;
}

// The station with the most legs of the type (the first on a tie) among
// those that are not excluded and, with knownOnly, known in the plane, or
// with withApproximate, given an approximate position by the host; 0 when
// none of them has a leg of the type.
unsigned BusiestStation(const CogoState& c, int type, bool knownOnly,
                        bool withApproximate = false) {
    unsigned best = 0, most = 0;
    for (unsigned s = 1; s <= c.n; ++s) {
        if (c.excluded[s] || (knownOnly && !c.knownHorizontal[s]) ||
            (withApproximate && !c.hasApproximate[s]))
            continue;
        const unsigned count = LegCount(c, s, type);
        if (count > most) {
            best = s;
            most = count;
        }
    }
    return best;
}

const CogoLeg* FirstLeg(const CogoState& c, unsigned s, int type) {
    for (const CogoLeg& leg : c.edges)
        if (leg.from == s && leg.type == type)
            return &leg;
    return nullptr;
}

// The start of the free solution.
void Start(const ProjectState& p, CogoState& c) {
    c.started = true;
    if (HasLegs(c, LEG_GPS)) {
        // At the known station with the most baselines, in the real plane.
        // A known station without a baseline would leave the baselines
        // unreachable, so only known stations that have one count.
        const unsigned known = p.KnownCount > 0 ? BusiestStation(c, LEG_GPS, true) : 0;
        if (known != 0) {
            c.Place(known, c.knownPlane[known]);
            c.inRealPlane = true;
            return;
        }
        // Without one the baselines still fix the network's orientation and
        // scale; only its position is open. The station with the most
        // baselines among those the host gave an approximate position takes
        // it, and the network lies in the real plane up to the error of that
        // position (the fit onto known stations, where there are any, still
        // follows). Discarding it would leave a GPS network without known
        // stations with no coordinates at all. Where no station has an
        // approximate position the busiest one starts at the plane's origin,
        // in an arbitrary system.
        if (const unsigned s = BusiestStation(c, LEG_GPS, false, true)) {
            c.Place(s, c.approximate[s]);
            c.inRealPlane = true;
        } else if (const unsigned t = BusiestStation(c, LEG_GPS, false)) {
            c.Place(t, {});
        }
        return;
    }
    const int type = HasLegs(c, LEG_AZIMUTH) ? LEG_AZIMUTH : LEG_DIRECTION;
    const unsigned s = BusiestStation(c, type, false);
    if (s == 0)
        return;
    c.Place(s, {});
    // Directions only: the first leg read as a bearing (orientation 0).
    const CogoLeg* leg = FirstLeg(c, s, type);
    if (type == LEG_DIRECTION && leg != nullptr && c.Open(leg->to))
        c.Place(leg->to, Polar(c.plane[s], leg->v[0], leg->v[1]));
}

// The target of a baseline from a computed station: the station's
// geocentric position plus the differences, back into the plane.
bool FollowBaseline(CogoState& c, const CogoLeg& leg) {
    const COutputSystem& system = *c.planeSystem;
    double lat, lon, X, Y, Z, h;
    if (!ToGeographic(c, c.plane[leg.from], lat, lon) ||
        !system.EllToXYZ(lat, lon, c.gpsHeight[leg.from], X, Y, Z) ||
        !system.XYZToEll(X + leg.v[0], Y + leg.v[1], Z + leg.v[2], lat, lon, h))
        return false;
    PlanePoint p;
    if (!ToPlane(c, lat, lon, p))
        return false;
    c.gpsHeight[leg.to] = h;
    c.Place(leg.to, p);
    return true;
}

bool Follow(CogoState& c, const CogoLeg& leg) {
    const PlanePoint& from = c.plane[leg.from];
    switch (leg.type) {
    case LEG_GPS:
        return FollowBaseline(c, leg);
    case LEG_AZIMUTH:
        // A geodetic azimuth turned into a grid bearing at the station.
        c.Place(leg.to, Polar(from, leg.v[0] + NorthBearing(c, from), leg.v[1]));
        return true;
    case LEG_DIRECTION: {
        double orientation;
        if (!SetOrientation(c, leg.from, static_cast<unsigned>(leg.sub), orientation))
            return false;
        c.Place(leg.to, Polar(from, leg.v[0] + orientation, leg.v[1]));
        return true;
    }
    default:
        return false;
    }
}

} // namespace

bool SetOrientation(const CogoState& c, unsigned s, unsigned set, double& orientation) {
    for (const DirectionReading& d : c.directionsAt[s])
        if (d.set == set && c.Fixed(d.target)) {
            orientation = OrientationOf(c.plane[s], c.plane[d.target], d.r);
            return true;
        }
    return false;
}

PlanePoint ChooseMirror(const CogoState& c, unsigned s, const PlanePoint& preferred,
                        const PlanePoint& other) {
    if (!c.hasApproximate[s])
        return preferred;
    return PlaneDistance(other, c.approximate[s]) < PlaneDistance(preferred, c.approximate[s])
               ? other
               : preferred;
}

int PolygonTraverse(const ProjectState& p, CogoState& c) {
    if (c.edges.empty())
        return 1;
    if (c.ComputedCount() == 0 && !c.started)
        Start(p, c);
    for (bool placed = true; placed;) {
        placed = false;
        for (const CogoLeg& leg : c.edges)
            if (c.Fixed(leg.from) && c.Open(leg.to))
                placed |= Follow(c, leg);
    }
    return 1;
}

} // namespace Tavex
