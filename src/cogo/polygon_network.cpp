// Polygon network: around a station that is not computed yet, a local
// solution of the direction sets and their distances is built, then fitted
// onto the stations of it that the current solution already holds.
#include "cogo/cogo_methods.h"
#include "cogo/plane_constructions.h"
#include "cogo/similarity_fit.h"

#include <map>

namespace Tavex {

namespace {

struct LocalSolution {
    std::vector<PlanePoint> position;
    std::vector<int> placed;
};

// Direction legs from each station, grouped by set.
using SetLegs = std::map<int, std::vector<const CogoLeg*>>;

std::vector<SetLegs> DirectionLegsByStation(const CogoState& c) {
    std::vector<SetLegs> legs(c.n + 1);
    for (const CogoLeg& leg : c.edges)
        if (leg.type == LEG_DIRECTION)
            legs[leg.from][leg.sub].push_back(&leg);
    return legs;
}

// Places the unplaced targets of one set from a placed station, oriented on
// the set's longest leg to a placed station.
bool PlaceSet(const CogoState& c, const std::vector<const CogoLeg*>& set, LocalSolution& local) {
    const CogoLeg* reference = nullptr;
    for (const CogoLeg* leg : set)
        if (local.placed[leg->to] && (reference == nullptr || leg->v[1] > reference->v[1]))
            reference = leg;
    if (reference == nullptr)
        return false;
    const PlanePoint& at = local.position[reference->from];
    const double referenceBearing = Bearing(at, local.position[reference->to]);
    bool any = false;
    for (const CogoLeg* leg : set) {
        if (local.placed[leg->to] || c.excluded[leg->to])
            continue;
        local.position[leg->to] =
            Polar(at, referenceBearing + (leg->v[0] - reference->v[0]), leg->v[1]);
        local.placed[leg->to] = 1;
        any = true;
    }
    return any;
}

void BuildLocal(const CogoState& c, const std::vector<SetLegs>& legs, unsigned s,
                LocalSolution& local) {
    local.position.assign(c.n + 1, PlanePoint{});
    local.placed.assign(c.n + 1, 0);
    // s at the origin, the target of its last direction leg due north.
    const CogoLeg* last = nullptr;
    for (const auto& [set, list] : legs[s])
        for (const CogoLeg* leg : list)
            if (last == nullptr || leg > last)
                last = leg;
    local.placed[s] = 1;
    local.position[last->to] = {0.0, last->v[1]};
    local.placed[last->to] = 1;
    for (bool grown = true; grown;) {
        grown = false;
        for (unsigned u = 1; u <= c.n; ++u)
            if (local.placed[u])
                for (const auto& [set, list] : legs[u])
                    grown |= PlaceSet(c, list, local);
    }
}

} // namespace

int PolygonNetwork(const ProjectState&, CogoState& c) {
    const std::vector<SetLegs> legs = DirectionLegsByStation(c);
    LocalSolution local;
    for (unsigned s = 1; s <= c.n; ++s) {
        if (!c.Open(s) || legs[s].empty())
            continue;
        BuildLocal(c, legs, s, local);
        std::vector<unsigned> common;
        for (unsigned u = 1; u <= c.n; ++u)
            if (local.placed[u] && c.computed[u])
                common.push_back(u);
        if (common.size() < 2)
            continue;
        const FitOutcome fit =
            FitPlaneWithRejection(local.position, c.plane, local.placed, common, c.planeTolerance);
        if (!fit.applied)
            continue;
        for (unsigned u = 1; u <= c.n; ++u)
            if (local.placed[u] && c.Open(u))
                c.Place(u, local.position[u]);
    }
    return 1;
}

} // namespace Tavex
