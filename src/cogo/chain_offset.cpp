// Chain and offset: a point measured from a line between two computed
// stations by its chainage along the line from the first station and its
// offset across it (positive to the right, looking from the first station
// to the second). The record is a geometric relation with a chainage
// reading and an offset reading, its station and target the line's ends
// and its third station the point.
//
// The point gets local coordinates (chainage, offset) in a frame whose
// x-axis runs along the line; the plane similarity that maps the line's
// ends (0, 0) and (length, 0) onto their computed positions carries it into
// the plane.
#include "cogo/cogo_methods.h"
#include "cogo/observation_legs.h"
#include "cogo/plane_constructions.h"
#include "geodesy/plane_similarity.h"

namespace Tavex {

namespace {

int SlotOf(const CObservation& o, std::uint16_t sub) {
    for (int i = 0; i < 3; ++i)
        if (o.Type[i] == OBS_GEOMETRIC_RELATION && o.Sub[i] == sub && o.Off[i] == 0)
            return i;
    return -1;
}

} // namespace

int ChainAndOffset(const ProjectState& p, CogoState& c) {
    for (int k = 1; k < p.Observations.GetSize(); ++k) {
        const CObservation* o = p.Observations.GetAt(k);
        if (o == nullptr)
            continue;
        const int chain = SlotOf(*o, kRelationChainage), offset = SlotOf(*o, kRelationOffset);
        const unsigned point = o->Station3;
        if (chain < 0 || offset < 0 || point < 1 || point > c.n || point == o->Station ||
            point == o->Target || !c.Fixed(o->Station) || !c.Fixed(o->Target) || !c.Open(point))
            continue;
        const PlanePoint &a = c.plane[o->Station], &b = c.plane[o->Target];
        const double length = PlaneDistance(a, b);
        if (!(length > 0.0))
            continue;
        // Local frame: x along the line, y to its left (so the offset, to
        // the right, enters negated).
        const PlaneSimilarity t =
            FitPlaneSimilarity({{0.0, 0.0, a.e, a.n}, {length, 0.0, b.e, b.n}});
        // The local frame is (x east-like, y north-like) with the line along
        // x; its rotation carries x onto the line's direction.
        PlanePoint q;
        t.Apply(RelationLengthToPlane(p, c, o->Reading[chain]),
                -RelationLengthToPlane(p, c, o->Reading[offset]), q.e, q.n);
        c.Place(point, q);
    }
    return 1;
}

} // namespace Tavex
