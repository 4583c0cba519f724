// Confidence multiplier: the factor that turns a standard deviation into the
// half-width of a confidence interval, or a standard ellipse into a
// confidence ellipse (ellipsoid for three dimensions), at probability p.
//
// The reports scale with MultiplierConfidenceValue(ConfidenceLevel1D, 1) and
// MultiplierConfidenceValue(ConfidenceLevel2D, 2); the exported
// Tavex::MultiplierConfidence returns this function's value unchanged.
//
// Example:
//
//   double m1 = MultiplierConfidenceValue(0.95, 1);   // 1.9604
//   double m2 = MultiplierConfidenceValue(0.95, 2);   // 2.4477
//   double s = MultiplierConfidenceValue(0.683, 1);   // exactly 1: the default level
#ifndef TAVEX_TESTING_CONFIDENCE_MULTIPLIER_H
#define TAVEX_TESTING_CONFIDENCE_MULTIPLIER_H

namespace Tavex {

// The multiplier k (dimensionless) with P(|x| <= k σ) = p in dim dimensions:
//   dim = 1: |Φ⁻¹((1 − p)/2)|, with Φ⁻¹ the approximation of InverseNormal
//            (0.95 gives 1.9604);
//   dim >= 2: sqrt of the χ²_dim quantile at p, from InverseChiSquare
//            (0.95 gives 2.4477 for dim = 2, 2.7955 for dim = 3).
// The default report levels give exactly 1.0, so that the reports show plain
// standard deviations and standard ellipses: p == 0.683 with dim = 1 and
// p == 0.394 with dim = 2, both compared as exact doubles (0.6831 is
// computed: 0.99865). Domain: 0 < p < 1, 1 <= dim <= kMaxDegreesOfFreedom;
// NaN otherwise. p <= 1e-7 gives 0 for dim >= 2, and p too close to 1 for
// the quantile's search interval gives a value below the true one (dim = 2:
// p above 0.99988), see InverseChiSquare.
double MultiplierConfidenceValue(double p, unsigned dim);

} // namespace Tavex

#endif // TAVEX_TESTING_CONFIDENCE_MULTIPLIER_H
