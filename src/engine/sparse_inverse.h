// The elements of Q = N⁻¹ on the structure of L (the sparse inverse),
// computed in place of the factor.
#ifndef TAVEX_ENGINE_SPARSE_INVERSE_H
#define TAVEX_ENGINE_SPARSE_INVERSE_H

#include "engine/linear_system.h"
#include "messages/message_log.h"

namespace Tavex {

// Selected inversion by supernodes (the block form of Takahashi's
// recurrences), from the last supernode to the first: with the diagonal
// block L_JJ of supernode s, the rows below it L_RJ and Q_RR the part of Q
// already computed on those rows,
//   U = L_RJ L_JJ⁻¹,   Q_RJ = −Q_RR U,   Q_JJ = (L_JJ L_JJᵀ)⁻¹ − Uᵀ Q_RJ.
// Afterwards the value array holds q on the structure (with inner
// constraints corrected into their datum) and holdsCofactors is set.
// Returns 1, or 0 after error 401 with 421 when the work arrays cannot be
// had (the factor is then unchanged).
int SparseInverse(CholeskyFactor& factor, MessageLog& log);

// Takahashi's recurrences column by column, the reference of the
// supernodal form: with
// l = l(j, j), a(k) = l(k, j) for the off-diagonal entries of column j and
// w = Z a, where Z is the part of Q already computed on those rows,
//   q(k, j) = −w(k) / l,   q(j, j) = (1 / l) (1 / l + a·w / l).
// Afterwards the value array holds q on the structure and holdsCofactors is
// set. Returns 1, or 0 after error 401 with 421 when the work arrays cannot
// be had (the factor is then unchanged).
int SimplicialSparseInverse(CholeskyFactor& factor, MessageLog& log);

} // namespace Tavex

#endif
