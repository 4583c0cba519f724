// Rows of the normal matrix N = Aᵀ P A formed on demand, never N as a whole.
// With inner constraints the matrix is the minimally held B: the weights W_k
// of the held unknowns are added on the diagonal.
#ifndef TAVEX_ENGINE_NORMAL_ROWS_H
#define TAVEX_ENGINE_NORMAL_ROWS_H

#include "engine/linear_system.h"

#include <cstdint>
#include <vector>

namespace Tavex {

// x[k] += n(j, k) for every k <= j: the lower part of row j of N, added into
// a dense work vector over the unknowns (1-based).
void ScatterNormalRow(const LinearSystem& system, std::uint32_t j, std::vector<double>& x);

// x[k] += n(k, j) for every k >= j: the lower part of column j of N.
void ScatterNormalColumn(const LinearSystem& system, std::uint32_t j, std::vector<double>& x);

} // namespace Tavex

#endif
