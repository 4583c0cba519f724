// Intersection: a station that computed stations observed is placed from
// their oriented directions (bearings) towards it and the distances between
// it and them.
#include "cogo/cogo_methods.h"
#include "cogo/plane_constructions.h"

#include <cmath>

namespace Tavex {

namespace {

constexpr std::size_t kMaxReadings = 50;
constexpr double kSamePosition = 1e-6;

struct Sight {
    unsigned from = 0;
    double bearing = 0.0;
};

bool SamePosition(const PlanePoint& a, const PlanePoint& b) {
    return std::fabs(a.e - b.e) <= kSamePosition && std::fabs(a.n - b.n) <= kSamePosition;
}

std::vector<Sight> Bearings(const CogoState& c, unsigned p) {
    std::vector<Sight> sights;
    for (const DirectionReading& d : c.directionsTo[p]) {
        if (sights.size() == kMaxReadings)
            break;
        double orientation;
        if (c.Fixed(d.target) && SetOrientation(c, d.target, d.set, orientation))
            sights.push_back({d.target, NormalizedAngle(d.r + orientation)});
    }
    return sights;
}

std::vector<DistanceReading> Distances(const CogoState& c, unsigned p) {
    std::vector<DistanceReading> distances;
    for (const DistanceReading& d : c.distancesAt[p]) {
        if (distances.size() == kMaxReadings)
            break;
        if (c.Fixed(d.other))
            distances.push_back(d);
    }
    return distances;
}

// The line from a at bearing t meets the circle of radius r about b: with
// w the line's unit vector, u² + 2u w·(a − b) + |a − b|² − r² = 0. Only
// points ahead of a count; of two, the host's approximate position decides,
// otherwise the nearer one to a.
bool BearingAndDistance(const CogoState& c, unsigned p, const PlanePoint& a, double t,
                        const PlanePoint& b, double r, PlanePoint& out) {
    const double we = std::sin(t), wn = std::cos(t);
    const double half = we * (a.e - b.e) + wn * (a.n - b.n);
    const double q = (a.e - b.e) * (a.e - b.e) + (a.n - b.n) * (a.n - b.n) - r * r;
    double disc = half * half - q;
    if (disc < 0.0) {
        if (disc < -1e-9 * r * r)
            return false;
        disc = 0.0;
    }
    const double far = -half + std::sqrt(disc), near = -half - std::sqrt(disc);
    if (!(far > 0.0))
        return false;
    const PlanePoint farPoint = Polar(a, t, far);
    out = near > 0.0 ? ChooseMirror(c, p, Polar(a, t, near), farPoint) : farPoint;
    return true;
}

// The first two bearings from different stations, intersected; the point
// must lie ahead of both.
bool TwoBearings(const CogoState& c, const std::vector<Sight>& sights, PlanePoint& out) {
    for (std::size_t j = 1; j < sights.size(); ++j) {
        const Sight &a = sights[0], &b = sights[j];
        if (SamePosition(c.plane[a.from], c.plane[b.from]))
            continue;
        if (!ForwardIntersection(c.plane[a.from], a.bearing, c.plane[b.from], b.bearing, out))
            return false;
        return std::cos(Bearing(c.plane[a.from], out) - a.bearing) > 0.0 &&
               std::cos(Bearing(c.plane[b.from], out) - b.bearing) > 0.0;
    }
    return false;
}

// Two distances: the circles meet in two mirror points. A bearing towards
// p from a third station (there is at most one here) tells them apart: the
// point it points at is taken. Without one the host's approximate position
// decides; without that the point is taken on the left of the line from
// the first distance's station to the second's.
bool TwoDistances(const CogoState& c, unsigned p, const std::vector<DistanceReading>& d,
                  const std::vector<Sight>& sights, PlanePoint& out) {
    PlanePoint left, right;
    if (!CircleIntersections(c.plane[d[0].other], d[0].d, c.plane[d[1].other], d[1].d, left, right))
        return false;
    if (sights.empty()) {
        out = ChooseMirror(c, p, left, right);
        return true;
    }
    const PlanePoint& at = c.plane[sights[0].from];
    const double offLeft = std::fabs(SignedAngle(Bearing(at, left) - sights[0].bearing));
    const double offRight = std::fabs(SignedAngle(Bearing(at, right) - sights[0].bearing));
    out = offRight < offLeft ? right : left;
    return true;
}

bool Construct(const CogoState& c, unsigned p, PlanePoint& out) {
    const std::vector<Sight> sights = Bearings(c, p);
    const std::vector<DistanceReading> distances = Distances(c, p);
    const std::size_t na = sights.size(), nd = distances.size();
    if (na == 1 && nd == 1)
        return BearingAndDistance(c, p, c.plane[sights[0].from], sights[0].bearing,
                                  c.plane[distances[0].other], distances[0].d, out);
    if (na >= 1) {
        // A station with both a bearing and a distance: the longest such.
        const Sight* bestSight = nullptr;
        double longest = 0.0;
        for (const Sight& s : sights)
            for (const DistanceReading& d : distances)
                if (SamePosition(c.plane[s.from], c.plane[d.other]) && d.d > longest) {
                    longest = d.d;
                    bestSight = &s;
                }
        if (bestSight != nullptr) {
            out = Polar(c.plane[bestSight->from], bestSight->bearing, longest);
            return true;
        }
    }
    if (nd < 3) {
        if (na >= 2)
            return TwoBearings(c, sights, out);
        return nd == 2 && TwoDistances(c, p, distances, sights, out);
    }
    return Trilateration(c.plane[distances[0].other], distances[0].d, c.plane[distances[1].other],
                         distances[1].d, c.plane[distances[2].other], distances[2].d, out);
}

} // namespace

int Intersection(const ProjectState&, CogoState& c) {
    for (unsigned p = 1; p <= c.n; ++p) {
        PlanePoint out;
        if (c.Open(p) && Construct(c, p, out))
            c.Place(p, out);
    }
    return 1;
}

} // namespace Tavex
