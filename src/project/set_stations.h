// Taking over the host's station records.
#ifndef TAVEX_PROJECT_SET_STATIONS_H
#define TAVEX_PROJECT_SET_STATIONS_H

#include "project/project_state.h"

namespace Tavex {

// Builds the station table (stations 1..n from records 0..n-1) and the
// known-station table, converts grid coordinates to latitude and longitude
// with the project's map projection, and centres the local stereographic
// projection on the network. Keeps the array's address for the results.
// A null array with n > 0 changes nothing, logs warning 717 and returns 0.
// Returns 0, having stored nothing, when the records are more than a project
// may hold or memory runs out (error 736, or 400 with the station table);
// every later run then fails.
int TakeOverStations(ProjectState& project, _STATIONADJ* records, unsigned n);

} // namespace Tavex

#endif
