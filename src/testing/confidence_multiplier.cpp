#include "testing/confidence_multiplier.h"

#include "testing/distributions.h"

#include <cmath>
#include <limits>

namespace Tavex {

namespace {

// The default report levels (one-dimensional standard deviation and standard
// ellipse), for which the multiplier is exactly 1.
constexpr double kStandardLevel1D = 0.683;
constexpr double kStandardLevel2D = 0.394;

} // namespace

double MultiplierConfidenceValue(double p, unsigned dim) {
    if (!(p > 0.0 && p < 1.0) || dim == 0) {
        return std::numeric_limits<double>::quiet_NaN(); // also NaN p
    }
    if (dim == 1) {
        if (p == kStandardLevel1D) {
            return 1.0;
        }
        return std::fabs(InverseNormal((1.0 - p) / 2.0)); // two-sided interval
    }
    if (dim == 2 && p == kStandardLevel2D) {
        return 1.0;
    }
    return std::sqrt(InverseChiSquare(p, dim)); // NaN above kMaxDegreesOfFreedom
}

} // namespace Tavex
