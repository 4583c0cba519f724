// The memory budget of the Cholesky factor.
#ifndef TAVEX_ENGINE_FACTOR_CAPACITY_H
#define TAVEX_ENGINE_FACTOR_CAPACITY_H

#include <cstdint>

namespace Tavex {

// The number of index entries the factor of u unknowns and m observation
// rows may take when availableBytes of memory are free:
//   full      = u (u + 1) / 2 + u + 4            (a dense lower triangle)
//   request   = (full + 2 m + u) * 8 + 40 bytes
//   available = min(request, availableBytes)
//   capacity  = min(full, available / 8 - 2 m - u - 5), at least 0.
std::uint64_t FactorCapacity(std::uint64_t u, std::uint64_t m, std::uint64_t availableBytes);

} // namespace Tavex

#endif
