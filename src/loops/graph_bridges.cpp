#include "loops/graph_bridges.h"

#include <algorithm>

namespace Tavex {

namespace {

struct Frame {
    std::uint32_t station;
    std::uint32_t parentEdge; // the edge it was entered by; kNone for a root
    std::uint32_t next;       // position in its adjacency list
};

constexpr std::uint32_t kNone = 0xffffffffu;

} // namespace

std::vector<char> FindBridges(const StationGraph& g, const std::vector<char>& active) {
    const std::size_t slots = g.degree.size();
    std::vector<char> bridge(g.edges.size(), 0);
    // order[s]: discovery number (0 = not yet reached); low[s]: the smallest
    // discovery number reachable from s's subtree by at most one back edge.
    std::vector<std::uint32_t> order(slots, 0), low(slots, 0);
    std::vector<Frame> stack;
    std::uint32_t counter = 0;
    for (std::uint32_t root = 0; root < slots; ++root) {
        if (order[root] != 0 || g.degree[root] == 0)
            continue;
        order[root] = low[root] = ++counter;
        stack.push_back({root, kNone, g.adjacencyStart[root]});
        while (!stack.empty()) {
            Frame& f = stack.back();
            if (f.next < g.adjacencyStart[f.station + 1]) {
                const std::uint32_t e = g.adjacency[f.next++];
                if (!active[e] || e == f.parentEdge)
                    continue;
                const GraphEdge& edge = g.edges[e];
                const std::uint32_t other = edge.first == f.station ? edge.second : edge.first;
                if (order[other] == 0) {
                    order[other] = low[other] = ++counter;
                    stack.push_back({other, e, g.adjacencyStart[other]});
                } else {
                    low[f.station] = std::min(low[f.station], order[other]);
                }
                continue;
            }
            // Station finished: hand its low value to its parent; the edge
            // in is a bridge when nothing below it reaches above it.
            const Frame done = f;
            stack.pop_back();
            if (stack.empty())
                continue;
            const std::uint32_t parent = stack.back().station;
            low[parent] = std::min(low[parent], low[done.station]);
            if (low[done.station] > order[parent])
                bridge[done.parentEdge] = 1;
        }
    }
    return bridge;
}

} // namespace Tavex
