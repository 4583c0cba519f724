// Columns of N⁻¹ a block at a time on the supernodal factor. With the
// right-hand sides stored by unknown (x(j, b) at x[j · B + b]), the rows of
// one supernode's columns J are B × |J| column-major with leading dimension
// B, so each step is a dense product on the supernode's block:
//
//   forward, supernodes on the union of the unit vectors' paths, ascending:
//     Y_J ← L_JJ⁻¹ Y_J,           Y_R ← Y_R − L_RJ Y_J;
//   back, every supernode, descending:
//     X_J ← L_JJ⁻ᵀ (Y_J − L_RJᵀ X_R).
//
// Supernodes with little work go through plain loops over the block of
// right-hand sides (which the compiler vectorises); a BLAS call costs more
// than it saves on them. The larger ones gather X_R into a work panel and go
// through BLAS.
#include "engine/block_row.h"
#include "engine/block_solve.h"
#include "engine/dense_kernels.h"
#include "engine/vector_clones.h"

#include <algorithm>

namespace Tavex {

namespace {

constexpr std::size_t B = kSolveBlock;
// Multiply-adds per right-hand side below which a supernode's step runs in
// plain loops.
constexpr std::size_t kSmallStep = 256;

// The supernodes on the elimination-tree paths from the unit vectors'
// unknowns to the root, ascending; each one's rows are zeroed and the unit
// entries set, the only rows of Y the forward sweep touches.
void UnionOfPaths(const Supernodes& sn, const std::uint32_t* unknowns, std::size_t count,
                  BlockSolveWork& work) {
    work.StartPaths();
    for (std::size_t b = 0; b < count; ++b)
        for (std::size_t s = sn.of[unknowns[b]]; work.mark[s] != work.stamp;) {
            work.mark[s] = work.stamp;
            work.path.push_back(static_cast<std::uint32_t>(s));
            const std::size_t nc = sn.Columns(s), nr = sn.RowCount(s);
            if (nc == nr)
                break; // a root
            s = sn.of[sn.rows[sn.rowStart[s] + nc]];
        }
    std::sort(work.path.begin(), work.path.end());
    double* x = work.x.data();
    for (std::uint32_t s : work.path)
        std::fill(x + std::size_t{sn.first[s]} * B, x + std::size_t{sn.first[s + 1]} * B, 0.0);
    for (std::size_t b = 0; b < count; ++b)
        x[std::size_t{unknowns[b]} * B + b] = 1.0;
}

TAVEX_VECTOR_CLONES
void ForwardSupernode(const CholeskyFactor& factor, std::size_t s, BlockSolveWork& work) {
    const Supernodes& sn = factor.supernodes;
    const std::size_t nc = sn.Columns(s), nr = sn.RowCount(s), nb = nr - nc;
    const double* F = factor.blocks.data() + sn.blockStart[s];
    const std::uint32_t* R = sn.rows.data() + sn.rowStart[s];
    double* x = work.x.data();
    double* YJ = x + std::size_t{sn.first[s]} * B;
    if (nc * nr <= kSmallStep) {
        for (std::size_t c = 0; c < nc; ++c) {
            BlockRow yc = BlockRow::Load(YJ + c * B);
            yc.Divide(F[c + c * nr]);
            yc.Store(YJ + c * B);
            for (std::size_t r = c + 1; r < nr; ++r) {
                double* yr = x + std::size_t{R[r]} * B;
                BlockRow y = BlockRow::Load(yr);
                y.SubtractScaled(F[r + c * nr], yc);
                y.Store(yr);
            }
        }
        return;
    }
    // Y_Jᵀ ← Y_Jᵀ L_JJ⁻ᵀ; T = Y_Jᵀ L_RJᵀ; Y_R ← Y_R − T.
    Dense::SolveRightTransposed(B, nc, F, nr, YJ, B);
    if (nb == 0)
        return;
    if (work.panel.size() < B * nb)
        work.panel.resize(B * nb);
    double* T = work.panel.data();
    Dense::MultiplyTransposed(B, nb, nc, 1.0, YJ, B, F + nc, nr, 0.0, T, B);
    for (std::size_t k = 0; k < nb; ++k) {
        double* yr = x + std::size_t{R[nc + k]} * B;
        const double* t = T + k * B;
        for (std::size_t b = 0; b < B; ++b)
            yr[b] -= t[b];
    }
}

TAVEX_VECTOR_CLONES
void BackSupernode(const CholeskyFactor& factor, std::size_t s, bool onPath, BlockSolveWork& work) {
    const Supernodes& sn = factor.supernodes;
    const std::size_t nc = sn.Columns(s), nr = sn.RowCount(s), nb = nr - nc;
    const double* F = factor.blocks.data() + sn.blockStart[s];
    const std::uint32_t* R = sn.rows.data() + sn.rowStart[s];
    double* x = work.x.data();
    double* XJ = x + std::size_t{sn.first[s]} * B;
    // Y is zero off the paths, where the rows still hold the last block's
    // values: they are overwritten, not updated.
    if (nc * nr <= kSmallStep) {
        // X_J −= L_RJᵀ X_R, column by column in a local sum.
        for (std::size_t c = 0; c < nc; ++c) {
            BlockRow sum = onPath ? BlockRow::Load(XJ + c * B) : BlockRow::Zero();
            for (std::size_t r = nc; r < nr; ++r)
                sum.SubtractScaled(F[r + c * nr], x + std::size_t{R[r]} * B);
            sum.Store(XJ + c * B);
        }
        // X_J ← L_JJ⁻ᵀ X_J.
        for (std::size_t k = nc; k-- > 0;) {
            BlockRow xk = BlockRow::Load(XJ + k * B);
            for (std::size_t r = k + 1; r < nc; ++r)
                xk.SubtractScaled(F[r + k * nr], XJ + r * B);
            xk.Divide(F[k + k * nr]);
            xk.Store(XJ + k * B);
        }
        return;
    }
    // X_Jᵀ ← X_Jᵀ − X_Rᵀ L_RJ; X_Jᵀ ← X_Jᵀ L_JJ⁻¹.
    if (nb > 0) {
        if (work.panel.size() < B * nb)
            work.panel.resize(B * nb);
        double* G = work.panel.data();
        for (std::size_t k = 0; k < nb; ++k)
            std::copy_n(x + std::size_t{R[nc + k]} * B, B, G + k * B);
        Dense::Multiply(B, nc, nb, -1.0, G, B, F + nc, nr, onPath ? 1.0 : 0.0, XJ, B);
    } else if (!onPath) {
        std::fill(XJ, XJ + nc * B, 0.0);
    }
    Dense::SolveRight(B, nc, F, nr, XJ, B);
}

} // namespace

void SupernodalUnitBlockSolve(const CholeskyFactor& factor, const std::uint32_t* unknowns,
                              std::size_t count, BlockSolveWork& work, BackSweepVisitor* visitor) {
    const Supernodes& sn = factor.supernodes;
    // Every row of x is written by the back sweep: no clearing needed.
    if (work.x.size() != (factor.Unknowns() + 1) * B)
        work.x.assign((factor.Unknowns() + 1) * B, 0.0);
    if (work.mark.size() != sn.count) {
        work.mark.assign(sn.count, 0u);
        work.stamp = 0;
    }
    UnionOfPaths(sn, unknowns, count, work);
    for (std::uint32_t s : work.path)
        ForwardSupernode(factor, s, work);
    for (std::size_t s = sn.count; s-- > 0;) {
        BackSupernode(factor, s, work.mark[s] == work.stamp, work);
        if (visitor)
            visitor->Finished(s, work.x.data());
    }
}

} // namespace Tavex
