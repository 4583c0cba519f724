#include "testing/critical_values.h"
#include "testing/distributions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

// Reference values: the B-method evaluated once in 40-digit arithmetic with an
// independent arbitrary-precision library (the same normal approximation,
// exact chi-square quantiles and distribution). The kernel's quantile stops at
// 1e-7 in probability, which allows about 1e-4 in the critical values.

namespace Tavex {
namespace {

constexpr double kAlpha0 = 0.001;
constexpr double kBeta = 0.80;
constexpr double kLambda0 = 17.074775275623;
constexpr double kCriticalW = 3.293079755483;

struct BValues {
    double lambda0 = -1, criticalW = -1, criticalB = -1, confidenceB = -1;
    bool ok = false;
};

BValues Compute(unsigned b, double alpha0 = kAlpha0, double beta = kBeta) {
    BValues v;
    v.ok =
        ComputeCriticalValues(b, alpha0, beta, v.lambda0, v.criticalW, v.criticalB, v.confidenceB);
    return v;
}

TEST(ComputeCriticalValues, DefaultsGiveTheWTestValueAndLambda0) {
    const BValues v = Compute(2);
    ASSERT_TRUE(v.ok);
    EXPECT_NEAR(v.criticalW, 3.2931, 5e-5);
    EXPECT_NEAR(v.criticalW, kCriticalW, 1e-9);
    EXPECT_NEAR(v.lambda0, 17.0748, 5e-5);
    EXPECT_NEAR(v.lambda0, kLambda0, 1e-9);
}

TEST(ComputeCriticalValues, MultiDimensionalTestsDetectTheSameErrorWithTheSamePower) {
    const struct {
        unsigned b;
        double alpha, critical;
    } table[] = {
        {2, 0.00272566458, 5.90504299661},   {3, 0.00531961599, 4.23505154699},
        {10, 0.03998339937, 1.90220584536},  {60, 0.29620838874, 1.08922243498},
        {100, 0.39550596898, 1.03114096175},
    };
    for (const auto& row : table) {
        const BValues v = Compute(row.b);
        ASSERT_TRUE(v.ok) << row.b;
        EXPECT_NEAR(1.0 - v.confidenceB, row.alpha, 1e-7) << row.b;
        EXPECT_NEAR(v.criticalB, row.critical, 1e-4) << row.b;
    }
    // the rounded values quoted for the defaults
    EXPECT_NEAR(Compute(2).criticalB, 5.91, 0.005);
    EXPECT_NEAR(Compute(3).criticalB, 4.24, 0.005);
    EXPECT_NEAR(1.0 - Compute(2).confidenceB, 0.0027, 5e-5);
    EXPECT_NEAR(1.0 - Compute(3).confidenceB, 0.0053, 5e-5);
}

TEST(ComputeCriticalValues, OneDimensionReproducesTheWTest) {
    const BValues v = Compute(1);
    ASSERT_TRUE(v.ok);
    EXPECT_NEAR(1.0 - v.confidenceB, 0.00095128594, 1e-7);
    EXPECT_NEAR(1.0 - v.confidenceB, kAlpha0, 0.1 * kAlpha0);
    EXPECT_NEAR(v.criticalB, 10.920058724, 5e-4);
    EXPECT_NEAR(v.criticalB, kCriticalW * kCriticalW, 0.01 * v.criticalB);
}

TEST(ComputeCriticalValues, SmallSignificanceLevelsKeepTheirCriticalValue) {
    // With α0 = 1e-4 the one-dimensional quantile lies beyond the chi-square
    // search's first interval; the value must still be about criticalW².
    double lambda0 = 0, criticalW = 0, criticalB = 0, confidenceB = 0;
    ASSERT_TRUE(ComputeCriticalValues(1, 1e-4, 0.8, lambda0, criticalW, criticalB, confidenceB));
    EXPECT_NEAR(criticalB, criticalW * criticalW, 0.02 * criticalB);
    EXPECT_GT(criticalB, 14.5);
}

TEST(ComputeCriticalValues, ZeroDimensionsSetOnlyTheWTestAndLambda0) {
    const BValues v = Compute(0);
    ASSERT_TRUE(v.ok);
    EXPECT_NEAR(v.criticalW, kCriticalW, 1e-9);
    EXPECT_NEAR(v.lambda0, kLambda0, 1e-9);
    EXPECT_EQ(v.criticalB, 0.0);
    EXPECT_EQ(v.confidenceB, 0.0);
}

TEST(ComputeCriticalValues, InvalidLevelsFailAndClearTheOutputs) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (double bad : {0.0, 1.0, -0.1, 1.5, nan, inf}) {
        for (const BValues& v : {Compute(2, bad, kBeta), Compute(2, kAlpha0, bad)}) {
            EXPECT_FALSE(v.ok) << bad;
            EXPECT_EQ(v.lambda0, 0.0);
            EXPECT_EQ(v.criticalW, 0.0);
            EXPECT_EQ(v.criticalB, 0.0);
            EXPECT_EQ(v.confidenceB, 0.0);
        }
    }
    // 1 − α0/2 rounds to 1: no W-test quantile
    EXPECT_FALSE(Compute(2, 1e-20, kBeta).ok);
    // 1 − β below the quantile's threshold: every test would reject
    EXPECT_FALSE(Compute(2, kAlpha0, 1.0 - 1e-8).ok);
}

TEST(ComputeCriticalValues, WrappedNegativeRedundancyFailsQuickly) {
    const BValues v = Compute(std::numeric_limits<unsigned>::max());
    EXPECT_FALSE(v.ok);
    EXPECT_EQ(v.criticalW, 0.0);
}

CriticalValues Sentinels() {
    CriticalValues values;
    values.lambda0 = values.criticalW = -1.0;
    values.criticalT2 = values.criticalT3 = values.criticalF = -1.0;
    values.confidenceT2 = values.confidenceT3 = values.confidenceF = -1.0;
    return values;
}

TEST(RunCriticalValues, AdjustmentFillsTheTwoThreeAndRedundancySlots) {
    CriticalValues values = Sentinels();
    ASSERT_TRUE(ComputeAdjustmentCriticalValues(kAlpha0, kBeta, 100, 40, values));
    EXPECT_NEAR(values.lambda0, kLambda0, 1e-9);
    EXPECT_NEAR(values.criticalW, kCriticalW, 1e-9);
    EXPECT_NEAR(values.criticalT2, 5.90504299661, 1e-4);
    EXPECT_NEAR(1.0 - values.confidenceT2, 0.00272566458, 1e-7);
    EXPECT_NEAR(values.criticalT3, 4.23505154699, 1e-4);
    EXPECT_NEAR(1.0 - values.confidenceT3, 0.00531961599, 1e-7);
    EXPECT_NEAR(values.criticalF, 1.08922243498, 1e-4); // b = 60
    EXPECT_NEAR(1.0 - values.confidenceF, 0.29620838874, 1e-7);
}

TEST(RunCriticalValues, NoRedundancyLeavesTheFSlotsZero) {
    for (unsigned unknowns : {40u, 41u, 4000000000u}) {
        CriticalValues values = Sentinels();
        ASSERT_TRUE(ComputeAdjustmentCriticalValues(kAlpha0, kBeta, 40, unknowns, values));
        EXPECT_EQ(values.criticalF, 0.0) << unknowns;
        EXPECT_EQ(values.confidenceF, 0.0) << unknowns;
        EXPECT_NEAR(values.criticalT2, 5.90504299661, 1e-4);
    }
}

TEST(RunCriticalValues, PreRunFillsOnlyTheRedundancySlots) {
    CriticalValues values = Sentinels();
    ASSERT_TRUE(ComputePreRunCriticalValues(kAlpha0, kBeta, 13, 3, values));
    EXPECT_NEAR(values.criticalW, kCriticalW, 1e-9);
    EXPECT_NEAR(values.criticalF, 1.90220584536, 1e-4); // b = 10
    EXPECT_EQ(values.criticalT2, -1.0);
    EXPECT_EQ(values.criticalT3, -1.0);
    EXPECT_EQ(values.confidenceT2, -1.0);
}

TEST(RunCriticalValues, LoopsPutTheTwoDimensionalValuesIntoTheFSlots) {
    CriticalValues values = Sentinels();
    ASSERT_TRUE(ComputeLoopCriticalValues(kAlpha0, kBeta, values));
    EXPECT_NEAR(values.criticalW, kCriticalW, 1e-9);
    EXPECT_NEAR(values.criticalF, 5.90504299661, 1e-4);
    EXPECT_NEAR(1.0 - values.confidenceF, 0.00272566458, 1e-7);
    EXPECT_EQ(values.criticalT2, -1.0);
}

TEST(RunCriticalValues, FailureClearsTheSlotsOfTheRun) {
    CriticalValues values = Sentinels();
    EXPECT_FALSE(ComputeAdjustmentCriticalValues(0.0, kBeta, 100, 40, values));
    EXPECT_EQ(values.lambda0, 0.0);
    EXPECT_EQ(values.criticalT2, 0.0);
    EXPECT_EQ(values.confidenceT3, 0.0);
    EXPECT_EQ(values.criticalF, 0.0);

    values = Sentinels();
    EXPECT_FALSE(ComputePreRunCriticalValues(kAlpha0, 2.0, 100, 40, values));
    EXPECT_EQ(values.criticalF, 0.0);
    EXPECT_EQ(values.criticalT2, -1.0);
}

} // namespace
} // namespace Tavex
