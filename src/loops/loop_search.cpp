#include "loops/loop_search.h"

#include "loops/graph_bridges.h"

#include <algorithm>

namespace Tavex {

namespace {

constexpr std::uint32_t kNone = 0xffffffffu;

// Breadth-first search from b to a over the usable edges except one, with
// workspaces allocated once for every search of a run.
class ShortestLoop {
public:
    explicit ShortestLoop(const StationGraph& g)
        : g_(g), stamp_(g.degree.size(), 0), predecessor_(g.degree.size(), kNone) {}

    // The loop through edge e over the edges usable[] marks: a, b and the
    // predecessors of a back to b, in that order; empty when b cannot reach a.
    const std::vector<std::uint32_t>& Find(std::uint32_t e, const std::vector<char>& usable) {
        const GraphEdge& edge = g_.edges[e];
        const std::uint32_t a = edge.first, b = edge.second;
        loop_.clear();
        ++epoch_;
        queue_.clear();
        queue_.push_back(b);
        stamp_[b] = epoch_;
        for (std::size_t head = 0; head < queue_.size(); ++head) {
            const std::uint32_t s = queue_[head];
            for (std::uint32_t k = g_.adjacencyStart[s]; k < g_.adjacencyStart[s + 1]; ++k) {
                const std::uint32_t f = g_.adjacency[k];
                if (f == e || !usable[f])
                    continue;
                const GraphEdge& next = g_.edges[f];
                const std::uint32_t t = next.first == s ? next.second : next.first;
                if (stamp_[t] == epoch_)
                    continue;
                stamp_[t] = epoch_;
                predecessor_[t] = s;
                if (t == a)
                    return Walk(a, b);
                queue_.push_back(t);
            }
        }
        return loop_;
    }

private:
    const std::vector<std::uint32_t>& Walk(std::uint32_t a, std::uint32_t b) {
        // a, then from b along the search path to a's predecessor: the
        // predecessors of a lead back to b, so collect them and turn them.
        loop_.push_back(a);
        for (std::uint32_t s = predecessor_[a]; s != b; s = predecessor_[s])
            loop_.push_back(s);
        loop_.push_back(b);
        std::reverse(loop_.begin() + 1, loop_.end());
        return loop_;
    }

    const StationGraph& g_;
    std::vector<std::uint32_t> stamp_, predecessor_, queue_, loop_;
    std::uint32_t epoch_ = 0;
};

// The edge of the graph between stations s and t (adjacent in a loop).
std::uint32_t EdgeBetween(const StationGraph& g, std::uint32_t s, std::uint32_t t) {
    for (std::uint32_t k = g.adjacencyStart[s]; k < g.adjacencyStart[s + 1]; ++k) {
        const GraphEdge& e = g.edges[g.adjacency[k]];
        if ((e.first == s && e.second == t) || (e.first == t && e.second == s))
            return g.adjacency[k];
    }
    return kNone;
}

} // namespace

bool SearchLoops(const StationGraph& g, LoopSet& loops, const LoopFound& onFound) {
    const std::size_t wanted = g.LoopsWanted();
    ShortestLoop search(g);
    // Edges of the current round, and how many of its loops use each.
    std::vector<char> inRound(g.edges.size(), 1);
    std::vector<std::uint32_t> uses(g.edges.size());
    while (loops.Count() < wanted) {
        const std::size_t before = loops.Count();
        std::vector<char> usable = inRound;
        const std::vector<char> bridge = FindBridges(g, inRound);
        for (std::size_t e = 0; e < usable.size(); ++e)
            usable[e] = usable[e] && !bridge[e];
        std::fill(uses.begin(), uses.end(), 0u);
        std::vector<std::uint32_t> pivots;

        for (std::uint32_t e = 0; e < g.edges.size() && loops.Count() < wanted; ++e) {
            if (!usable[e] || uses[e] != 0)
                continue;
            const std::vector<std::uint32_t>& loop = search.Find(e, usable);
            if (loop.empty())
                continue; // cannot happen for an edge that is no bridge
            loops.stations.insert(loops.stations.end(), loop.begin(), loop.end());
            loops.start.push_back(static_cast<std::uint32_t>(loops.stations.size()));
            for (std::size_t i = 0; i < loop.size(); ++i) {
                const std::uint32_t f = EdgeBetween(g, loop[i], loop[(i + 1) % loop.size()]);
                if (f != kNone)
                    ++uses[f];
            }
            pivots.push_back(e);
            if (onFound && !onFound(loops.Count(), wanted))
                return false;
        }
        // A round without a loop would repeat itself for ever; by the
        // argument above it cannot happen while loops are missing.
        if (loops.Count() == before)
            break;
        for (std::uint32_t e : pivots)
            inRound[e] = 0;
    }
    return true;
}

} // namespace Tavex
