// The elements of Q = N⁻¹ on the structure of L (the sparse inverse),
// computed in place of the factor.
#ifndef TAVEX_ENGINE_SPARSE_INVERSE_H
#define TAVEX_ENGINE_SPARSE_INVERSE_H

#include "engine/linear_system.h"
#include "messages/message_log.h"

namespace Tavex {

// Takahashi's recurrences, from the last column to the first: with
// l = l(j, j), a(k) = l(k, j) for the off-diagonal entries of column j and
// w = Z a, where Z is the part of Q already computed on those rows,
//   q(k, j) = −w(k) / l,   q(j, j) = (1 / l) (1 / l + a·w / l).
// Afterwards the value array holds q on the structure and holdsCofactors is
// set. Returns 1, or 0 after error 401 with 421 when the work arrays cannot
// be had (the factor is then unchanged).
int SparseInverse(CholeskyFactor& factor, MessageLog& log);

} // namespace Tavex

#endif
