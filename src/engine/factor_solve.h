// Solving with the Cholesky factor, and single elements of Q = N⁻¹.
#ifndef TAVEX_ENGINE_FACTOR_SOLVE_H
#define TAVEX_ENGINE_FACTOR_SOLVE_H

#include "engine/linear_system.h"
#include "messages/message_log.h"

#include <cstdint>
#include <vector>

namespace Tavex {

// The least-squares solution with the factor in place (not the cofactors):
//   w = P l, b = Aᵀ w, L y = b, Lᵀ x = y,
// the corrections into system.x and A x into system.Ax. Returns 1, or 0
// after error 400 with 414 when the work vector cannot be had.
int SolveNormalEquations(LinearSystem& system, MessageLog& log);

// Forward substitution L y = b in place (1-based vector of the unknowns).
void ForwardSubstitution(const CholeskyFactor& factor, std::vector<double>& b);
// Back substitution Lᵀ x = y in place.
void BackSubstitution(const CholeskyFactor& factor, std::vector<double>& y);

// n(i, i) of N = L Lᵀ: the sum of squares of row i of L. Its reciprocal is
// a lower bound of q(i, i) (the Cauchy–Schwarz inequality on e(i)).
double NormalDiagonal(const CholeskyFactor& factor, std::uint32_t i);

// Reusable work vectors of CofactorElement.
struct CofactorWorkspace {
    std::vector<double> yi, yj;
    std::vector<std::uint32_t> pathI, pathJ;
};

// q(i, j) of Q = N⁻¹ = L⁻ᵀ L⁻¹: the dot product of L⁻¹ e(i) and L⁻¹ e(j).
// L⁻¹ e(i) is non-zero only on the path from i to the root of the
// elimination tree, so only those rows are substituted.
double CofactorElement(const CholeskyFactor& factor, std::uint32_t i, std::uint32_t j,
                       CofactorWorkspace& work);

} // namespace Tavex

#endif
