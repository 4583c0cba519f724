// The misclosures of a loop, one computation per family. Each takes the
// loop's stations in loop order (the closing leg runs from the last station
// back to the first) and the legs of its family, and returns the loop's
// result with its misclosures, their standard deviations and test values,
// its length and the observations it was computed from.
//
// Standard deviations are propagated from the observations' a-priori
// standard deviations, the same ones the adjustment weights them with
// (engine/row_weights.h), scaled by σ0. Observations on one leg are
// averaged: a leg mean of n values has the variance Σσ² / n², and the legs
// are independent, so a loop's variance is the sum of its legs' variances.
#ifndef TAVEX_LOOPS_LOOP_MISCLOSURES_H
#define TAVEX_LOOPS_LOOP_MISCLOSURES_H

#include "loops/loop_legs.h"
#include "loops/loop_network.h"
#include "loops/traverse_angles.h"

#include <memory>

namespace Tavex {

// GPS baselines (kind 6): ΔX, ΔY, ΔZ, and the same turned into north, east
// and up at the mean latitude and longitude of the loop's stations.
std::unique_ptr<CLoopResults> GpsMisclosure(const LoopNetwork& network, const LegTable& legs,
                                            const std::uint32_t* stations, std::size_t n);

// Height differences (kind 5): the height misclosure with its tolerance.
std::unique_ptr<CLoopResults> HeightMisclosure(const LoopNetwork& network, const LegTable& legs,
                                               const std::uint32_t* stations, std::size_t n);

// Zenith angles with slope distances (kind 8): the misclosure of the
// trigonometric height differences, with its tolerance.
std::unique_ptr<CLoopResults> TrigonometricMisclosure(const LoopNetwork& network,
                                                      const LegTable& legs,
                                                      const std::uint32_t* stations, std::size_t n);

// Directions with distances (kinds 1, 2 and 3): the angle misclosure and
// the easting and northing misclosure of the traverse round the loop.
std::unique_ptr<CLoopResults> TraverseMisclosure(const LoopNetwork& network, const LegTable& legs,
                                                 const DirectionIndex& directions,
                                                 const std::uint32_t* stations, std::size_t n);

} // namespace Tavex

#endif
