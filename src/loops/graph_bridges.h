// Bridges of a station graph: the edges whose removal disconnects their two
// ends. No loop runs over a bridge, so the loop search leaves them out and
// its breadth-first searches never wander into the tree-like parts of a
// graph that hang on one.
#ifndef TAVEX_LOOPS_GRAPH_BRIDGES_H
#define TAVEX_LOOPS_GRAPH_BRIDGES_H

#include "loops/station_graph.h"

#include <vector>

namespace Tavex {

// For every edge of graph for which active is nonzero: 1 when it is a
// bridge of the graph formed by the active edges, else 0 (inactive edges
// give 0). Tarjan's low-link method, iterative, in O(stations + edges).
std::vector<char> FindBridges(const StationGraph& graph, const std::vector<char>& active);

} // namespace Tavex

#endif
