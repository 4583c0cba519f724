// The station graph of one loop family: its nodes are stations, its edges
// the legs of the family (loop_legs.h). Only the part that can carry loops
// is kept: stations of degree below 2 are removed with their edge, again and
// again, until none is left (the graph's 2-core).
//
// Stations of degree 2 on a chain are not collapsed into one edge: the
// search measures a loop's length in legs, and a collapsed chain would have
// to carry its number of legs anyway, so the full graph gives the same
// shortest loops without a second representation.
//
// Edge table. Each edge names its ends with the station of higher degree
// first (the lower station number on equal degrees); its connectivity is
// degree(first) + degree(second) − 2. The table is sorted by connectivity,
// descending, equal connectivities keeping the order of the station pairs
// (lower number, then higher). The loop search takes the edges in this
// order, so the loops through the best-connected stations come first.
#ifndef TAVEX_LOOPS_STATION_GRAPH_H
#define TAVEX_LOOPS_STATION_GRAPH_H

#include "loops/loop_legs.h"

#include <cstdint>
#include <vector>

namespace Tavex {

struct GraphEdge {
    std::uint32_t first = 0, second = 0; // station numbers
    std::uint32_t connectivity = 0;
    std::uint32_t leg = 0; // index into the family's LegTable
    // Kept by the loop search: the number of recorded loops over the edge,
    // and whether it is the pivot of one (the edge its loop was found
    // through) or a bridge (on no loop at all).
    std::uint32_t loops = 0;
    bool pivot = false;
    bool bridge = false;
};

struct StationGraph {
    std::vector<GraphEdge> edges; // in table order
    // Per station number 0..stationCount: its degree (0 when pruned) and
    // its edges, as indices into edges in table order:
    // adjacency[adjacencyStart[s]] .. adjacency[adjacencyStart[s + 1] - 1].
    std::vector<std::uint32_t> degree;
    std::vector<std::uint32_t> adjacencyStart;
    std::vector<std::uint32_t> adjacency;
    std::uint32_t stations = 0;   // stations left after pruning
    std::uint32_t components = 0; // connected parts of what is left

    // The number of independent loops: the dimension of the graph's cycle
    // space, edges − stations + components (0 for an empty graph).
    std::size_t LoopsWanted() const {
        return edges.empty() ? 0 : edges.size() + components - stations;
    }
};

// Rebuilds the adjacency lists after the edge table was reordered.
void RebuildAdjacency(StationGraph& graph);

// The pruned and ordered graph of the legs of a project with stationCount
// stations. Throws std::bad_alloc when memory runs out.
StationGraph BuildStationGraph(const LegTable& legs, unsigned stationCount);

} // namespace Tavex

#endif
