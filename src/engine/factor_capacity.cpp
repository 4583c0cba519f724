#include "engine/factor_capacity.h"

#include <algorithm>

namespace Tavex {

std::uint64_t FactorCapacity(std::uint64_t u, std::uint64_t m, std::uint64_t availableBytes) {
    const std::uint64_t full = u * (u + 1) / 2 + u + 4;
    const std::uint64_t request = (full + 2 * m + u) * 8 + 40;
    const std::uint64_t available = std::min(request, availableBytes);
    const std::uint64_t reserved = 2 * m + u + 5;
    const std::uint64_t words = available / 8;
    return words > reserved ? std::min(full, words - reserved) : 0;
}

} // namespace Tavex
