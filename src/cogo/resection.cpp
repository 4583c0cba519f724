// Resection: a station that observed computed stations is placed from its
// own directions (one set) and the distances between it and computed
// stations.
#include "cogo/cogo_methods.h"
#include "cogo/plane_constructions.h"

#include <cmath>

namespace Tavex {

namespace {

constexpr std::size_t kMaxReadings = 50;
constexpr unsigned kSets = 100; // set numbers 0 to 99
constexpr double kSamePosition = 1e-6;

bool SamePosition(const PlanePoint& a, const PlanePoint& b) {
    return std::fabs(a.e - b.e) <= kSamePosition && std::fabs(a.n - b.n) <= kSamePosition;
}

// Of candidate positions, the one whose clockwise angle from t1 to t2
// agrees best with the observed angle.
PlanePoint ByAngle(const PlanePoint& a, const PlanePoint& b, const PlanePoint& t1,
                   const PlanePoint& t2, double angle) {
    const double da = std::fabs(SignedAngle(Bearing(a, t2) - Bearing(a, t1) - angle));
    const double db = std::fabs(SignedAngle(Bearing(b, t2) - Bearing(b, t1) - angle));
    return db < da ? b : a;
}

// Two directions (to t1 and t2) and the distance d to t1. The distance x
// to t2 follows from the cosine rule c² = d² + x² − 2 d x cos γ; each
// positive root gives a pair of circles, whose mirror solution the angle
// decides. Two positive roots (d longer than the baseline, γ acute) leave
// two positions on the arc: the host's approximate position picks one,
// otherwise the longer sight to t2 is taken.
bool Polar(const CogoState& c, unsigned s, const PlanePoint& t1, const PlanePoint& t2, double gamma,
           double d, PlanePoint& p) {
    const double base = PlaneDistance(t1, t2);
    double disc = base * base - d * d * std::sin(gamma) * std::sin(gamma);
    if (disc < 0.0) {
        if (disc < -1e-9 * base * base)
            return false;
        disc = 0.0;
    }
    const double roots[2] = {d * std::cos(gamma) + std::sqrt(disc),
                             d * std::cos(gamma) - std::sqrt(disc)};
    bool found = false;
    PlanePoint first;
    for (double x : roots) {
        PlanePoint left, right;
        if (!(x > 0.0) || !CircleIntersections(t1, d, t2, x, left, right))
            continue;
        const PlanePoint q = ByAngle(left, right, t1, t2, gamma);
        if (!found) {
            first = q;
            found = true;
        } else {
            first = ChooseMirror(c, s, first, q);
        }
    }
    p = first;
    return found;
}

struct Gathered {
    std::vector<DirectionReading> directions; // of the chosen set
    std::vector<DistanceReading> distances;
};

Gathered Gather(const CogoState& c, unsigned s) {
    std::vector<DirectionReading> all;
    unsigned perSet[kSets] = {};
    for (const DirectionReading& d : c.directionsAt[s]) {
        if (all.size() == kMaxReadings)
            break;
        if (!c.Fixed(d.target))
            continue;
        all.push_back(d);
        if (d.set < kSets)
            ++perSet[d.set];
    }
    unsigned best = 0;
    for (unsigned set = 1; set < kSets; ++set)
        if (perSet[set] > perSet[best])
            best = set;
    Gathered g;
    for (const DirectionReading& d : all)
        if (d.set == best)
            g.directions.push_back(d);
    for (const DistanceReading& d : c.distancesAt[s]) {
        if (g.distances.size() == kMaxReadings)
            break;
        if (c.Fixed(d.other))
            g.distances.push_back(d);
    }
    return g;
}

bool Construct(const CogoState& c, unsigned s, Gathered& g, PlanePoint& p) {
    const std::size_t nr = g.directions.size(), nd = g.distances.size();
    const std::vector<PlanePoint>& x = c.plane;
    if (nr >= 3 && nd < 3) {
        const DirectionReading *a = &g.directions[0], *b = &g.directions[1], *t = &g.directions[2];
        return ResectionThreeDirections(x[a->target], a->r, x[b->target], b->r, x[t->target], t->r,
                                        p);
    }
    if (nd >= 3) {
        const DistanceReading *a = &g.distances[0], *b = &g.distances[1], *t = &g.distances[2];
        return Trilateration(x[a->other], a->d, x[b->other], b->d, x[t->other], t->d, p);
    }
    if (nr == 2 && nd == 2) {
        PlanePoint left, right;
        if (!CircleIntersections(x[g.distances[0].other], g.distances[0].d, x[g.distances[1].other],
                                 g.distances[1].d, left, right))
            return false;
        const DirectionReading &d1 = g.directions[0], &d2 = g.directions[1];
        p = ByAngle(left, right, x[d1.target], x[d2.target], d2.r - d1.r);
        return true;
    }
    if (nr == 2 && nd == 1) {
        const PlanePoint& other = x[g.distances[0].other];
        if (!SamePosition(x[g.directions[0].target], other))
            std::swap(g.directions[0], g.directions[1]);
        if (!SamePosition(x[g.directions[0].target], other))
            return false;
        const DirectionReading &d1 = g.directions[0], &d2 = g.directions[1];
        return Polar(c, s, x[d1.target], x[d2.target], SignedAngle(d2.r - d1.r), g.distances[0].d,
                     p);
    }
    return false;
}

} // namespace

int Resection(const ProjectState&, CogoState& c) {
    for (unsigned s = 1; s <= c.n; ++s) {
        if (!c.Open(s))
            continue;
        Gathered g = Gather(c, s);
        PlanePoint p;
        if (Construct(c, s, g, p))
            c.Place(s, p);
    }
    return 1;
}

} // namespace Tavex
