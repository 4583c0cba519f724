#include "engine/block_solve.h"

#include <algorithm>

namespace Tavex {

namespace {

constexpr std::size_t B = kSolveBlock;

// The rows on the elimination-tree paths from first … first + count − 1 to
// the root, ascending: L⁻¹ e(j) is zero outside its path.
void CollectPaths(const CholeskyFactor& factor, std::uint32_t first, std::size_t count,
                  BlockSolveWork& work) {
    work.StartPaths();
    for (std::size_t b = 0; b < count; ++b)
        for (std::uint32_t m = first + static_cast<std::uint32_t>(b);
             m != 0 && work.mark[m] != work.stamp; m = factor.parent[m]) {
            work.mark[m] = work.stamp;
            work.path.push_back(m);
        }
    std::sort(work.path.begin(), work.path.end());
}

void ForwardOnPaths(const CholeskyFactor& factor, std::uint32_t first, std::size_t count,
                    BlockSolveWork& work) {
    const CompressedRows& L = factor.L;
    double* x = work.x.data();
    for (const std::uint32_t m : work.path) {
        double sum[B] = {};
        if (m >= first && m - first < count)
            sum[m - first] = 1.0;
        const std::size_t diagonal = factor.Diagonal(m);
        for (std::size_t e = L.Begin(m); e < diagonal; ++e) {
            const double l = L.val[e];
            const double* xc = x + std::size_t{L.col[e]} * B;
            for (std::size_t b = 0; b < B; ++b)
                sum[b] -= l * xc[b];
        }
        const double d = L.val[diagonal];
        double* xm = x + std::size_t{m} * B;
        for (std::size_t b = 0; b < B; ++b)
            xm[b] = sum[b] / d;
    }
}

void BackAll(const CholeskyFactor& factor, BlockSolveWork& work) {
    const CompressedRows& L = factor.L;
    double* x = work.x.data();
    for (std::size_t j = L.rows; j >= 1; --j) {
        const std::size_t diagonal = factor.Diagonal(j);
        const double d = L.val[diagonal];
        double xj[B];
        double* row = x + j * B;
        for (std::size_t b = 0; b < B; ++b)
            row[b] = xj[b] = row[b] / d;
        for (std::size_t e = L.Begin(j); e < diagonal; ++e) {
            const double l = L.val[e];
            double* xc = x + std::size_t{L.col[e]} * B;
            for (std::size_t b = 0; b < B; ++b)
                xc[b] -= l * xj[b];
        }
    }
}

// Columns of B⁻¹ into columns of N⁻¹ under inner constraints: x(i, b) −=
// (Y Zᵀ)(i, first + b).
void CorrectColumns(const CholeskyFactor& factor, std::uint32_t first, std::size_t count,
                    BlockSolveWork& work) {
    const LowRankCorrection& c = factor.correction;
    if (!c.Active())
        return;
    double* x = work.x.data();
    for (std::size_t i = 1; i <= factor.Unknowns(); ++i)
        for (std::size_t b = 0; b < count; ++b)
            x[i * B + b] -=
                c.Element(static_cast<std::uint32_t>(i), first + static_cast<std::uint32_t>(b));
}

} // namespace

void UnitBlockSolve(const CholeskyFactor& factor, std::uint32_t first, std::size_t count,
                    BlockSolveWork& work) {
    const std::size_t u = factor.Unknowns();
    count = std::min(count, B);
    if (factor.blocksHoldFactor) {
        std::uint32_t unknowns[B];
        for (std::size_t b = 0; b < count; ++b)
            unknowns[b] = first + static_cast<std::uint32_t>(b);
        SupernodalUnitBlockSolve(factor, unknowns, count, work);
    } else {
        work.x.assign((u + 1) * B, 0.0);
        if (work.mark.size() != u + 1) {
            work.mark.assign(u + 1, 0u);
            work.stamp = 0;
        }
        CollectPaths(factor, first, count, work);
        ForwardOnPaths(factor, first, count, work);
        BackAll(factor, work);
    }
    CorrectColumns(factor, first, count, work);
}

} // namespace Tavex
