// The two-dimensional similarity (Helmert) transformation
//   x' = tx + m (cos θ x − sin θ y)
//   y' = ty + m (sin θ x + cos θ y)
// with shifts tx, ty (metres), rotation θ (radians, anticlockwise from the
// source axes to the target axes) and scale m, and its least-squares fit to
// point pairs: the closed form of the centred sums (no iteration), which
// minimises Σ |p'ᵢ − T(pᵢ)|² over all four parameters.
//
// Example: the pairs (0, 0) → (10, 20) and (1, 0) → (10, 22) give tx = 10,
// ty = 20, θ = π/2, m = 2.
#ifndef TAVEX_GEODESY_PLANE_SIMILARITY_H
#define TAVEX_GEODESY_PLANE_SIMILARITY_H

#include <vector>

namespace Tavex {

struct PlaneSimilarity {
    double tx = 0.0, ty = 0.0; // metres
    double rotation = 0.0;     // θ, radians
    double scale = 1.0;        // m

    void Apply(double x, double y, double& xOut, double& yOut) const;
};

struct PlanePair {
    double x, y;             // source
    double xTarget, yTarget; // target
};

// The least-squares fit. With one pair (or pairs that all coincide) only the
// shift is determined: rotation 0 and scale 1. With no pair: the identity.
PlaneSimilarity FitPlaneSimilarity(const std::vector<PlanePair>& pairs);

} // namespace Tavex

#endif
