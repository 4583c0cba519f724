// The loop search on graphs given by their edges: pruning, the number of
// loops, their independence (rank over GF(2), computed here), and the exact
// loops of small cases.
#include "loops/loop_search.h"
#include "loops/station_graph.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <utility>

namespace Tavex {
namespace {

// A leg table of the given station pairs, one observation each.
LegTable Legs(std::vector<std::pair<std::uint32_t, std::uint32_t>> pairs) {
    for (auto& p : pairs)
        if (p.first > p.second)
            std::swap(p.first, p.second);
    std::sort(pairs.begin(), pairs.end());
    pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
    LegTable legs;
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        legs.first.push_back(pairs[k].first);
        legs.second.push_back(pairs[k].second);
        legs.start.push_back(static_cast<std::uint32_t>(k));
        legs.observations.push_back(static_cast<std::uint32_t>(k + 1));
    }
    legs.start.push_back(static_cast<std::uint32_t>(pairs.size()));
    return legs;
}

using Edge = std::pair<std::uint32_t, std::uint32_t>;

Edge Key(std::uint32_t a, std::uint32_t b) {
    return a < b ? Edge{a, b} : Edge{b, a};
}

// The rank over GF(2) of the loops as edge sets; also checks that every
// loop is a closed walk over edges of the table.
std::size_t Rank(const LegTable& legs, const LoopSet& loops) {
    std::map<Edge, std::size_t> column;
    for (std::size_t k = 0; k < legs.Count(); ++k)
        column[{legs.first[k], legs.second[k]}] = k;
    std::vector<std::vector<char>> rows;
    for (std::size_t l = 0; l < loops.Count(); ++l) {
        std::vector<char> row(legs.Count(), 0);
        const std::uint32_t* s = loops.Stations(l);
        const std::size_t n = loops.Size(l);
        EXPECT_GE(n, 3u);
        for (std::size_t i = 0; i < n; ++i) {
            const auto it = column.find(Key(s[i], s[(i + 1) % n]));
            EXPECT_TRUE(it != column.end()) << "no edge " << s[i] << "-" << s[(i + 1) % n];
            if (it != column.end())
                row[it->second] ^= 1;
        }
        rows.push_back(row);
    }
    std::size_t rank = 0;
    for (std::size_t c = 0; c < legs.Count() && rank < rows.size(); ++c) {
        std::size_t pivot = rank;
        while (pivot < rows.size() && !rows[pivot][c])
            ++pivot;
        if (pivot == rows.size())
            continue;
        std::swap(rows[rank], rows[pivot]);
        for (std::size_t r = 0; r < rows.size(); ++r)
            if (r != rank && rows[r][c])
                for (std::size_t k = 0; k < legs.Count(); ++k)
                    rows[r][k] ^= rows[rank][k];
        ++rank;
    }
    return rank;
}

// Number of connected parts among the stations that edges touch.
std::size_t Components(const std::vector<Edge>& edges) {
    std::map<std::uint32_t, std::uint32_t> parent;
    std::function<std::uint32_t(std::uint32_t)> root = [&](std::uint32_t s) {
        return parent[s] == s ? s : parent[s] = root(parent[s]);
    };
    for (const Edge& e : edges)
        parent.emplace(e.first, e.first), parent.emplace(e.second, e.second);
    std::size_t parts = parent.size();
    for (const Edge& e : edges) {
        const std::uint32_t x = root(e.first), y = root(e.second);
        if (x != y) {
            parent[x] = y;
            --parts;
        }
    }
    return parts;
}

LoopSet Search(const LegTable& legs, unsigned stations) {
    StationGraph graph = BuildStationGraph(legs, stations);
    LoopSet loops;
    EXPECT_TRUE(SearchLoops(graph, loops, nullptr));
    return loops;
}

std::set<std::uint32_t> StationSet(const LoopSet& loops, std::size_t k) {
    return {loops.Stations(k), loops.Stations(k) + loops.Size(k)};
}

TEST(LoopSearch, TriangleGivesOneLoop) {
    const LegTable legs = Legs({{1, 2}, {2, 3}, {3, 1}});
    const LoopSet loops = Search(legs, 3);
    ASSERT_EQ(loops.Count(), 1u);
    EXPECT_EQ(StationSet(loops, 0), (std::set<std::uint32_t>{1, 2, 3}));
}

TEST(LoopSearch, DanglingStationsArePruned) {
    // A triangle with a tail 3-4-5 and a spur 1-6.
    const LegTable legs = Legs({{1, 2}, {2, 3}, {3, 1}, {3, 4}, {4, 5}, {1, 6}});
    const StationGraph graph = BuildStationGraph(legs, 6);
    EXPECT_EQ(graph.edges.size(), 3u);
    EXPECT_EQ(graph.stations, 3u);
    EXPECT_EQ(graph.degree[4], 0u);
    EXPECT_EQ(graph.degree[5], 0u);
    EXPECT_EQ(graph.degree[6], 0u);
    const LoopSet loops = Search(legs, 6);
    ASSERT_EQ(loops.Count(), 1u);
    EXPECT_EQ(StationSet(loops, 0), (std::set<std::uint32_t>{1, 2, 3}));
}

TEST(LoopSearch, QuadrilateralWithDiagonalGivesItsTwoTriangles) {
    const LegTable legs = Legs({{1, 2}, {2, 3}, {3, 4}, {4, 1}, {1, 3}});
    const LoopSet loops = Search(legs, 4);
    ASSERT_EQ(loops.Count(), 2u); // 5 − 4 + 1
    std::set<std::set<std::uint32_t>> found = {StationSet(loops, 0), StationSet(loops, 1)};
    EXPECT_EQ(found, (std::set<std::set<std::uint32_t>>{{1, 2, 3}, {1, 3, 4}}));
}

TEST(LoopSearch, EdgesAreOrderedByConnectivity) {
    const LegTable legs = Legs({{1, 2}, {2, 3}, {3, 4}, {4, 1}, {1, 3}});
    const StationGraph graph = BuildStationGraph(legs, 4);
    // Stations 1 and 3 have degree 3: their edge first, with 3 + 3 − 2.
    EXPECT_EQ(graph.edges[0].connectivity, 4u);
    EXPECT_EQ(Key(graph.edges[0].first, graph.edges[0].second), Key(1, 3));
    for (std::size_t e = 1; e < graph.edges.size(); ++e) {
        EXPECT_EQ(graph.edges[e].connectivity, 3u);
        EXPECT_GE(graph.degree[graph.edges[e].first], graph.degree[graph.edges[e].second]);
    }
}

TEST(LoopSearch, CubeNeedsTheRestrictedPassAndStaysIndependent) {
    // The shortest loops through the edges of a cube can be four of its six
    // faces, covering every edge: the fifth loop comes from the restricted
    // pass and must not be the sum of two of them.
    const LegTable legs = Legs({{1, 2},
                                {2, 3},
                                {3, 4},
                                {4, 1},
                                {5, 6},
                                {6, 7},
                                {7, 8},
                                {8, 5},
                                {1, 5},
                                {2, 6},
                                {3, 7},
                                {4, 8}});
    const LoopSet loops = Search(legs, 8);
    EXPECT_EQ(loops.Count(), 5u);
    EXPECT_EQ(Rank(legs, loops), 5u);
}

TEST(LoopSearch, TwoLoopsJoinedByABridge) {
    const LegTable legs = Legs({{1, 2}, {2, 3}, {3, 1}, {3, 4}, {4, 5}, {5, 6}, {6, 4}});
    const LoopSet loops = Search(legs, 6);
    ASSERT_EQ(loops.Count(), 2u);
    EXPECT_EQ(Rank(legs, loops), 2u);
}

TEST(LoopSearch, SeparateNetworksEachKeepTheirLoops) {
    const LegTable legs = Legs({{1, 2}, {2, 3}, {3, 1}, {4, 5}, {5, 6}, {6, 4}, {4, 7}, {7, 5}});
    const LoopSet loops = Search(legs, 7);
    EXPECT_EQ(loops.Count(), 8u - 7u + 2u);
    EXPECT_EQ(Rank(legs, loops), 3u);
}

TEST(LoopSearch, NoLoopsInATree) {
    const LegTable legs = Legs({{1, 2}, {2, 3}, {2, 4}, {4, 5}});
    const LoopSet loops = Search(legs, 5);
    EXPECT_EQ(loops.Count(), 0u);
}

TEST(LoopSearch, LongSimpleLoopOfDegreeTwoStations) {
    std::vector<Edge> pairs;
    for (std::uint32_t s = 1; s <= 150; ++s)
        pairs.push_back({s, s % 150 + 1});
    const LoopSet loops = Search(Legs(pairs), 150);
    ASSERT_EQ(loops.Count(), 1u);
    EXPECT_EQ(loops.Size(0), 150u);
}

// Random networks: the count is edges − stations + parts of the pruned
// graph and the loops are independent; on connected ones that is
// edges − stations + 1 of the whole graph when nothing dangles.
TEST(LoopSearch, RandomNetworksGiveAFullSetOfIndependentLoops) {
    std::mt19937 random(7);
    for (int trial = 0; trial < 40; ++trial) {
        const std::uint32_t n = 5 + random() % 60;
        std::vector<Edge> edges;
        // A random spanning tree keeps the network connected, then extra
        // edges, some between near stations (short loops), some anywhere.
        for (std::uint32_t s = 2; s <= n; ++s)
            edges.push_back(Key(s, 1 + random() % (s - 1)));
        const std::uint32_t extra = random() % (2 * n);
        for (std::uint32_t k = 0; k < extra; ++k) {
            const std::uint32_t a = static_cast<std::uint32_t>(1 + random() % n);
            const std::uint32_t b =
                random() % 3 == 0
                    ? 1 + random() % n
                    : std::min<std::uint32_t>(n, static_cast<std::uint32_t>(a + 1 + random() % 4));
            if (a != b)
                edges.push_back(Key(a, b));
        }
        std::sort(edges.begin(), edges.end());
        edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
        const LegTable legs = Legs(edges);
        const std::size_t wanted = edges.size() - n + Components(edges);
        const LoopSet loops = Search(legs, n);
        EXPECT_EQ(loops.Count(), wanted) << "trial " << trial;
        EXPECT_EQ(Rank(legs, loops), wanted) << "trial " << trial;
    }
}

TEST(LoopSearch, GridWithDiagonalsGivesTriangles) {
    // A 10 × 10 grid with one diagonal per cell: every loop found is one of
    // the 162 triangles.
    const std::uint32_t side = 10;
    const auto at = [&](std::uint32_t r, std::uint32_t c) { return r * side + c + 1; };
    std::vector<Edge> edges;
    for (std::uint32_t r = 0; r < side; ++r)
        for (std::uint32_t c = 0; c < side; ++c) {
            if (c + 1 < side)
                edges.push_back(Key(at(r, c), at(r, c + 1)));
            if (r + 1 < side)
                edges.push_back(Key(at(r, c), at(r + 1, c)));
            if (r + 1 < side && c + 1 < side)
                edges.push_back(Key(at(r, c), at(r + 1, c + 1)));
        }
    const LegTable legs = Legs(edges);
    const LoopSet loops = Search(legs, side * side);
    EXPECT_EQ(loops.Count(), edges.size() - side * side + 1);
    EXPECT_EQ(Rank(legs, loops), loops.Count());
    for (std::size_t k = 0; k < loops.Count(); ++k)
        EXPECT_EQ(loops.Size(k), 3u);
}

TEST(LoopSearch, CancelledSearchStops) {
    const LegTable legs = Legs({{1, 2}, {2, 3}, {3, 4}, {4, 1}, {1, 3}});
    StationGraph graph = BuildStationGraph(legs, 4);
    LoopSet loops;
    EXPECT_FALSE(SearchLoops(graph, loops, [](std::size_t, std::size_t) { return false; }));
    EXPECT_EQ(loops.Count(), 1u);
}

} // namespace
} // namespace Tavex
