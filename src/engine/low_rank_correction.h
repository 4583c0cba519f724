// Forming and applying the inner constraints' low-rank correction of the
// minimally held factorisation (the identity is in inner_constraint_system.h).
#ifndef TAVEX_ENGINE_LOW_RANK_CORRECTION_H
#define TAVEX_ENGINE_LOW_RANK_CORRECTION_H

#include "engine/linear_system.h"
#include "messages/message_log.h"

#include <cstdint>
#include <vector>

namespace Tavex {

// After the factorisation of B: Z = B⁻¹ U by one solve per column of U,
// M = C⁻¹ + Uᵀ Z, Y = Z M⁻¹. Without inner constraints it clears the
// correction and returns 1. When M is singular the constraints do not hold
// the network where B's held unknowns do: error 531 is logged,
// singularUnknown is the first held unknown and 0 returned. Returns 0 after
// error 400 with 415 when the work arrays cannot be had.
int FormLowRankCorrection(LinearSystem& system, std::uint32_t& singularUnknown, MessageLog& log);

// x = B⁻¹ b corrected into N_w⁻¹ b: x −= Y (Zᵀ b).
void CorrectSolution(const CholeskyFactor& factor, const std::vector<double>& b,
                     std::vector<double>& x);

// The cofactor subset of B⁻¹ on the structure of L corrected into N_w⁻¹'s.
void CorrectCofactorSubset(CholeskyFactor& factor);

// A x of the inner-constraint rows, whose design rows are kept beside A.
void InnerConstraintProducts(const LinearSystem& system, const std::vector<double>& x,
                             std::vector<double>& Ax);

} // namespace Tavex

#endif
