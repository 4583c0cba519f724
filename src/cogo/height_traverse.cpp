// Height traverse: from a station with a height, each height leg to a
// station without one gives height(to) = height(from) + Δh. While no
// station has a height, the station with the most height legs starts at the
// reference height.
#include "cogo/cogo_methods.h"

namespace Tavex {

namespace {

// Δh of a baseline: the ellipsoidal heights of the station's geocentric
// position and of that position plus (ΔX, ΔY, ΔZ). It needs the station's
// latitude and longitude: the computed ones, else the host's approximate
// ones.
bool BaselineHeight(const ProjectState& p, const CogoState& c, const CogoLeg& leg, double& dh) {
    const unsigned s = leg.from;
    double lat = c.lat[s], lon = c.lon[s];
    if (!c.computed[s]) {
        lat = p.Stations[s].Lat;
        lon = p.Stations[s].Lon;
        if (lat == 0.0 && lon == 0.0)
            return false;
    }
    const COutputSystem& system = *c.planeSystem;
    double X, Y, Z, h;
    if (!system.EllToXYZ(lat, lon, c.height[s], X, Y, Z) ||
        !system.XYZToEll(X + leg.v[0], Y + leg.v[1], Z + leg.v[2], lat, lon, h))
        return false;
    dh = h - c.height[s];
    return true;
}

unsigned BusiestStation(const CogoState& c) {
    std::vector<unsigned> count(c.n + 1, 0);
    for (const CogoLeg& leg : c.heightLegs)
        ++count[leg.from];
    unsigned best = 0;
    for (unsigned s = 1; s <= c.n; ++s)
        if (!c.excluded[s] && count[s] > 0 && (best == 0 || count[s] > count[best]))
            best = s;
    return best;
}

bool AnyHeight(const CogoState& c) {
    for (unsigned s = 1; s <= c.n; ++s)
        if (c.heightFlag[s])
            return true;
    return false;
}

} // namespace

int HeightTraverse(const ProjectState& p, CogoState& c) {
    if (!AnyHeight(c)) {
        const unsigned start = BusiestStation(c);
        if (start == 0)
            return 1;
        c.height[start] = c.referenceHeight;
        c.heightFlag[start] = 1;
    }
    for (bool added = true; added;) {
        added = false;
        for (const CogoLeg& leg : c.heightLegs) {
            if (!c.heightFlag[leg.from] || c.heightFlag[leg.to] || c.excluded[leg.to])
                continue;
            double dh = leg.v[0];
            if (leg.type == LEG_GPS && !BaselineHeight(p, c, leg, dh))
                continue;
            c.height[leg.to] = c.height[leg.from] + dh;
            c.heightFlag[leg.to] = 1;
            added = true;
        }
    }
    return 1;
}

} // namespace Tavex
