// Building the station order, the known-station list and the observation
// rows of an adjustment, with the restrictions of the network's dimension.
#ifndef TAVEX_ENGINE_BUILD_ROWS_H
#define TAVEX_ENGINE_BUILD_ROWS_H

#include "engine/engine_state.h"
#include "project/project_state.h"

#include <vector>

namespace Tavex {

// Which stations and observations take part (1-based; element 0 unused).
struct Participation {
    std::vector<char> station;
    std::vector<char> observation;
};

// Builds the order of the participating stations (input order), the list of
// their known stations and one row per usable observation reading. A reading
// the network's dimension cannot use is left out with its warning (478 to
// 486, 493, 630, 665, 666); an observation from a station to itself, or
// between coinciding stations where the model divides by their distance, is
// left out with 725 or 726. Rows appear in observation order. Returns 1, or 0
// after 400 with 405 when the tables cannot be allocated.
int BuildRows(ProjectState& project, const Participation& participation, EngineState& engine);

// Appends the rows of one observation (its index in the observation list) to
// rows, with the same restrictions and warnings. Returns 1, or 0 after 400
// with 405.
int BuildRecordRows(ProjectState& project, unsigned index, std::vector<ObservationRow>& rows);

// The from- and to-stations of the rows that couple stations, for the
// ordering (GPS coordinates, relations and observed coordinates left out).
std::vector<StationPair> RowStationPairs(const EngineState& engine);

// The text of a message about an observation: the message, then the
// observation's station names "from - to".
CKZString ObservationMessage(const ProjectState& project, int id, const CObservation& o);

} // namespace Tavex

#endif
