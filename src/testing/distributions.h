// Distribution functions of the B-method of testing: the standard normal
// quantile, the logarithm of the gamma function at half-integers, and the
// chi-square distribution with its quantile.
//
// These are the kernel's own approximations, and every critical value of the
// kernel inherits them: the normal quantile is the short rational
// approximation of Abramowitz and Stegun (absolute error below 3e-3), and the
// chi-square quantile is a bisection whose tolerance is on the probability,
// not on the quantile. Arguments outside a function's domain give a quiet NaN.
//
// Example:
//
//   double k = InverseNormal(1.0 - 0.001 / 2.0);   // 3.2931, W-test critical value
//   double q = InverseChiSquare(0.95, 3);          // 7.8147 (within 1e-7 in probability)
//   double P = ChiSquareDistribution(q, 3);        // 0.95
#ifndef TAVEX_TESTING_DISTRIBUTIONS_H
#define TAVEX_TESTING_DISTRIBUTIONS_H

namespace Tavex {

// Largest number of degrees of freedom the chi-square routines accept. The
// half-integer gamma function sums n/2 logarithms and the series needs up to
// about 54·sqrt(x) terms, so the bound keeps every call short (milliseconds)
// and accurate; ten million is far above the redundancy of any network the
// kernel adjusts, and a redundancy that wrapped around from a negative
// difference of unsigned counts lands above it.
inline constexpr unsigned kMaxDegreesOfFreedom = 10'000'000;

// Standard normal quantile Φ⁻¹(p), lower tail, for 0 < p < 1.
// Abramowitz and Stegun, formula 26.2.22, with t = sqrt(−2 ln(0.5 − |p − 0.5|)):
//   x = t − (2.30753 + 0.27061 t) / (1 + 0.99229 t + 0.04481 t²),
// returned with the sign of p − 0.5 (p = 0.5 takes the positive branch and
// gives 3.4e-6). No refinement step: 0.9995 gives 3.2931, not 3.2905.
// NaN for p <= 0, p >= 1 or NaN.
double InverseNormal(double p);

// ln Γ(n/2) for an integer 1 <= n <= kMaxDegreesOfFreedom, summed from the
// half-integer recurrence: Γ(n/2) = √π · ∏ k/2 over k = 1, 3, …, n − 2 for odd
// n, and (n/2 − 1)! for even n. NaN for n = 0 or n above the bound.
double LogGammaHalf(unsigned n);

// P(χ²ₙ <= x): the regularised lower incomplete gamma function P(n/2, x/2),
// from its power series
//   P(a, z) = zᵃ e⁻ᶻ / Γ(a + 1) · Σₖ zᵏ / ((a + 1)(a + 2)…(a + k)),
// written with a = n/2, z = x/2 as the terms xᵏ / ((n + 2)(n + 4)…(n + 2k)),
// summed up to and including the first term <= 1e-7.
// x is dimensionless, 0 <= x < ∞; 1 <= n <= kMaxDegreesOfFreedom. x = 0
// gives 0. Far in the upper tail, where e^(x/2) would overflow the sum and
// e^(−x/2) underflow the prefactor (∞ · 0), the summation stops once the
// partial sum exceeds 1e300 and the result is 1; the upper tail there is
// below 1e-298, so 1 is the correctly rounded value (for n = 1 from
// x ≈ 1390 on). The rounding of the n/2 logarithms in LogGammaHalf passes
// into the result as a relative error, about 4e-6 at n = 10⁷ and below 1e-8
// up to n = 10⁵. NaN for negative or non-finite x, n = 0 or n above the bound.
double ChiSquareDistribution(double x, unsigned n);

// The chi-square quantile: the x with P(χ²ₙ <= x) = p, by bisection of
// ChiSquareDistribution on the interval [0, n + 8·sqrt(2n)], stopping at the
// first midpoint whose probability is within 1e-7 of p; that midpoint is
// returned. |p| <= 1e-7 returns 0 without a search. x is dimensionless.
// Domain: 0 <= p < 1, 1 <= n <= kMaxDegreesOfFreedom; NaN otherwise.
// When p lies above the distribution value at the interval's upper end
// (n = 1: above 0.99955, n = 2: 0.99988, n = 3: 0.99995, n = 10: 1 − 1.6e-6)
// the tolerance cannot be reached inside it; the interval's end then doubles
// (at most kMaxIntervalGrowth times) until it holds the quantile, so that a
// small significance level never gives a critical value that is too small.
// Every p the original interval reaches is searched exactly as before.
double InverseChiSquare(double p, unsigned n);

// Bound on the doublings of the search interval of InverseChiSquare.
inline constexpr int kMaxIntervalGrowth = 64;

// Bound on the halvings of InverseChiSquare. A reachable tolerance takes at
// most about 50 (near p = 1e-7 with n = 1, where the quantile is 1e-13).
inline constexpr int kMaxHalvings = 200;

} // namespace Tavex

#endif // TAVEX_TESTING_DISTRIBUTIONS_H
