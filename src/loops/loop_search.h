// The search for independent shortest loops in a station graph.
//
// Rounds of shortest loops. A round takes the edges in table order (see
// station_graph.h) and, for every edge e = (a, b) that no loop of the round
// runs over yet, searches breadth-first from b over the round's edges
// except e until a is reached: a, b and the stations back to a along the
// predecessors form the shortest loop through e, counted in legs. The loop
// is recorded and e becomes its pivot. The first round runs on the whole
// graph; every further round runs on the graph without the pivots of the
// rounds before it. The search stops as soon as LoopsWanted() loops are
// recorded.
//
// Why this gives independent loops. A loop's pivot lies on no loop recorded
// before it in its round (it was unused when its loop was found) and on no
// loop of a later round (those rounds no longer have the edge). Over the
// field of two elements, take the loops of later rounds first and, within a
// round, in recording order: each loop then holds its own pivot and no pivot
// of a loop before it, so no sum of loops vanishes. As many independent loops
// as the graph's cycle space has dimensions are therefore a cycle basis, and
// rounds always reach that number: while loops are missing, the graph of
// the current round still carries a loop, whose edges are no bridge of it.
//
// The first round is the classical search for the shortest loop through
// every edge in table order. On most networks it finds most loops; the
// rounds after it take the place of a search restricted to earlier edges,
// which gives the same count of loops but can repeat loops already found.
// A loop through an unused edge can never repeat an earlier one, so no check
// for duplicates is needed.
//
// Cost. Each search stops at the first station that reaches a, so it visits
// the neighbourhood of e up to the loop's length. Bridges are found once per
// round (graph_bridges.h) and left out of the round, so a search never runs
// through the tree-like parts of a graph that carry no loop.
#ifndef TAVEX_LOOPS_LOOP_SEARCH_H
#define TAVEX_LOOPS_LOOP_SEARCH_H

#include "loops/station_graph.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace Tavex {

// Loops in flat form: loop k is stations[start[k]] .. stations[start[k + 1] - 1].
struct LoopSet {
    std::vector<std::uint32_t> start{0};
    std::vector<std::uint32_t> stations;

    std::size_t Count() const { return start.size() - 1; }
    std::size_t Size(std::size_t k) const { return start[k + 1] - start[k]; }
    const std::uint32_t* Stations(std::size_t k) const { return stations.data() + start[k]; }
};

// Called after each recorded loop with the number recorded so far and the
// number wanted; returning false stops the search (the run was cancelled).
using LoopFound = std::function<bool(std::size_t found, std::size_t wanted)>;

// Finds graph.LoopsWanted() independent loops. Returns false only when
// onFound stopped the search. Throws std::bad_alloc when memory runs out.
bool SearchLoops(const StationGraph& graph, LoopSet& loops, const LoopFound& onFound);

} // namespace Tavex

#endif
