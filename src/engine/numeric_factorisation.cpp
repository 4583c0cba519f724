// Up-looking Cholesky in dot-product form. Row j of N is scattered into a
// dense work vector x over the unknowns; the off-diagonal columns k of row j
// of L are then solved in ascending order, each as a dot product of row k of
// L with the already solved part of row j, which x holds in place. Every
// column of row k is a column of row j (the structure is closed under the
// elimination tree), so the dot product reads only solved or zero entries.
#include "engine/numeric_factorisation.h"

#include "messages/no_memory.h"
#include "messages/string_loader.h"
#include "resources/string_ids.h"

#include <cmath>
#include <new>

namespace Tavex {

namespace {

// x[k] += n(j, k) for every k <= j: the row of N formed just before it is
// factorised.
void ScatterNormalRow(const LinearSystem& s, std::uint32_t j, std::vector<double>& x) {
    const CompressedRows& At = s.At;
    const CompressedRows& P = s.P;
    const CompressedRows& A = s.A;
    for (std::size_t e = At.Begin(j); e < At.End(j); ++e) {
        const double a = At.val[e];
        for (std::size_t f = P.Begin(At.col[e]); f < P.End(At.col[e]); ++f) {
            const double ap = a * P.val[f]; // (row j of Aᵀ) P, one coupled row
            const std::uint32_t coupled = P.col[f];
            for (std::size_t g = A.Begin(coupled); g < A.End(coupled); ++g) {
                const std::uint32_t k = A.col[g];
                if (k > j)
                    break; // rows of A ascend
                x[k] += ap * A.val[g];
            }
        }
    }
}

} // namespace

int NumericFactorisation(LinearSystem& s, double epsilon, std::uint32_t& singularUnknown,
                         MessageLog& log) {
    CholeskyFactor& factor = s.factor;
    CompressedRows& L = factor.L;
    const std::size_t u = L.rows;
    const double pivotFloor = epsilon * epsilon;
    singularUnknown = 0;
    std::vector<double> x;
    try {
        x.assign(u + 1, 0.0);
        if (L.val.size() != L.Stored() + 1)
            L.val.assign(L.Stored() + 1, 0.0);
    } catch (const std::bad_alloc&) {
        return ReportNoMemory(log, STR_NO_MEMORY_ALLOCATE, STR_OBJECT_NORMAL_MATRIX);
    }
    factor.holdsCofactors = false;

    for (std::uint32_t j = 1; j <= u; ++j) {
        ScatterNormalRow(s, j, x);
        const std::size_t begin = L.Begin(j);
        const std::size_t diagonal = factor.Diagonal(j);
        double d = x[j];
        // Off-diagonal entries, ascending: l(j, k).
        for (std::size_t e = begin; e < diagonal; ++e) {
            const std::uint32_t k = L.col[e];
            double sum = x[k];
            const std::size_t kDiagonal = factor.Diagonal(k);
            for (std::size_t f = L.Begin(k); f < kDiagonal; ++f)
                sum -= L.val[f] * x[L.col[f]];
            const double ljk = sum / L.val[kDiagonal];
            x[k] = ljk;
            d -= ljk * ljk;
        }
        // Store the row and clear the work vector.
        for (std::size_t e = begin; e < diagonal; ++e) {
            L.val[e] = x[L.col[e]];
            x[L.col[e]] = 0.0;
        }
        x[j] = 0.0;
        // The pivot test; NaN counts as singular.
        if (!(d >= pivotFloor)) {
            singularUnknown = j;
            log.AddMessage(STR_NORMALS_SINGULAR, MSG_ERROR, REF_NONE,
                           CStringL(STR_NORMALS_SINGULAR));
            return 0;
        }
        L.val[diagonal] = std::sqrt(d);
    }
    return 1;
}

} // namespace Tavex
