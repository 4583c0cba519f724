#include "testing/observation_tests.h"
#include "testing/test_records.h"

#include <Eigen/Dense>
#include <gtest/gtest.h>

namespace Tavex {
namespace {

TEST(TopTen, DecreasingKeysWithTheFirstInTableOrderWinningTies) {
    std::vector<RankedIndex> candidates;
    for (std::uint32_t k = 1; k <= 14; ++k)
        candidates.push_back({k, static_cast<double>(k % 5)});
    const std::vector<RankedIndex> top = TopTen(candidates);
    ASSERT_EQ(top.size(), 10u);
    const std::uint32_t expected[10] = {4, 9, 14, 3, 8, 13, 2, 7, 12, 1};
    for (int k = 0; k < 10; ++k)
        EXPECT_EQ(top[k].index, expected[k]) << k;
    EXPECT_EQ(TopTen({{7, 1.0}}).size(), 1u);
}

TEST(TestList, AmongEqualRatiosTheNewestComesFirst) {
    CTestList list;
    const double ratios[] = {1.5, 3.0, 1.5, 2.0, 1.5};
    for (std::uint32_t k = 0; k < 5; ++k) {
        CTest entry;
        entry.index = k + 1;
        entry.ratio = ratios[k];
        list.Insert(entry);
    }
    std::vector<std::uint32_t> order;
    for (const CTest& e : list.Entries())
        order.push_back(e.index);
    EXPECT_EQ(order, std::vector<std::uint32_t>({2, 4, 5, 3, 1}));
    list.Truncate(2);
    EXPECT_EQ(list.Entries().size(), 2u);
}

TEST(AntennaHeightTest, RejectedOnlyWhenTheUpComponentAloneExceeds) {
    CHTest h;
    h.w[0] = 1.0;
    h.w[1] = -2.0;
    h.w[2] = 4.0;
    EXPECT_TRUE(h.Rejected(3.29));
    h.w[1] = 3.5;
    EXPECT_FALSE(h.Rejected(3.29)) << "east rejected too: not an antenna height error";
    h.w[1] = 0.0;
    h.w[2] = 3.29;
    EXPECT_FALSE(h.Rejected(3.29));
}

TEST(GroupTest, MatchesTheDenseQuadraticForm) {
    // D packed as D11, D12, D22, D13, D23, D33.
    Eigen::Matrix3d D;
    D << 4.0, 0.5, -0.3, 0.5, 3.0, 0.2, -0.3, 0.2, 2.0;
    const double packed[6] = {D(0, 0), D(0, 1), D(1, 1), D(0, 2), D(1, 2), D(2, 2)};
    const Eigen::Vector3d y(1.2, -0.7, 2.5);
    double estimated[3];
    const double T = GroupTest(packed, y.data(), 3, 1e-12, estimated);
    const Eigen::Vector3d reference = D.ldlt().solve(y);
    EXPECT_NEAR(T, y.dot(reference) / 3.0, 1e-12);
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(estimated[k], reference(k), 1e-12);
    // Two dimensions use the leading block.
    const double T2 = GroupTest(packed, y.data(), 2, 1e-12, estimated);
    const Eigen::Vector2d y2 = y.head<2>();
    EXPECT_NEAR(T2, y2.dot(D.topLeftCorner<2, 2>().ldlt().solve(y2)) / 2.0, 1e-12);
    // One dimension: T = w² with ∇ = y / D.
    const double T1 = GroupTest(packed, y.data(), 1, 1e-12, estimated);
    EXPECT_NEAR(estimated[0], 1.2 / 4.0, 1e-15);
    EXPECT_NEAR(T1, 1.2 * 1.2 / 4.0, 1e-15);
}

TEST(GroupTest, ASingularBlockGivesZeroNotNaN) {
    const double packed[6] = {1.0, 1.0, 1.0, 0.0, 0.0, 1.0}; // rows 1 and 2 equal
    const double y[3] = {1.0, 2.0, 3.0};
    double estimated[3] = {9, 9, 9};
    EXPECT_EQ(GroupTest(packed, y, 3, 1e-12, estimated), 0.0);
    EXPECT_EQ(estimated[0], 0.0);
    EXPECT_EQ(estimated[2], 0.0);
}

} // namespace
} // namespace Tavex
