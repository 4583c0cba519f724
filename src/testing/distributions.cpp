#include "testing/distributions.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace Tavex {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The series stops after the first term at or below this value, and the
// quantile's bisection stops when the probability is this close to p; below
// it a probability counts as zero.
constexpr double kProbabilityTolerance = 1e-7;

// A partial sum above this value means x lies so far in the upper tail that
// P rounds to 1 (see ChiSquareDistribution); stopping here keeps the sum and
// the prefactor away from overflow and underflow, which would give ∞ · 0.
constexpr double kSeriesSumLimit = 1e300;

// Bound on the series terms. Inside the domain the series ends, by its
// threshold or by the sum limit, after at most about 54·sqrt(x) terms with
// x < 1.02·kMaxDegreesOfFreedom, i.e. below 200 000; reaching the bound
// would mean a fault, reported as NaN.
constexpr int kMaxSeriesTerms = 1'000'000;

bool IsDegreesOfFreedom(unsigned n) {
    return n >= 1 && n <= kMaxDegreesOfFreedom;
}

// P(χ²ₙ <= x) for x > 0 with ln Γ(n/2) already known, so that the quantile's
// bisection sums the logarithms once; the numbers are those of
// ChiSquareDistribution.
double ChiSquareSeries(double x, unsigned n, double logGammaHalf) {
    const double halfDegrees = n / 2.0; // a = n/2

    // Σ xᵏ / ((n + 2)(n + 4)…(n + 2k)), up to the first term <= 1e-7
    double sum = 1.0;
    double term = 1.0;
    bool converged = false;
    for (int k = 1; k <= kMaxSeriesTerms; ++k) {
        term = term * x / (n + 2.0 * k);
        sum = sum + term;
        if (sum > kSeriesSumLimit) {
            return 1.0; // upper tail below 1e-298
        }
        if (term <= kProbabilityTolerance) {
            converged = true;
            break;
        }
    }
    if (!converged) {
        return kNaN;
    }

    // prefactor (x/2)^a e^(−x/2) / Γ(a + 1), with Γ(a + 1) = a·Γ(a)
    const double logPrefactor =
        halfDegrees * std::log(x / 2.0) - x / 2.0 - logGammaHalf - std::log(halfDegrees);
    return std::exp(logPrefactor) * sum;
}

} // namespace

double InverseNormal(double p) {
    if (!(p > 0.0 && p < 1.0)) {
        return kNaN; // also NaN
    }
    const double d = p - 0.5;
    const double t = std::sqrt(-2.0 * std::log(0.5 - std::fabs(d)));
    // Abramowitz and Stegun 26.2.22
    const double x = t - (2.30753 + 0.27061 * t) / (1.0 + 0.99229 * t + 0.04481 * t * t);
    return d >= 0.0 ? x : -x;
}

double LogGammaHalf(unsigned n) {
    if (!IsDegreesOfFreedom(n)) {
        return kNaN;
    }
    double logGamma = 0.0;
    if (n % 2 == 1) {
        // Γ(n/2) = √π · (1/2)(3/2)…((n − 2)/2)
        logGamma = 0.5 * std::log(std::numbers::pi);
        for (unsigned k = 1; k + 2 <= n; k += 2) {
            logGamma += std::log(static_cast<double>(k)) - std::log(2.0);
        }
    } else {
        // Γ(m) = (m − 1)!, m = n/2
        const unsigned m = n / 2;
        for (unsigned k = 1; k < m; ++k) {
            logGamma += std::log(static_cast<double>(k));
        }
    }
    return logGamma;
}

double ChiSquareDistribution(double x, unsigned n) {
    if (!IsDegreesOfFreedom(n) || !std::isfinite(x) || x < 0.0) {
        return kNaN;
    }
    if (x == 0.0) {
        return 0.0; // P(χ² <= 0) = 0
    }
    return ChiSquareSeries(x, n, LogGammaHalf(n));
}

double InverseChiSquare(double p, unsigned n) {
    if (!IsDegreesOfFreedom(n) || !(p >= 0.0 && p < 1.0)) {
        return kNaN; // also NaN
    }
    if (std::fabs(p) <= kProbabilityTolerance) {
        return 0.0;
    }
    const double logGamma = LogGammaHalf(n);

    // bisection on the fixed interval [0, n + 8·sqrt(2n)], i.e. the mean plus
    // eight standard deviations; tolerance on the probability
    double lo = 0.0;
    double hi = n + 8.0 * std::sqrt(2.0 * n);
    // A probability above the distribution value at the interval's end (for
    // n = 1 above about 0.9995) cannot be reached inside it, and the last
    // midpoint would be a quantile that is silently too small. The interval
    // then grows until it holds the quantile; every probability the fixed
    // interval reaches keeps exactly the same search.
    for (int growth = 0; growth < kMaxIntervalGrowth; ++growth) {
        const double Fhi = ChiSquareSeries(hi, n, logGamma);
        if (std::isnan(Fhi)) {
            return kNaN;
        }
        if (Fhi >= p - kProbabilityTolerance) {
            break;
        }
        lo = hi;
        hi *= 2.0;
    }
    double mid = 0.0;
    for (int halving = 0; halving < kMaxHalvings; ++halving) {
        mid = (lo + hi) / 2.0;
        const double F = ChiSquareSeries(mid, n, logGamma);
        if (std::isnan(F)) {
            return kNaN;
        }
        if (p < F) {
            hi = mid;
        } else if (p > F) {
            lo = mid;
        }
        if (std::fabs(F - p) <= kProbabilityTolerance) {
            break;
        }
    }
    return mid; // after kMaxHalvings: the interval's upper end, see the header
}

} // namespace Tavex
