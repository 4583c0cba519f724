// Elements q(i, j) of Q = N⁻¹: from the sparse inverse when it has replaced
// the factor and the element lies on the factor's structure, otherwise from
// the factor by two forward substitutions.
#ifndef TAVEX_ENGINE_COFACTOR_LOOKUP_H
#define TAVEX_ENGINE_COFACTOR_LOOKUP_H

#include "engine/factor_solve.h"
#include "engine/linear_system.h"

#include <cstdint>

namespace Tavex {

class CofactorLookup {
public:
    explicit CofactorLookup(const CholeskyFactor& factor) : factor_(factor) {}

    // q(i, j); NaN when the sparse inverse has replaced the factor and the
    // element lies outside its structure (it cannot be had without a new
    // factorisation).
    double operator()(std::uint32_t i, std::uint32_t j);

private:
    const CholeskyFactor& factor_;
    CofactorWorkspace work_;
};

} // namespace Tavex

#endif
