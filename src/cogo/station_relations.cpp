// The geometric relations that place a station: double distances (a third
// station at two distances from the relation's two) and identical stations
// (a position or height copied from one station to the other).
#include "cogo/cogo_methods.h"
#include "cogo/observation_legs.h"
#include "cogo/plane_constructions.h"

namespace Tavex {

namespace {

bool IsRelation(const CObservation& o, std::uint16_t sub, int slot) {
    return o.Type[slot] == OBS_GEOMETRIC_RELATION && o.Sub[slot] == sub && o.Off[slot] == 0;
}

bool InRange(const CogoState& c, unsigned s) {
    return s >= 1 && s <= c.n;
}

// Copies between the two stations of an equal relation: from the one that
// has the value to the one that has not.
template <class Copy>
void CopyAcross(unsigned a, unsigned b, const std::vector<int>& has,
                const std::vector<int>& excluded, Copy copy) {
    if (has[a] && !has[b] && !excluded[b])
        copy(a, b);
    else if (has[b] && !has[a] && !excluded[a])
        copy(b, a);
}

} // namespace

int DoubleDistanceRelations(const ProjectState& p, CogoState& c) {
    for (int k = 1; k < p.Observations.GetSize(); ++k) {
        const CObservation* o = p.Observations.GetAt(k);
        if (o == nullptr || !IsRelation(*o, RELATION_DOUBLE_DISTANCE, 0) ||
            !IsRelation(*o, RELATION_DOUBLE_DISTANCE, 1))
            continue;
        const unsigned third = o->Station3;
        if (!c.Fixed(o->Station) || !c.Fixed(o->Target) || !InRange(c, third) || !c.Open(third) ||
            third == o->Station || third == o->Target)
            continue;
        PlanePoint left, right;
        if (!CircleIntersections(c.plane[o->Station], RelationLengthToPlane(p, c, o->Reading[0]),
                                 c.plane[o->Target], RelationLengthToPlane(p, c, o->Reading[1]),
                                 left, right))
            continue;
        // Distance code 0: the third station left of the line from the
        // relation's station to its target; any other code: right of it.
        c.Place(third, o->DistanceCode == 0 ? left : right);
    }
    return 1;
}

int IdenticalStationRelations(const ProjectState& p, CogoState& c) {
    for (int k = 1; k < p.Observations.GetSize(); ++k) {
        const CObservation* o = p.Observations.GetAt(k);
        if (o == nullptr || !IsRelation(*o, kRelationEqual, 0) || !InRange(c, o->Station) ||
            !InRange(c, o->Target) || (o->DistanceCode != 2 && o->DistanceCode != 3))
            continue;
        CopyAcross(o->Station, o->Target, c.computed, c.excluded,
                   [&](unsigned from, unsigned to) { c.Place(to, c.plane[from]); });
    }
    return 1;
}

int IdenticalHeightRelations(const ProjectState& p, CogoState& c) {
    for (int k = 1; k < p.Observations.GetSize(); ++k) {
        const CObservation* o = p.Observations.GetAt(k);
        if (o == nullptr || !IsRelation(*o, kRelationEqual, 0) || !InRange(c, o->Station) ||
            !InRange(c, o->Target) || (o->DistanceCode != 1 && o->DistanceCode != 3))
            continue;
        CopyAcross(o->Station, o->Target, c.heightFlag, c.excluded,
                   [&](unsigned from, unsigned to) {
                       c.height[to] = c.height[from];
                       c.heightFlag[to] = 1;
                   });
    }
    return 1;
}

} // namespace Tavex
