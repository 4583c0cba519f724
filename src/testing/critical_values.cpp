#include "testing/critical_values.h"

#include "testing/distributions.h"

#include <cmath>

namespace Tavex {

namespace {

// Below this fraction ν is taken as an integer number of degrees of freedom.
constexpr double kFractionTolerance = 1e-7;

bool IsOpenUnitInterval(double value) {
    return value > 0.0 && value < 1.0;
} // false for NaN

// Redundancy of a run; a negative difference of the counts counts as none.
unsigned Redundancy(unsigned observationRows, unsigned unknowns) {
    return unknowns < observationRows ? observationRows - unknowns : 0;
}

bool ComputeFSlots(unsigned b, double alpha0, double beta, CriticalValues& values) {
    return ComputeCriticalValues(b, alpha0, beta, values.lambda0, values.criticalW,
                                 values.criticalF, values.confidenceF);
}

} // namespace

bool ComputeCriticalValues(unsigned b, double alpha0, double beta, double& lambda0,
                           double& criticalW, double& criticalB, double& confidenceB) {
    lambda0 = criticalW = criticalB = confidenceB = 0.0;
    if (!IsOpenUnitInterval(alpha0) || !IsOpenUnitInterval(beta) || b > kMaxDegreesOfFreedom) {
        return false;
    }

    // W-test (two-sided) and the non-centrality it detects with power β
    const double w = InverseNormal(1.0 - alpha0 / 2.0);
    const double shift = w + InverseNormal(beta);
    const double lambda = shift * shift;
    if (!std::isfinite(lambda)) {
        return false;
    }
    if (b == 0) {
        lambda0 = lambda;
        criticalW = w;
        return true;
    }

    // Patnaik: χ²(b, λ0) ≈ c · χ²_ν
    const double c = (b + 2.0 * lambda) / (b + lambda);
    const double nu = (b + lambda) * (b + lambda) / (b + 2.0 * lambda);
    if (!std::isfinite(c) || !(nu >= 1.0 && nu + 1.0 <= kMaxDegreesOfFreedom)) {
        return false;
    }

    // quantile at 1 − β, interpolated linearly in the degrees of freedom
    const double floorNu = std::floor(nu);
    const unsigned nu0 = static_cast<unsigned>(floorNu);
    const double fraction = nu - floorNu;
    const bool interpolate = fraction >= kFractionTolerance;
    const unsigned nu1 = interpolate ? nu0 + 1 : nu0;
    const double q0 = InverseChiSquare(1.0 - beta, nu0);
    const double q1 = InverseChiSquare(1.0 - beta, nu1);
    const double q = interpolate ? q0 + fraction * (q1 - q0) : q0;

    // the value the b-dimensional statistic exceeds with probability β under
    // the alternative λ0; its probability under the null hypothesis is 1 − α_b
    const double k = c * q;
    if (!(std::isfinite(k) && k > 0.0)) {
        return false; // NaN, or 1 − β so small that its quantile is 0
    }
    const double confidence = ChiSquareDistribution(k, b);

    // critical value in F(b, ∞) form, from the recomputed quantile (not k/b)
    const double critical = InverseChiSquare(confidence, b) / b;
    if (!std::isfinite(confidence) || !std::isfinite(critical)) {
        return false;
    }

    lambda0 = lambda;
    criticalW = w;
    criticalB = critical;
    confidenceB = confidence;
    return true;
}

bool ComputeAdjustmentCriticalValues(double alpha0, double beta, unsigned observationRows,
                                     unsigned unknowns, CriticalValues& values) {
    const bool ok = ComputeCriticalValues(2, alpha0, beta, values.lambda0, values.criticalW,
                                          values.criticalT2, values.confidenceT2) &&
                    ComputeCriticalValues(3, alpha0, beta, values.lambda0, values.criticalW,
                                          values.criticalT3, values.confidenceT3) &&
                    ComputeFSlots(Redundancy(observationRows, unknowns), alpha0, beta, values);
    if (!ok) {
        values.lambda0 = values.criticalW = 0.0;
        values.criticalT2 = values.confidenceT2 = 0.0;
        values.criticalT3 = values.confidenceT3 = 0.0;
        values.criticalF = values.confidenceF = 0.0;
    }
    return ok;
}

bool ComputePreRunCriticalValues(double alpha0, double beta, unsigned observationRows,
                                 unsigned unknowns, CriticalValues& values) {
    return ComputeFSlots(Redundancy(observationRows, unknowns), alpha0, beta, values);
}

bool ComputeLoopCriticalValues(double alpha0, double beta, CriticalValues& values) {
    return ComputeFSlots(2, alpha0, beta, values);
}

} // namespace Tavex
