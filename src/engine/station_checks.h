// The checks of the stations before the rows are built: observations of
// excluded stations are left out; in a free network a station that its
// observations cannot fix is deselected; a station without observations is
// reported.
#ifndef TAVEX_ENGINE_STATION_CHECKS_H
#define TAVEX_ENGINE_STATION_CHECKS_H

#include "engine/build_rows.h"
#include "project/project_state.h"

namespace Tavex {

// How many observation components fix a station's position in a network of
// the given dimension: a height in 1D, north and east in 2D, all three in 3D.
inline constexpr unsigned ComponentsToFix(int dimension) {
    return dimension == 1 ? 1u : (dimension == 2 ? 2u : 3u);
}

// The stations and observations that take part. In a free network a station
// that is not known and that fewer than ComponentsToFix observation
// components touch is deselected with warning 674, and the check repeats
// until no further station falls out. A participating station that no
// observation touches gives warning 430.
Participation CheckStations(ProjectState& project);

} // namespace Tavex

#endif
