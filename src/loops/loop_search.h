// The search for independent shortest loops in a station graph.
//
// Passes of shortest loops. A pass takes the edges in table order (see
// station_graph.h) and, for every edge e = (a, b) that no recorded loop runs
// over yet (its loop count is 0), searches breadth-first from b over all
// edges except e until a is reached: a, b and the stations back to a along
// the predecessors form the shortest loop through e, counted in legs. The
// loop is recorded and e becomes its pivot. Between the first and the second
// pass the edges are sorted by loop count, ascending. Both passes stop as
// soon as LoopsWanted() loops are recorded.
//
// Why these loops are independent. A loop's pivot lies on no loop recorded
// before it. Over the field of two elements, the latest loop of any sum
// holds its pivot and no earlier loop of the sum does, so no sum of
// recorded loops vanishes.
//
// The restricted pass. When the passes leave loops missing, the edges are
// sorted by connectivity, descending, and every edge e, in table order, is
// searched again with every later edge in the table left out, so that the
// loop closes over edges that come earlier. Left to itself such a pass can
// record a loop that is the sum of loops already recorded (two squares of a
// cube recorded in the passes, and then the hexagon round both). To keep
// every loop independent the pass also leaves out the pivots of the loops
// recorded before it: in the graph without them, whose loops number exactly
// what is missing (each pivot, removed latest first, still lies on its own
// loop), a loop through e over earlier edges holds e as its last edge, so
// these loops are independent of each other and of the recorded ones. A
// union-find over the earlier edges tells, before any search, whether e
// closes a loop at all. Edges whose two stations both have degree 2
// (connectivity 2) come last in the table and are searched last.
//
// Duplicates. A loop whose sorted stations equal those of a recorded loop of
// the same length is dropped.
//
// Cost. Each search stops at the first station that reaches a, so it visits
// the neighbourhood of e up to the loop's length. Bridges are found once and
// left out, so no search runs through the tree-like parts of a graph that
// carry no loop.
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
    std::uint32_t* Stations(std::size_t k) { return stations.data() + start[k]; }
};

// Called after each recorded loop with the number recorded so far and the
// number wanted; returning false stops the search (the run was cancelled).
using LoopFound = std::function<bool(std::size_t found, std::size_t wanted)>;

// Finds graph.LoopsWanted() independent loops (fewer only when a loop of
// the restricted pass was dropped as a duplicate). The graph's edge table is
// reordered by the passes. Returns false only when onFound stopped the
// search. Throws std::bad_alloc when memory runs out.
bool SearchLoops(StationGraph& graph, LoopSet& loops, const LoopFound& onFound);

} // namespace Tavex

#endif
