// Critical values of the B-method of testing.
//
// The one-dimensional W-test gets its critical value from the significance
// level α0; together with the power β this fixes the non-centrality λ0, the
// size of an error that the W-test detects with probability β. Every
// b-dimensional test (the T-tests of two- and three-dimensional groups, the
// overall F-test) is then given the significance level α_b with which it
// detects an error of the same size λ0 with the same power β, so that all
// tests are equally sensitive.
//
// Example (defaults α0 = 0.001, β = 0.80):
//
//   CriticalValues values;
//   ComputeAdjustmentCriticalValues(0.001, 0.80, rows, unknowns, values);
//   // values.criticalW 3.2931, values.lambda0 17.0748,
//   // values.criticalT2 5.91 (α 0.0027), values.criticalT3 4.24 (α 0.0053)
#ifndef TAVEX_TESTING_CRITICAL_VALUES_H
#define TAVEX_TESTING_CRITICAL_VALUES_H

namespace Tavex {

// The critical values the tests, the reliability measures and the reports
// read; cleared by the project reset and filled by each run before its
// tests. The confidences are 1 − α of their test, not α. The critical values
// of the b-dimensional tests are in F(b, ∞) form (the chi-square quantile
// divided by b), compared against a test statistic per unit variance.
struct CriticalValues {
    double lambda0 = 0.0;      // non-centrality parameter λ0
    double criticalW = 0.0;    // W-test, compared against |w|
    double criticalT2 = 0.0;   // T-test of two-dimensional groups
    double criticalT3 = 0.0;   // T-test of three-dimensional groups
    double criticalF = 0.0;    // F-test (b = redundancy); the loop test's 2D value
    double confidenceT2 = 0.0; // 1 − α for b = 2
    double confidenceT3 = 0.0; // 1 − α for b = 3
    double confidenceF = 0.0;  // 1 − α of the criticalF slot
};

// The B-method values for a test of dimension b (the number of degrees of
// freedom of its statistic), significance level 0 < α0 < 1 of the W-test and
// power 0 < β < 1:
//   criticalW   = Φ⁻¹(1 − α0/2)                        (two-sided W-test)
//   lambda0     = (criticalW + Φ⁻¹(β))²
//   confidenceB = P(χ²_b <= c·q) = 1 − α_b, where the non-central χ²(b, λ0)
//                 is approximated by c·χ²_ν (Patnaik, 1949) with
//                 c = (b + 2λ0)/(b + λ0), ν = (b + λ0)²/(b + 2λ0), and
//                 q = χ²_ν quantile at 1 − β, linearly interpolated between
//                 ⌊ν⌋ and ⌊ν⌋ + 1 degrees of freedom;
//   criticalB   = χ²_b quantile at confidenceB, divided by b.
// All quantiles are those of distributions.h, so criticalW is 3.2931 for
// α0 = 0.001. For b = 0 criticalB and confidenceB are 0 and only criticalW and
// lambda0 are set. b = 1 reproduces α ≈ α0 and criticalB ≈ criticalW².
//
// Returns false, with all four outputs 0, when α0 or β is not a finite value
// inside (0, 1), when b or ν exceeds kMaxDegreesOfFreedom, when an
// intermediate value is not finite (also when 1 − α0/2 or confidenceB rounds
// to 1, for α0 below about 1e-16), or when 1 − β is so small (<= 1e-7) that
// the quantile q is 0 and the test would reject everything.
// When confidenceB lies above the chi-square distribution at the end of the
// quantile's search interval (b = 1 with α0 below about 4.7e-4, b = 2 below
// 3.7e-5, b = 3 below 5.4e-6) criticalB saturates at that end divided by b,
// below its true value; see InverseChiSquare.
bool ComputeCriticalValues(unsigned b, double alpha0, double beta, double& lambda0,
                           double& criticalW, double& criticalB, double& confidenceB);

// The adjustment run: b = 2 into the T2 slots, b = 3 into the T3 slots and
// b = redundancy = observationRows − unknowns into the F slots (lambda0 and
// criticalW are written each time with the same values). When the unknowns
// are not fewer than the rows the F slots are 0, as for a redundancy of 0:
// the F-test is then not made and its critical value not printed.
// Returns false, with the slots of this run cleared to 0, when
// ComputeCriticalValues fails; the other slots are left as they were.
bool ComputeAdjustmentCriticalValues(double alpha0, double beta, unsigned observationRows,
                                     unsigned unknowns, CriticalValues& values);

// The pre-run: b = redundancy into the F slots, otherwise as above.
bool ComputePreRunCriticalValues(double alpha0, double beta, unsigned observationRows,
                                 unsigned unknowns, CriticalValues& values);

// The loop-misclosure run: b = 2 into lambda0, criticalW and the F slots,
// which the loop test uses as its two-dimensional critical value.
bool ComputeLoopCriticalValues(double alpha0, double beta, CriticalValues& values);

} // namespace Tavex

#endif // TAVEX_TESTING_CRITICAL_VALUES_H
