#include "geodesy/plane_similarity.h"

#include <cmath>

namespace Tavex {

void PlaneSimilarity::Apply(double x, double y, double& xOut, double& yOut) const {
    const double c = scale * std::cos(rotation), s = scale * std::sin(rotation);
    xOut = tx + c * x - s * y;
    yOut = ty + s * x + c * y;
}

PlaneSimilarity FitPlaneSimilarity(const std::vector<PlanePair>& pairs) {
    PlaneSimilarity t;
    if (pairs.empty())
        return t;
    // Centroids of both point sets.
    double mx = 0.0, my = 0.0, mxt = 0.0, myt = 0.0;
    for (const PlanePair& q : pairs) {
        mx += q.x;
        my += q.y;
        mxt += q.xTarget;
        myt += q.yTarget;
    }
    const double n = static_cast<double>(pairs.size());
    mx /= n;
    my /= n;
    mxt /= n;
    myt /= n;
    // a = m cos θ and b = m sin θ from the centred sums:
    //   a = Σ (x x' + y y') / Σ (x² + y²),  b = Σ (x y' − y x') / Σ (x² + y²).
    double sxx = 0.0, sa = 0.0, sb = 0.0;
    for (const PlanePair& q : pairs) {
        const double x = q.x - mx, y = q.y - my;
        const double xt = q.xTarget - mxt, yt = q.yTarget - myt;
        sxx += x * x + y * y;
        sa += x * xt + y * yt;
        sb += x * yt - y * xt;
    }
    // Points that all coincide fix no rotation or scale; one part in 10¹²
    // of the spread in metres² is coincidence for survey coordinates.
    if (sxx > 1e-12 && std::hypot(sa, sb) > 0.0) {
        const double a = sa / sxx, b = sb / sxx;
        t.scale = std::hypot(a, b);
        t.rotation = std::atan2(b, a);
    }
    // The shift maps the source centroid onto the target centroid.
    double x0, y0;
    PlaneSimilarity turn = t;
    turn.tx = turn.ty = 0.0;
    turn.Apply(mx, my, x0, y0);
    t.tx = mxt - x0;
    t.ty = myt - y0;
    return t;
}

} // namespace Tavex
