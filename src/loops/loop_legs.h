// The legs a family's loops can run along: every pair of different,
// not excluded stations that observations of the family join, with those
// observations. Parallel observations (repeated, or measured from either
// end) share one leg.
//
// Which readings make a leg:
//   Gps            a GPS baseline with all three components switched on
//   Traverse       a distance (slot 2 of a total-station record, or a
//                  one-reading distance) with a positive reading; the
//                  directions of the angles are looked up per station
//                  (traverse_angles.h)
//   Height         a height difference
//   Trigonometric  a total-station record with its slope distance (positive)
//                  and its zenith angle both switched on
#ifndef TAVEX_LOOPS_LOOP_LEGS_H
#define TAVEX_LOOPS_LOOP_LEGS_H

#include "loops/loop_kinds.h"
#include "project/project_state.h"

#include <cstdint>
#include <vector>

namespace Tavex {

// Whether observation o gives the family a leg between its two stations
// (the stations themselves are checked by CollectLegs).
bool GivesLeg(const CObservation& o, LoopFamily family);

// The slot of the distance reading of a traverse or trigonometric leg.
int LegDistanceSlot(const CObservation& o);

struct LegTable {
    // The station pairs, lower number first, sorted.
    std::vector<std::uint32_t> first, second;
    // The observations of leg k (indices into the observation list) are
    // observations[start[k]] .. observations[start[k + 1] - 1], in list order.
    std::vector<std::uint32_t> start;
    std::vector<std::uint32_t> observations;

    std::size_t Count() const { return first.size(); }
    // The leg joining stations a and b (either order), or -1.
    long Find(std::uint32_t a, std::uint32_t b) const;
};

// The legs of the family. Throws std::bad_alloc when memory runs out.
LegTable CollectLegs(const ProjectState& project, LoopFamily family);

// Record numbers of the observations of the family that are left out of its
// legs although their stations would give one: GPS baselines with a
// switched-off component, distances that are not positive. The driver warns
// about each.
std::vector<std::uint32_t> LeftOutOfLegs(const ProjectState& project, LoopFamily family);

} // namespace Tavex

#endif
