// Substitutions with one right-hand side on the supernodal blocks, column by
// column inside each block (the blocks are column-major):
//   forward, supernodes ascending:  y(j) /= l(j, j), then y(i) −= l(i, j) y(j)
//                                   for the rows i below j;
//   back, supernodes descending:    x(j) = (y(j) − Σ l(i, j) x(i)) / l(j, j).
// The unit forward sweep L y = e(i) visits only the path from i to the
// root: the rows of a column of L are ancestors of it in the elimination
// tree, and inside a supernode each column's parent is the next column.
#include "engine/supernodal_solve.h"

namespace Tavex {

void SupernodalForward(const CholeskyFactor& factor, std::vector<double>& b) {
    const Supernodes& sn = factor.supernodes;
    for (std::size_t s = 0; s < sn.count; ++s) {
        const std::size_t nc = sn.Columns(s), nr = sn.RowCount(s);
        const double* F = factor.blocks.data() + sn.blockStart[s];
        const std::uint32_t* R = sn.rows.data() + sn.rowStart[s];
        for (std::size_t c = 0; c < nc; ++c) {
            const double* f = F + c * nr;
            const double y = b[R[c]] / f[c];
            b[R[c]] = y;
            for (std::size_t r = c + 1; r < nr; ++r)
                b[R[r]] -= f[r] * y;
        }
    }
}

void SupernodalBack(const CholeskyFactor& factor, std::vector<double>& y) {
    const Supernodes& sn = factor.supernodes;
    for (std::size_t s = sn.count; s-- > 0;) {
        const std::size_t nc = sn.Columns(s), nr = sn.RowCount(s);
        const double* F = factor.blocks.data() + sn.blockStart[s];
        const std::uint32_t* R = sn.rows.data() + sn.rowStart[s];
        for (std::size_t c = nc; c-- > 0;) {
            const double* f = F + c * nr;
            double sum = y[R[c]];
            for (std::size_t r = c + 1; r < nr; ++r)
                sum -= f[r] * y[R[r]];
            y[R[c]] = sum / f[c];
        }
    }
}

void SupernodalUnitForward(const CholeskyFactor& factor, std::uint32_t i, std::vector<double>& y,
                           std::vector<std::uint32_t>& path) {
    const Supernodes& sn = factor.supernodes;
    path.clear();
    y[i] = 1.0;
    std::uint32_t entry = i;
    for (;;) {
        const std::size_t s = sn.of[entry];
        const std::size_t nc = sn.Columns(s), nr = sn.RowCount(s);
        const double* F = factor.blocks.data() + sn.blockStart[s];
        const std::uint32_t* R = sn.rows.data() + sn.rowStart[s];
        for (std::size_t c = entry - sn.first[s]; c < nc; ++c) {
            const double* f = F + c * nr;
            path.push_back(R[c]);
            const double v = y[R[c]] / f[c];
            y[R[c]] = v;
            for (std::size_t r = c + 1; r < nr; ++r)
                y[R[r]] -= f[r] * v;
        }
        if (nc == nr)
            return; // a root of the tree
        entry = R[nc];
    }
}

} // namespace Tavex
