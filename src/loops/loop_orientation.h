// The turning direction of loops. With a map projection every GPS and
// height loop is turned to run counter-clockwise in the projection's plane
// (easting to the right, northing up), so that loops next to each other
// share their common legs in opposite directions and misclosures of
// neighbouring loops can be compared by sign.
#ifndef TAVEX_LOOPS_LOOP_ORIENTATION_H
#define TAVEX_LOOPS_LOOP_ORIENTATION_H

#include "loops/loop_network.h"

#include <cstdint>

namespace Tavex {

// Reverses stations[0..n-1] when their polygon in the plane turns
// clockwise. Nothing without a map projection, or when the polygon has no
// turning direction (collinear stations).
void OrientLoop(const LoopNetwork& network, std::uint32_t* stations, std::size_t n);

} // namespace Tavex

#endif
