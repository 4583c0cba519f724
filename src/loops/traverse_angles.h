// The angles of a traverse loop, formed from directions.
//
// A station has an angle between its two neighbours in a loop when a set of
// directions measured at the station holds a direction to each of them. The
// angle is turned clockwise from the back neighbour to the fore neighbour,
//   α = r_fore − r_back   in [0, 2π),
// so that a loop walked with its interior on the right reads interior
// angles. When several sets hold both directions the station's angle is the
// mean of the sets' angles; repeated directions to one neighbour within a
// set are averaged first. The variance of a set's angle is
// σ_fore² / n_fore + σ_back² / n_back with each direction's a-priori σ over
// the leg's length (engine/row_weights.h), that of the mean of m sets
// Σ var / m².
#ifndef TAVEX_LOOPS_TRAVERSE_ANGLES_H
#define TAVEX_LOOPS_TRAVERSE_ANGLES_H

#include "loops/loop_network.h"

#include <cstdint>
#include <vector>

namespace Tavex {

// The directions of the project by station: station s's are
// entries[start[s]] .. entries[start[s + 1] - 1], in list order.
struct DirectionIndex {
    struct Entry {
        std::uint32_t target;
        std::uint32_t set;
        std::uint32_t observation; // index into the observation list
    };
    std::vector<std::uint32_t> start;
    std::vector<Entry> entries;
};

DirectionIndex IndexDirections(const ProjectState& project);

struct StationAngle {
    bool present = false;
    double value = 0.0;                    // radians, [0, 2π)
    double variance = 0.0;                 // radians², before σ0²
    std::vector<std::uint32_t> directions; // the observations used
};

// The angle at station `at` from `back` to `fore`; the legs' lengths (metres)
// give the directions' length-dependent σ.
StationAngle AngleAt(const LoopNetwork& network, const DirectionIndex& index, std::uint32_t at,
                     std::uint32_t back, std::uint32_t fore, double backLength, double foreLength);

} // namespace Tavex

#endif
