#include "engine/normal_rows.h"

namespace Tavex {

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
    x[j] += s.inner.HeldWeight(j);
}

void ScatterNormalColumn(const LinearSystem& s, std::uint32_t j, std::vector<double>& x) {
    const CompressedRows& At = s.At;
    const CompressedRows& P = s.P;
    const CompressedRows& A = s.A;
    for (std::size_t e = At.Begin(j); e < At.End(j); ++e) {
        const double a = At.val[e];
        for (std::size_t f = P.Begin(At.col[e]); f < P.End(At.col[e]); ++f) {
            const double ap = a * P.val[f];
            const std::uint32_t coupled = P.col[f];
            // Rows of A ascend: walk them from the end down to column j.
            for (std::size_t g = A.End(coupled); g-- > A.Begin(coupled);) {
                const std::uint32_t k = A.col[g];
                if (k < j)
                    break;
                x[k] += ap * A.val[g];
            }
        }
    }
    x[j] += s.inner.HeldWeight(j);
}

} // namespace Tavex
