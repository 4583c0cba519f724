// The station order: which stations take part in an adjustment and in which
// sequence their unknowns are numbered, and its minimum-degree reordering.
#ifndef TAVEX_ENGINE_STATION_ORDER_H
#define TAVEX_ENGINE_STATION_ORDER_H

#include "messages/message_log.h"

#include <utility>
#include <vector>

namespace Tavex {

struct StationOrder {
    unsigned count = 0;               // ordered stations
    std::vector<unsigned> stationAt;  // position p (1..count) -> station number
    std::vector<unsigned> positionOf; // station number -> position, 0 when not ordered

    // The order of the given stations as listed (station numbers of a table
    // with stationTableSize stations).
    static StationOrder FromStations(const std::vector<unsigned>& stations,
                                     unsigned stationTableSize);
};

// The from- and to-station of one observation row.
using StationPair = std::pair<unsigned, unsigned>;

// Room of the adjacency structure per station of the station table.
inline constexpr unsigned kAdjacencyRoomPerStation = 20;

// Reorders the stations by quotient minimum degree on the station graph
// whose edges are the distinct station pairs of the rows (in either
// orientation; pairs with a station outside the order, or a station paired
// with itself, make no edge). Ties go to the station that comes first in the
// current order. When the graph needs more than kAdjacencyRoomPerStation
// adjacency entries per station of the table, warning 403 is logged and the
// order stays; when a work array cannot be had, warning 398.
void ReorderStations(StationOrder& order, const std::vector<StationPair>& rowStations,
                     unsigned stationTableSize, MessageLog& log);

} // namespace Tavex

#endif
