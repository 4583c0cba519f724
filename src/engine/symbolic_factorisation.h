// Symbolic factorisation: the structure of the Cholesky factor L of
// N = Aᵀ P A, row by row, within a memory budget.
#ifndef TAVEX_ENGINE_SYMBOLIC_FACTORISATION_H
#define TAVEX_ENGINE_SYMBOLIC_FACTORISATION_H

#include "engine/linear_system.h"
#include "messages/message_log.h"

#include <cstdint>

namespace Tavex {

// Fixes the structure of L (rows ascending, diagonal last) and the
// elimination tree from the structures of At, A and P, and allocates the
// value array. Row j of L holds column k <= j when N(j, k) is structurally
// non-zero (unknowns j and k occur in observation rows that P couples) or
// fill-in makes it so. Returns 1, or 0 after error 401 with 423 when the
// structure needs more than capacity entries, or 400 with 404 when the
// arrays cannot be allocated.
int SymbolicFactorisation(LinearSystem& system, std::uint64_t capacity, MessageLog& log);

} // namespace Tavex

#endif
