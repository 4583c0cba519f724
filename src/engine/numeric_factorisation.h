// Numeric Cholesky factorisation N = L Lᵀ on the structure the symbolic
// factorisation fixed: supernodal (dense blocks, BLAS), and the simplicial
// row-by-row form that defines it.
#ifndef TAVEX_ENGINE_NUMERIC_FACTORISATION_H
#define TAVEX_ENGINE_NUMERIC_FACTORISATION_H

#include "engine/linear_system.h"
#include "messages/message_log.h"

#include <cstdint>

namespace Tavex {

// Computes the values of L from At, A and P. For row j:
//   n(j, k) = Σ a(j, r) p(r, s) a(k, s)              for the columns k of row j
//   l(j, k) = (n(j, k) − Σ_{i<k} l(j, i) l(k, i)) / l(k, k)   for k < j, ascending
//   d       = n(j, j) − Σ_{k<j} l(j, k)²
// A pivot d < ε² makes the matrix singular at unknown j: singularUnknown = j,
// error 531 is logged and 0 returned, the factor left incomplete. A pivot of
// exactly ε² is accepted. Otherwise l(j, j) = √d. epsilon is the singularity
// criterion DeltaSingular / Sigma0.
//
// With inner constraints the matrix factorised is the minimally held B and
// the low-rank correction into the inner-constraint datum is formed after it
// (low_rank_correction.h); M singular is reported like a pivot at the first
// held unknown.
//
// This is the supernodal factorisation: the same values of L (to rounding)
// and the same singular unknown, the work done in dense blocks. It finds the
// factor's supernodes on first use after the symbolic factorisation.
int NumericFactorisation(LinearSystem& system, double epsilon, std::uint32_t& singularUnknown,
                         MessageLog& log);

// The same factorisation row by row (up-looking, as CSparse's cs_chol), the
// reference of the supernodal one.
int SimplicialFactorisation(LinearSystem& system, double epsilon, std::uint32_t& singularUnknown,
                            MessageLog& log);

} // namespace Tavex

#endif
