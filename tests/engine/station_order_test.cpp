#include "engine/station_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <set>

namespace Tavex {
namespace {

StationOrder Identity(unsigned n) {
    std::vector<unsigned> stations(n);
    std::iota(stations.begin(), stations.end(), 1u);
    return StationOrder::FromStations(stations, n);
}

std::vector<unsigned> Order(unsigned n, const std::vector<StationPair>& edges,
                            MessageLog* log = nullptr) {
    StationOrder order = Identity(n);
    MessageLog local;
    ReorderStations(order, edges, n, log ? *log : local);
    return {order.stationAt.begin() + 1, order.stationAt.end()};
}

// Entries of the Cholesky factor (lower triangle with diagonal) when the
// stations are eliminated in the given order, by explicit elimination.
std::size_t FactorEntries(unsigned n, const std::vector<StationPair>& edges,
                          const std::vector<unsigned>& order) {
    std::vector<std::set<unsigned>> adjacent(n + 1);
    for (const auto& [a, b] : edges) {
        adjacent[a].insert(b);
        adjacent[b].insert(a);
    }
    std::vector<bool> eliminated(n + 1, false);
    std::size_t entries = 0;
    for (unsigned v : order) {
        std::vector<unsigned> remaining;
        for (unsigned w : adjacent[v])
            if (!eliminated[w])
                remaining.push_back(w);
        entries += 1 + remaining.size();
        for (unsigned a : remaining)
            for (unsigned b : remaining)
                if (a != b)
                    adjacent[a].insert(b);
        eliminated[v] = true;
    }
    return entries;
}

std::vector<StationPair> Grid(unsigned rows, unsigned cols) {
    std::vector<StationPair> edges;
    const auto id = [&](unsigned r, unsigned c) { return r * cols + c + 1; };
    for (unsigned r = 0; r < rows; ++r)
        for (unsigned c = 0; c < cols; ++c) {
            if (c + 1 < cols)
                edges.emplace_back(id(r, c), id(r, c + 1));
            if (r + 1 < rows)
                edges.emplace_back(id(r, c), id(r + 1, c));
            if (r + 1 < rows && c + 1 < cols)
                edges.emplace_back(id(r, c), id(r + 1, c + 1)); // triangulated
        }
    return edges;
}

TEST(StationOrdering, PathIsEliminatedFromItsFirstEnd) {
    EXPECT_EQ(Order(5, {{1, 2}, {2, 3}, {3, 4}, {4, 5}}), std::vector<unsigned>({1, 2, 3, 4, 5}));
    // The same path numbered from its middle: the ends go first, the first
    // end first.
    const std::vector<unsigned> order = Order(5, {{3, 1}, {1, 4}, {4, 2}, {2, 5}});
    EXPECT_EQ(order.front(), 3u);
    EXPECT_EQ(FactorEntries(5, {{3, 1}, {1, 4}, {4, 2}, {2, 5}}, order), 9u) << "no fill";
}

TEST(StationOrdering, StarEliminatesItsLeavesBeforeTheCentre) {
    const std::vector<StationPair> star = {{1, 2}, {1, 3}, {1, 4}, {1, 5}, {1, 6}};
    const std::vector<unsigned> order = Order(6, star);
    EXPECT_EQ(std::vector<unsigned>(order.begin(), order.begin() + 4),
              std::vector<unsigned>({2, 3, 4, 5}));
    EXPECT_EQ(FactorEntries(6, star, order), 11u) << "no fill";
    EXPECT_EQ(FactorEntries(6, star, {1, 2, 3, 4, 5, 6}), 21u) << "the centre first fills";
}

TEST(StationOrdering, TiesGoToTheEarlierStation) {
    EXPECT_EQ(Order(4, {{3, 4}, {1, 2}}), std::vector<unsigned>({1, 2, 3, 4}));
    EXPECT_EQ(Order(4, {{4, 3}, {2, 1}}), std::vector<unsigned>({1, 2, 3, 4}));
    // Square 1-2-3-4-1: every degree 2, station 1 first.
    EXPECT_EQ(Order(4, {{1, 2}, {2, 3}, {3, 4}, {4, 1}}).front(), 1u);
}

TEST(StationOrdering, GridFillIsNoWorseThanTheNaturalOrder) {
    for (unsigned size : {4u, 8u, 12u, 16u}) {
        const std::vector<StationPair> grid = Grid(size, size);
        const unsigned n = size * size;
        std::vector<unsigned> natural(n);
        std::iota(natural.begin(), natural.end(), 1u);
        const std::size_t qmd = FactorEntries(n, grid, Order(n, grid));
        const std::size_t plain = FactorEntries(n, grid, natural);
        EXPECT_LE(qmd, plain) << size;
        if (size >= 12) {
            EXPECT_LT(qmd, plain * 3 / 4) << "minimum degree pays off on larger grids";
        }
    }
}

TEST(StationOrdering, AlwaysAValidPermutation) {
    std::mt19937 rng(42);
    for (int trial = 0; trial < 300; ++trial) {
        const unsigned n = 2 + rng() % 60;
        const unsigned edges = rng() % (4 * n);
        std::vector<StationPair> pairs;
        for (unsigned e = 0; e < edges; ++e)
            pairs.emplace_back(1 + rng() % n, 1 + rng() % n);
        std::vector<unsigned> order = Order(n, pairs);
        ASSERT_EQ(order.size(), n);
        std::sort(order.begin(), order.end());
        for (unsigned p = 0; p < n; ++p)
            ASSERT_EQ(order[p], p + 1) << "trial " << trial;
    }
}

TEST(StationOrdering, EveryStepEliminatesAStationOfMinimumDegree) {
    // The defining property, checked on the explicit elimination graph: when
    // a station is eliminated, no remaining station has a smaller degree.
    std::mt19937 rng(7);
    for (int trial = 0; trial < 200; ++trial) {
        const unsigned n = 3 + rng() % 40;
        std::vector<StationPair> pairs;
        for (unsigned e = 0, edges = rng() % (3 * n); e < edges; ++e)
            pairs.emplace_back(1 + rng() % n, 1 + rng() % n);
        const std::vector<unsigned> order = Order(n, pairs);
        std::vector<std::set<unsigned>> adjacent(n + 1);
        for (const auto& [a, b] : pairs)
            if (a != b) {
                adjacent[a].insert(b);
                adjacent[b].insert(a);
            }
        std::vector<bool> gone(n + 1, false);
        for (unsigned v : order) {
            std::size_t smallest = n;
            for (unsigned w = 1; w <= n; ++w)
                if (!gone[w])
                    smallest = std::min(smallest, adjacent[w].size());
            ASSERT_EQ(adjacent[v].size(), smallest) << "trial " << trial << " station " << v;
            for (unsigned a : adjacent[v])
                for (unsigned b : adjacent[v])
                    if (a != b)
                        adjacent[a].insert(b);
            for (unsigned a : adjacent[v])
                adjacent[a].erase(v);
            adjacent[v].clear();
            gone[v] = true;
        }
    }
}

TEST(StationOrdering, RepeatedAndReversedPairsMakeOneEdge) {
    // 1-2 given three times must not count as degree 3 for station 1.
    const std::vector<unsigned> order = Order(3, {{1, 2}, {2, 1}, {1, 2}, {2, 3}});
    EXPECT_EQ(order, std::vector<unsigned>({1, 2, 3}));
}

TEST(StationOrdering, StationsOutsideTheOrderAreLeftOut) {
    // Station 2 is excluded: it is not in the order and its pairs are no edges.
    StationOrder order = StationOrder::FromStations({1, 3, 4}, 4);
    MessageLog log;
    ReorderStations(order, {{3, 4}, {1, 2}, {2, 3}, {1, 3}}, 4, log);
    EXPECT_EQ(order.count, 3u);
    EXPECT_EQ(order.positionOf[2], 0u);
    std::vector<unsigned> stations(order.stationAt.begin() + 1, order.stationAt.end());
    std::sort(stations.begin(), stations.end());
    EXPECT_EQ(stations, std::vector<unsigned>({1, 3, 4}));
    for (unsigned p = 1; p <= 3; ++p)
        EXPECT_EQ(order.positionOf[order.stationAt[p]], p);
}

TEST(StationOrdering, TooManyNeighboursKeepTheOrderWithWarning403) {
    // A complete graph on 45 stations needs 1980 adjacency entries, more than
    // 20 per station.
    std::vector<StationPair> complete;
    for (unsigned a = 1; a <= 45; ++a)
        for (unsigned b = a + 1; b <= 45; ++b)
            complete.emplace_back(b, a);
    MessageLog log;
    std::vector<unsigned> order = Order(45, complete, &log);
    std::vector<unsigned> natural(45);
    std::iota(natural.begin(), natural.end(), 1u);
    EXPECT_EQ(order, natural);
    ASSERT_EQ(log.Count(), 1);
    EXPECT_EQ(log.Messages().GetAt(0)->Code, 403);
    EXPECT_EQ(log.Messages().GetAt(0)->Class, MSG_WARNING);
    EXPECT_EQ(log.Messages().GetAt(0)->Text.wstr(), L"未知点不能重新排序");
}

TEST(StationOrdering, OneStationIsLeftAlone) {
    StationOrder order = StationOrder::FromStations({7}, 9);
    MessageLog log;
    ReorderStations(order, {{7, 7}}, 9, log);
    EXPECT_EQ(order.stationAt[1], 7u);
    EXPECT_EQ(log.Count(), 0);
}

} // namespace
} // namespace Tavex
