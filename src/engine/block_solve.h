// Columns of Q = N⁻¹ a block at a time, for computations that need the
// effect of every observation on every unknown.
#ifndef TAVEX_ENGINE_BLOCK_SOLVE_H
#define TAVEX_ENGINE_BLOCK_SOLVE_H

#include "engine/linear_system.h"

#include <cstdint>
#include <vector>

namespace Tavex {

// Right-hand sides solved together: the factor is read once per block and
// the innermost loops run over the block, which the compiler vectorises.
inline constexpr std::size_t kSolveBlock = 32;

// Work space of UnitBlockSolve, reused from block to block.
struct BlockSolveWork {
    // x(j, b) at [j * kSolveBlock + b] for unknowns j = 1 … u.
    std::vector<double> x;
    std::vector<std::uint32_t> path;
    std::vector<std::uint32_t> mark;
    std::uint32_t stamp = 0;
};

// Columns first … first + count − 1 (count ≤ kSolveBlock) of N⁻¹ into
// work.x, by L y = e(j) along the union of the elimination-tree paths from
// the unit vectors (the only rows where y is non-zero) and a dense Lᵀ x = y.
// Columns past count are left zero. May throw std::bad_alloc.
void UnitBlockSolve(const CholeskyFactor& factor, std::uint32_t first, std::size_t count,
                    BlockSolveWork& work);

} // namespace Tavex

#endif
