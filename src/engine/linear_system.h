// The run-wide least-squares system N x = b with N = Aᵀ P A, b = Aᵀ P l,
// and its Cholesky factor N = L Lᵀ.
//
// A is kept twice: transposed by unknown (At, the form the observation
// equations fill) and by observation row (A, derived from At), because the
// rows of N are formed from both. P is block diagonal: single weights and
// full 3 x 3 blocks, both triangles stored. L holds its lower triangle by
// rows, the diagonal last in every row, on the structure the symbolic
// factorisation fixed. After the sparse inverse the same value array holds
// the elements of Q = N⁻¹ on that structure; holdsCofactors says which.
// Inner-constraint rows are kept beside A rather than in it (see
// inner_constraint_system.h), so N stays as sparse as the network.
#ifndef TAVEX_ENGINE_LINEAR_SYSTEM_H
#define TAVEX_ENGINE_LINEAR_SYSTEM_H

#include "engine/compressed_rows.h"
#include "engine/inner_constraint_system.h"
#include "engine/supernodes.h"

#include <cstdint>
#include <vector>

namespace Tavex {

struct CholeskyFactor {
    CompressedRows L;
    // Elimination tree: parent[k] is the first row j > k with l(j, k) in the
    // structure, 0 for a root.
    std::vector<std::uint32_t> parent;
    // The supernodes of L, found by the first numeric factorisation on this
    // structure, and their dense blocks: work space of the factorisation and
    // of the sparse inverse, kept between them so that repeated
    // factorisations do not pay for fresh memory again. L keeps the values.
    Supernodes supernodes;
    std::vector<double> blocks;
    // With inner constraints L factorises the minimally held B, and Q = N⁻¹
    // is B⁻¹ minus this correction.
    LowRankCorrection correction;
    bool holdsCofactors = false;
    // The blocks hold the values of L (after a supernodal factorisation; not
    // after the sparse inverse has worked in them). The row-stored values are
    // then not written: the solves and single cofactors work on the blocks,
    // and normalDiagonal keeps n(j, j) of the matrix factorised.
    bool blocksHoldFactor = false;
    std::vector<double> normalDiagonal;

    std::size_t Unknowns() const { return L.rows; }
    // Position of the diagonal element of row j in the value array.
    std::size_t Diagonal(std::size_t j) const { return L.rowStart[j + 1]; }
    void Clear() { *this = CholeskyFactor{}; }
};

// Writes the factor's values into the rows of L too, when only the blocks
// hold them (for computations that read L by rows). May throw
// std::bad_alloc.
inline void WriteRowValues(CholeskyFactor& factor) {
    if (factor.blocksHoldFactor)
        ScatterBlocks(factor.supernodes, factor.blocks, factor.L);
}

struct LinearSystem {
    CompressedRows At; // unknowns x observation rows
    CompressedRows A;  // observation rows x unknowns, the transpose of At
    CompressedRows P;  // observation rows x observation rows
    CholeskyFactor factor;
    InnerConstraintRows inner; // empty without inner constraints
    std::vector<double> l;     // reduced observations, 1..rows
    std::vector<double> Ax;    // A x, 1..rows
    std::vector<double> x;     // right-hand side, then the solution, 1..unknowns

    std::size_t Unknowns() const { return At.rows; }
    std::size_t Rows() const { return At.columns; }
    // Derives A from At after At was filled.
    void DeriveRowForm() { A = Transpose(At); }
    void Clear() { *this = LinearSystem{}; }
};

} // namespace Tavex

#endif
