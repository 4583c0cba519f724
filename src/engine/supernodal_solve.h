// Substitutions with the supernodal blocks of L (factor.blocksHoldFactor).
#ifndef TAVEX_ENGINE_SUPERNODAL_SOLVE_H
#define TAVEX_ENGINE_SUPERNODAL_SOLVE_H

#include "engine/linear_system.h"

#include <cstdint>
#include <vector>

namespace Tavex {

// L y = b in place (1-based vector of the unknowns).
void SupernodalForward(const CholeskyFactor& factor, std::vector<double>& b);
// Lᵀ x = y in place.
void SupernodalBack(const CholeskyFactor& factor, std::vector<double>& y);
// y = L⁻¹ e(i) on the path from i to the root; path receives its unknowns in
// ascending order. y must be zero on entry outside the path.
void SupernodalUnitForward(const CholeskyFactor& factor, std::uint32_t i, std::vector<double>& y,
                           std::vector<std::uint32_t>& path);

} // namespace Tavex

#endif
