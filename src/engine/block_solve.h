// Columns of Q = N⁻¹ a block at a time, for computations that need the
// effect of every observation on every unknown.
#ifndef TAVEX_ENGINE_BLOCK_SOLVE_H
#define TAVEX_ENGINE_BLOCK_SOLVE_H

#include "engine/linear_system.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace Tavex {

// Right-hand sides solved together: the factor is read once per block and
// the innermost loops run over the block, which the compiler vectorises.
inline constexpr std::size_t kSolveBlock = 64;

// Work space of UnitBlockSolve, reused from block to block.
struct BlockSolveWork {
    // x(j, b) at [j * kSolveBlock + b] for unknowns j = 1 … u.
    std::vector<double> x;
    std::vector<std::uint32_t> path; // rows, or supernodes, on the unit vectors' paths
    std::vector<std::uint32_t> mark; // per row, or per supernode
    std::uint32_t stamp = 0;
    std::vector<double> panel; // a supernode's rows below, gathered

    // A new stamp for the marks (all cleared when the counter wraps) and an
    // empty path.
    void StartPaths() {
        if (++stamp == 0) {
            std::fill(mark.begin(), mark.end(), 0u);
            stamp = 1;
        }
        path.clear();
    }
};

// Columns first … first + count − 1 (count ≤ kSolveBlock) of N⁻¹ into
// work.x, by L y = e(j) along the union of the elimination-tree paths from
// the unit vectors (the only rows where y is non-zero) and a dense Lᵀ x = y;
// on the supernodal blocks when they hold the factor, else on the rows of
// L. With inner constraints the columns are corrected into their datum.
// Columns past count are left zero. May throw std::bad_alloc.
void UnitBlockSolve(const CholeskyFactor& factor, std::uint32_t first, std::size_t count,
                    BlockSolveWork& work);

// Told of each supernode as soon as the back sweep has finished it: the
// rows of x of its columns and of every row below them in L are then final
// (and still in cache), so a computation that reads the unknowns of one
// clique of N can run there instead of after the sweep.
class BackSweepVisitor {
public:
    virtual void Finished(std::size_t supernode, const double* x) = 0;

protected:
    ~BackSweepVisitor() = default;
};

// Columns unknowns[0 … count − 1] (distinct; count ≤ kSolveBlock) of B⁻¹,
// uncorrected, on the supernodal blocks (factor.blocksHoldFactor): column
// unknowns[b] in x(·, b). Tells the visitor (if any) of every finished
// supernode.
void SupernodalUnitBlockSolve(const CholeskyFactor& factor, const std::uint32_t* unknowns,
                              std::size_t count, BlockSolveWork& work,
                              BackSweepVisitor* visitor = nullptr);

} // namespace Tavex

#endif
