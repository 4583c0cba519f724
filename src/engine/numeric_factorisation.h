// Numeric Cholesky factorisation N = L Lᵀ, row by row, on the structure the
// symbolic factorisation fixed.
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
int NumericFactorisation(LinearSystem& system, double epsilon, std::uint32_t& singularUnknown,
                         MessageLog& log);

} // namespace Tavex

#endif
