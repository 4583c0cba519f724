#include "loops/loop_search.h"

#include "loops/graph_bridges.h"

#include <algorithm>
#include <numeric>
#include <unordered_map>

namespace Tavex {

namespace {

constexpr std::uint32_t kNone = 0xffffffffu;

// Breadth-first search from b to a, with workspaces allocated once for every
// search of a kind.
class ShortestLoop {
public:
    explicit ShortestLoop(const StationGraph& g)
        : g_(g), stamp_(g.degree.size(), 0), predecessor_(g.degree.size(), kNone) {}

    // The loop through edge e over the edges before `limit` in the table
    // that are neither bridges nor (with skipPivots) pivots, e itself left
    // out: a, b and the predecessors of a back to b, in that order; empty
    // when b cannot reach a.
    const std::vector<std::uint32_t>& Find(std::uint32_t e, std::uint32_t limit, bool skipPivots) {
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
                const GraphEdge& next = g_.edges[f];
                if (f == e || f >= limit || next.bridge || (skipPivots && next.pivot))
                    continue;
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

// Records loops, drops duplicates and keeps the loop counts of the edges.
class LoopRecorder {
public:
    LoopRecorder(StationGraph& g, LoopSet& loops, const LoopFound& onFound)
        : g_(g), loops_(loops), onFound_(onFound), wanted_(g.LoopsWanted()) {}

    bool Complete() const { return loops_.Count() >= wanted_; }
    bool Stopped() const { return stopped_; }

    // Records the loop found through edge pivot unless it duplicates one.
    void Record(const std::vector<std::uint32_t>& loop, std::uint32_t pivot) {
        sorted_.assign(loop.begin(), loop.end());
        std::sort(sorted_.begin(), sorted_.end());
        std::uint64_t key = sorted_.size();
        for (std::uint32_t s : sorted_)
            key = key * 0x9e3779b97f4a7c15ull + s;
        std::vector<std::uint32_t>& same = byKey_[key];
        for (std::uint32_t k : same)
            if (std::equal(sorted_.begin(), sorted_.end(), SortedStations(k),
                           SortedStations(k) + loops_.Size(k)) &&
                loops_.Size(k) == sorted_.size())
                return;
        same.push_back(static_cast<std::uint32_t>(loops_.Count()));
        sortedStations_.insert(sortedStations_.end(), sorted_.begin(), sorted_.end());
        loops_.stations.insert(loops_.stations.end(), loop.begin(), loop.end());
        loops_.start.push_back(static_cast<std::uint32_t>(loops_.stations.size()));
        for (std::size_t i = 0; i < loop.size(); ++i) {
            const std::uint32_t f = EdgeBetween(g_, loop[i], loop[(i + 1) % loop.size()]);
            if (f != kNone)
                ++g_.edges[f].loops;
        }
        g_.edges[pivot].pivot = true;
        if (onFound_ && !onFound_(loops_.Count(), wanted_))
            stopped_ = true;
    }

private:
    const std::uint32_t* SortedStations(std::uint32_t k) const {
        return sortedStations_.data() + loops_.start[k];
    }

    StationGraph& g_;
    LoopSet& loops_;
    const LoopFound& onFound_;
    std::size_t wanted_;
    bool stopped_ = false;
    std::vector<std::uint32_t> sorted_, sortedStations_;
    std::unordered_map<std::uint64_t, std::vector<std::uint32_t>> byKey_;
};

// One pass of shortest loops through the edges no loop runs over yet.
void ShortestLoopPass(StationGraph& g, ShortestLoop& search, LoopRecorder& recorder) {
    const std::uint32_t edges = static_cast<std::uint32_t>(g.edges.size());
    for (std::uint32_t e = 0; e < edges && !recorder.Complete() && !recorder.Stopped(); ++e) {
        if (g.edges[e].loops != 0 || g.edges[e].bridge)
            continue;
        const std::vector<std::uint32_t>& loop = search.Find(e, edges, false);
        if (!loop.empty())
            recorder.Record(loop, e);
    }
}

std::uint32_t Root(std::vector<std::uint32_t>& parent, std::uint32_t s) {
    while (parent[s] != s) {
        parent[s] = parent[parent[s]];
        s = parent[s];
    }
    return s;
}

// The restricted pass: loops that close over earlier edges, without the
// pivots of the loops recorded so far.
void RestrictedPass(StationGraph& g, ShortestLoop& search, LoopRecorder& recorder) {
    std::vector<std::uint32_t> parent(g.degree.size());
    std::iota(parent.begin(), parent.end(), 0u);
    const std::uint32_t edges = static_cast<std::uint32_t>(g.edges.size());
    for (std::uint32_t e = 0; e < edges && !recorder.Complete() && !recorder.Stopped(); ++e) {
        const GraphEdge& edge = g.edges[e];
        if (edge.bridge || edge.pivot)
            continue;
        const std::uint32_t x = Root(parent, edge.first), y = Root(parent, edge.second);
        if (x != y) { // e joins two parts of the earlier edges: no loop closes
            parent[x] = y;
            continue;
        }
        const std::vector<std::uint32_t>& loop = search.Find(e, e, true);
        if (!loop.empty())
            recorder.Record(loop, e);
    }
}

void SortAndReindex(StationGraph& g, bool byLoopCount) {
    if (byLoopCount)
        std::stable_sort(g.edges.begin(), g.edges.end(),
                         [](const GraphEdge& x, const GraphEdge& y) { return x.loops < y.loops; });
    else
        std::stable_sort(
            g.edges.begin(), g.edges.end(),
            [](const GraphEdge& x, const GraphEdge& y) { return x.connectivity > y.connectivity; });
    RebuildAdjacency(g);
}

} // namespace

bool SearchLoops(StationGraph& g, LoopSet& loops, const LoopFound& onFound) {
    LoopRecorder recorder(g, loops, onFound);
    if (recorder.Complete())
        return true;
    const std::vector<char> all(g.edges.size(), 1);
    const std::vector<char> bridge = FindBridges(g, all);
    for (std::size_t e = 0; e < g.edges.size(); ++e)
        g.edges[e].bridge = bridge[e] != 0;

    ShortestLoop search(g);
    ShortestLoopPass(g, search, recorder);
    if (!recorder.Complete() && !recorder.Stopped()) {
        SortAndReindex(g, true);
        ShortestLoopPass(g, search, recorder);
    }
    if (!recorder.Complete() && !recorder.Stopped()) {
        SortAndReindex(g, false);
        RestrictedPass(g, search, recorder);
    }
    return !recorder.Stopped();
}

} // namespace Tavex
