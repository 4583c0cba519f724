#include "testing/confidence_multiplier.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace Tavex {
namespace {

TEST(MultiplierConfidence, DefaultLevelsGiveExactlyOne) {
    EXPECT_EQ(MultiplierConfidenceValue(0.683, 1), 1.0);
    EXPECT_EQ(MultiplierConfidenceValue(0.394, 2), 1.0);
}

TEST(MultiplierConfidence, OtherLevelsAndDimensionsAreComputed) {
    // |Φ⁻¹(0.15845)| of the rational approximation, near but not exactly 1
    EXPECT_NEAR(MultiplierConfidenceValue(0.6831, 1), 0.9986548513, 1e-9);
    EXPECT_NEAR(MultiplierConfidenceValue(0.394, 1), 0.5130292004, 1e-9);
    // two dimensions: the quantile is −2 ln(1 − p), √(−2 ln 0.317) = 1.51582
    EXPECT_NEAR(MultiplierConfidenceValue(0.683, 2), 1.5158189240, 1e-5);
}

TEST(MultiplierConfidence, NinetyFivePercent) {
    EXPECT_NEAR(MultiplierConfidenceValue(0.95, 1), 1.9604, 5e-5);
    EXPECT_NEAR(MultiplierConfidenceValue(0.95, 2), 2.4477, 5e-5);
    EXPECT_NEAR(MultiplierConfidenceValue(0.95, 2), std::sqrt(-2.0 * std::log(0.05)), 1e-5);

    // three dimensions: the table quantile 7.814728; the density there is
    // 0.02241, so 1e-7 in probability allows 4.5e-6 in the quantile
    const double m3 = MultiplierConfidenceValue(0.95, 3);
    EXPECT_NEAR(m3, 2.80, 0.005);
    EXPECT_NEAR(m3 * m3, 7.814728, 1.5e-7 / 0.02241);
}

TEST(MultiplierConfidence, OutsideTheDomainIsNaN) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double p : {0.0, 1.0, -0.5, 1.5, nan}) {
        for (unsigned dim : {1u, 2u, 3u}) {
            EXPECT_TRUE(std::isnan(MultiplierConfidenceValue(p, dim))) << p << ", " << dim;
        }
    }
    EXPECT_TRUE(std::isnan(MultiplierConfidenceValue(0.95, 0)));
    EXPECT_TRUE(std::isnan(MultiplierConfidenceValue(0.683, 0)));
}

} // namespace
} // namespace Tavex
