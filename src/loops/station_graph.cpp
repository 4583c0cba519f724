#include "loops/station_graph.h"

#include <algorithm>
#include <numeric>

namespace Tavex {

namespace {

// Compressed adjacency of n + 1 stations over edges given by their ends.
void BuildAdjacency(std::size_t stationSlots, const std::vector<std::uint32_t>& a,
                    const std::vector<std::uint32_t>& b, std::vector<std::uint32_t>& start,
                    std::vector<std::uint32_t>& adjacency) {
    start.assign(stationSlots + 1, 0);
    for (std::size_t e = 0; e < a.size(); ++e) {
        ++start[a[e] + 1];
        ++start[b[e] + 1];
    }
    std::partial_sum(start.begin(), start.end(), start.begin());
    adjacency.resize(2 * a.size());
    std::vector<std::uint32_t> next(start.begin(), start.end() - 1);
    // Edges enter each list in the order of their index.
    for (std::size_t e = 0; e < a.size(); ++e) {
        adjacency[next[a[e]]++] = static_cast<std::uint32_t>(e);
        adjacency[next[b[e]]++] = static_cast<std::uint32_t>(e);
    }
}

// Marks the legs that survive pruning and leaves the degrees of the 2-core.
std::vector<char> PruneToCore(const LegTable& legs, std::size_t stationSlots,
                              std::vector<std::uint32_t>& degree) {
    std::vector<std::uint32_t> start, adjacency;
    BuildAdjacency(stationSlots, legs.first, legs.second, start, adjacency);
    degree.assign(stationSlots, 0);
    for (std::size_t s = 0; s < stationSlots; ++s)
        degree[s] = start[s + 1] - start[s];
    std::vector<char> alive(legs.Count(), 1);
    std::vector<std::uint32_t> queue;
    for (std::size_t s = 0; s < stationSlots; ++s)
        if (degree[s] == 1)
            queue.push_back(static_cast<std::uint32_t>(s));
    // Remove a station of degree 1 with its one live edge; its neighbour may
    // drop to degree 1 in turn.
    while (!queue.empty()) {
        const std::uint32_t s = queue.back();
        queue.pop_back();
        if (degree[s] != 1)
            continue;
        for (std::uint32_t k = start[s]; k < start[s + 1]; ++k) {
            const std::uint32_t e = adjacency[k];
            if (!alive[e])
                continue;
            alive[e] = 0;
            const std::uint32_t other = legs.first[e] == s ? legs.second[e] : legs.first[e];
            degree[s] = 0;
            if (--degree[other] == 1)
                queue.push_back(other);
            break;
        }
    }
    return alive;
}

std::uint32_t Root(std::vector<std::uint32_t>& parent, std::uint32_t s) {
    while (parent[s] != s) {
        parent[s] = parent[parent[s]];
        s = parent[s];
    }
    return s;
}

std::uint32_t CountComponents(const StationGraph& g) {
    std::vector<std::uint32_t> parent(g.degree.size());
    std::iota(parent.begin(), parent.end(), 0u);
    std::uint32_t components = g.stations;
    for (const GraphEdge& e : g.edges) {
        const std::uint32_t x = Root(parent, e.first), y = Root(parent, e.second);
        if (x != y) {
            parent[x] = y;
            --components;
        }
    }
    return components;
}

} // namespace

void RebuildAdjacency(StationGraph& g) {
    std::vector<std::uint32_t> a(g.edges.size()), b(g.edges.size());
    for (std::size_t e = 0; e < g.edges.size(); ++e) {
        a[e] = g.edges[e].first;
        b[e] = g.edges[e].second;
    }
    BuildAdjacency(g.degree.size(), a, b, g.adjacencyStart, g.adjacency);
}

StationGraph BuildStationGraph(const LegTable& legs, unsigned stationCount) {
    const std::size_t slots = static_cast<std::size_t>(stationCount) + 1;
    StationGraph g;
    const std::vector<char> alive = PruneToCore(legs, slots, g.degree);

    // The edge table: ends by degree, connectivity, sorted descending.
    for (std::size_t k = 0; k < legs.Count(); ++k) {
        if (!alive[k])
            continue;
        GraphEdge e;
        e.first = legs.first[k];
        e.second = legs.second[k];
        if (g.degree[e.second] > g.degree[e.first])
            std::swap(e.first, e.second);
        e.connectivity = g.degree[e.first] + g.degree[e.second] - 2;
        e.leg = static_cast<std::uint32_t>(k);
        g.edges.push_back(e);
    }
    std::stable_sort(g.edges.begin(), g.edges.end(), [](const GraphEdge& x, const GraphEdge& y) {
        return x.connectivity > y.connectivity;
    });

    RebuildAdjacency(g);
    g.stations = static_cast<std::uint32_t>(
        std::count_if(g.degree.begin(), g.degree.end(), [](std::uint32_t d) { return d > 0; }));
    g.components = CountComponents(g);
    return g;
}

} // namespace Tavex
