#include "testing/distributions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

// Reference values: published normal and chi-square tables, closed forms
// (n = 1: erf, n = 2: exponential), and 40-digit evaluations of the regularised
// incomplete gamma function and its quantile made once with an independent
// arbitrary-precision library.

namespace Tavex {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Chi-square density, to turn the quantile's tolerance on the probability
// (1e-7, plus the series' own truncation) into a tolerance on x.
double ChiSquareDensity(double x, unsigned n) {
    const double a = n / 2.0;
    return std::exp((a - 1.0) * std::log(x) - x / 2.0 - a * std::log(2.0) - std::lgamma(a));
}

double QuantileTolerance(double exactQuantile, unsigned n) {
    return 1.5e-7 / ChiSquareDensity(exactQuantile, n);
}

TEST(InverseNormal, FollowsTheShortRationalApproximationNotTheExactQuantile) {
    // 26.2.22 evaluated in high precision; the exact quantile is 3.290527
    EXPECT_NEAR(InverseNormal(0.9995), 3.2930797555, 1e-9);
    EXPECT_NEAR(InverseNormal(0.8), 0.8390837548, 1e-9);
    EXPECT_NEAR(InverseNormal(0.025), -1.9604482737, 1e-9);
    EXPECT_NEAR(InverseNormal(0.975), 1.9604482737, 1e-9);
}

TEST(InverseNormal, StaysWithinThePublishedErrorOfTheApproximation) {
    // table values of the exact quantile; the approximation's error is < 3e-3
    const struct {
        double p, exact;
    } table[] = {{0.9995, 3.290527}, {0.975, 1.959964}, {0.8, 0.841621},
                 {0.6, 0.253347},    {0.1, -1.281552},  {1e-6, -4.753424}};
    for (const auto& row : table) {
        EXPECT_NEAR(InverseNormal(row.p), row.exact, 3e-3) << "p = " << row.p;
    }
}

TEST(InverseNormal, MedianTakesThePositiveBranch) {
    const double median = InverseNormal(0.5);
    EXPECT_GE(median, 0.0);
    EXPECT_LT(median, 1e-4);
}

TEST(InverseNormal, OutsideTheOpenUnitIntervalIsNaN) {
    for (double p : {0.0, 1.0, -0.1, 1.5, kNaN, kInf, -kInf}) {
        EXPECT_TRUE(std::isnan(InverseNormal(p))) << "p = " << p;
    }
}

TEST(LogGammaHalf, MatchesTheGammaFunctionAtHalfIntegers) {
    EXPECT_NEAR(LogGammaHalf(1), 0.5723649429247, 1e-12);  // ln √π
    EXPECT_DOUBLE_EQ(LogGammaHalf(2), 0.0);                // ln 0!
    EXPECT_NEAR(LogGammaHalf(3), -0.1207822376352, 1e-12); // ln(√π/2)
    EXPECT_NEAR(LogGammaHalf(10), 3.1780538303479, 1e-12); // ln 4!
    EXPECT_NEAR(LogGammaHalf(101), 146.5192554907206, 1e-10);
}

TEST(LogGammaHalf, RejectsZeroAndDegreesOfFreedomAboveTheBound) {
    EXPECT_TRUE(std::isnan(LogGammaHalf(0)));
    EXPECT_TRUE(std::isnan(LogGammaHalf(kMaxDegreesOfFreedom + 1)));
}

TEST(ChiSquareDistribution, MatchesClosedFormsForOneAndTwoDegrees) {
    for (double x : {1e-6, 0.001, 0.5, 1.0, 2.5, 7.0, 12.0, 30.0, 60.0}) {
        EXPECT_NEAR(ChiSquareDistribution(x, 1), std::erf(std::sqrt(x / 2.0)), 1e-6) << x;
        EXPECT_NEAR(ChiSquareDistribution(x, 2), 1.0 - std::exp(-x / 2.0), 1e-6) << x;
    }
}

TEST(ChiSquareDistribution, MatchesHighPrecisionValues) {
    const struct {
        double x;
        unsigned n;
        double P;
    } table[] = {
        {2.5, 3, 0.5247089166570},           {4.0, 4, 0.5939941502902},
        {11.07, 5, 0.9499903813776},         {18.307, 10, 0.9499994109086},
        {25.0, 30, 0.2749681158194},         {1000.0, 1000, 0.5059471461708},
        {100500.0, 100000, 0.8681451883966},
    };
    for (const auto& row : table) {
        EXPECT_NEAR(ChiSquareDistribution(row.x, row.n), row.P, 1e-6)
            << "x = " << row.x << ", n = " << row.n;
    }
}

TEST(ChiSquareDistribution, TinyArgumentsKeepTheirRelativeAccuracy) {
    EXPECT_EQ(ChiSquareDistribution(0.0, 3), 0.0);
    EXPECT_NEAR(ChiSquareDistribution(1e-300, 1) / 7.978845608028654e-151, 1.0, 1e-9);
    const double denormal = ChiSquareDistribution(5e-324, 1);
    EXPECT_TRUE(std::isfinite(denormal) && denormal >= 0.0 && denormal < 1e-160);
}

TEST(ChiSquareDistribution, FarUpperTailIsOneWithoutOverflow) {
    // around x = 1400 (n = 1) e^(x/2) overflows the series sum; the tail is 1e-303
    for (double x : {1300.0, 1388.0, 1400.0, 1e4, 1e300, std::numeric_limits<double>::max()}) {
        EXPECT_NEAR(ChiSquareDistribution(x, 1), 1.0, 1e-12) << x;
    }
    EXPECT_NEAR(ChiSquareDistribution(2e5, 100000), 1.0, 1e-12);
}

TEST(ChiSquareDistribution, OutsideTheDomainIsNaN) {
    for (double x : {-1e-300, -1.0, kNaN, kInf, -kInf}) {
        EXPECT_TRUE(std::isnan(ChiSquareDistribution(x, 3))) << x;
    }
    EXPECT_TRUE(std::isnan(ChiSquareDistribution(1.0, 0)));
    EXPECT_TRUE(std::isnan(ChiSquareDistribution(1.0, kMaxDegreesOfFreedom + 1)));
}

TEST(InverseChiSquare, ReachesTableQuantilesWithinItsProbabilityTolerance) {
    const struct {
        double p;
        unsigned n;
        double exact;
    } table[] = {
        {0.95, 3, 7.81472790325118}, {0.95, 2, 5.99146454710798},  {0.05, 10, 3.94029913611906},
        {0.5, 1, 0.454936423119573}, {0.99, 30, 50.8921813115171}, {0.5, 100000, 99999.3333341235},
    };
    for (const auto& row : table) {
        EXPECT_NEAR(InverseChiSquare(row.p, row.n), row.exact, QuantileTolerance(row.exact, row.n))
            << "p = " << row.p << ", n = " << row.n;
    }
}

TEST(InverseChiSquare, HugeDegreesOfFreedomKeepTheRelativeAccuracy) {
    // n/2 summed logarithms carry about 4e-6 of rounding into the probability
    // at the bound, but the quantile, which the critical values divide by n,
    // stays within 1e-7 relative
    const double exact = 10007357.14589926; // p = 0.95
    EXPECT_NEAR(InverseChiSquare(0.95, kMaxDegreesOfFreedom) / exact, 1.0, 1e-7);
}

TEST(InverseChiSquare, ProbabilitiesUpToTenToTheMinusSevenGiveZero) {
    for (unsigned n : {1u, 2u, 3u, 10u, 1000u}) {
        EXPECT_EQ(InverseChiSquare(5e-8, n), 0.0) << n;
        EXPECT_EQ(InverseChiSquare(0.0, n), 0.0) << n;
    }
    EXPECT_GT(InverseChiSquare(2e-7, 1), 0.0);
}

TEST(InverseChiSquare, ProbabilityBeyondTheFirstIntervalStillFindsTheQuantile) {
    // P(χ²₁ <= 1 + 8√2) = 0.99955 and P(χ²₂ <= 18) = 0.99988, so these
    // quantiles lie beyond the first search interval. True values: the square
    // of Φ⁻¹(0.99995) = 3.890592, and −2 ln(1e-5); the tolerance of 1e-7 on
    // the probability allows 0.002 and 0.02 in x there.
    EXPECT_NEAR(InverseChiSquare(0.9999, 1), 15.13671, 0.003);
    EXPECT_NEAR(InverseChiSquare(0.99999, 2), 23.02585, 0.03);
}

TEST(InverseChiSquare, OutsideTheDomainIsNaN) {
    for (double p : {-1e-8, -0.5, 1.0, 1.5, kNaN, kInf}) {
        EXPECT_TRUE(std::isnan(InverseChiSquare(p, 3))) << p;
    }
    EXPECT_TRUE(std::isnan(InverseChiSquare(0.5, 0)));
    EXPECT_TRUE(std::isnan(InverseChiSquare(0.5, kMaxDegreesOfFreedom + 1)));
    EXPECT_TRUE(std::isnan(InverseChiSquare(0.5, std::numeric_limits<unsigned>::max())));
}

} // namespace
} // namespace Tavex
