// Supernodes of the Cholesky factor: runs of consecutive columns of L that
// are stored together as one dense block.
//
// Storage convention: supernodes s = 0 … count − 1 cover the columns
// first[s] … first[s + 1] − 1 (1-based unknowns, first[count] = u + 1). The
// rows of supernode s are rows[rowStart[s]] … rows[rowStart[s + 1] − 1],
// ascending: its own columns first, then the rows below them. Its block, in
// a value array of blockStart[count] doubles, starts at blockStart[s] and is
// column-major with one column per unknown of the supernode and one element
// per row of the supernode (the leading dimension is the row count):
//   l(rows[rowStart[s] + r], first[s] + c) at block[blockStart[s] + r + c · rowCount].
// Only the lower trapezoid (r ≥ c) means anything. A block may hold zeros
// that the structure of L does not hold (relaxed supernodes); they stay zero
// in the factor.
#ifndef TAVEX_ENGINE_SUPERNODES_H
#define TAVEX_ENGINE_SUPERNODES_H

#include "engine/compressed_rows.h"

#include <cstdint>
#include <vector>

namespace Tavex {

struct Supernodes {
    std::size_t count = 0;
    std::vector<std::uint32_t> first;    // count + 1
    std::vector<std::uint32_t> of;       // supernode of unknown j, 1..u
    std::vector<std::size_t> rowStart;   // count + 1
    std::vector<std::uint32_t> rows;     //
    std::vector<std::size_t> blockStart; // count + 1
    std::size_t Columns(std::size_t s) const { return first[s + 1] - first[s]; }
    std::size_t RowCount(std::size_t s) const { return rowStart[s + 1] - rowStart[s]; }
    bool Empty() const { return count == 0; }
    void Clear() { *this = Supernodes{}; }
};

// The supernodes of the factor whose structure L (rows ascending, diagonal
// last) and elimination tree parent the symbolic factorisation fixed.
// Columns j and j + 1 share a supernode only when j + 1 is the parent of j;
// fundamental supernodes (column j's structure is column j + 1's plus j)
// are then merged further while the zeros this adds stay a small share of
// the blocks (relaxed amalgamation). May throw std::bad_alloc.
Supernodes FindSupernodes(const CompressedRows& L, const std::vector<std::uint32_t>& parent);

// Copies the values of L (row form) into the blocks (zeros elsewhere), or
// the blocks' values on the structure of L back into L.
void GatherBlocks(const Supernodes& sn, const CompressedRows& L, std::vector<double>& blocks);
void ScatterBlocks(const Supernodes& sn, const std::vector<double>& blocks, CompressedRows& L);

} // namespace Tavex

#endif
