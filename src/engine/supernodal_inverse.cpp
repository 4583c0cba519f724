// Selected inversion on the supernodes. Q = L⁻ᵀ L⁻¹; split by the columns J
// of a supernode and the rows R below them,
//
//   Q_RJ = −Q_RR L_RJ L_JJ⁻¹,   Q_JJ = L_JJ⁻ᵀ (L_JJ⁻¹ − L_RJᵀ Q_RJ).
//
// R is the structure of the supernode's last column below it, so it lies in
// the columns and rows of the supernode that holds R's first row, and so on
// up the tree: every element of Q_RR is on the blocks of later supernodes,
// already computed when s is reached (the supernodes run from the last to
// the first). Each supernode's Q replaces its L in the same block.
#include "engine/dense_kernels.h"
#include "engine/sparse_inverse.h"
#include "messages/no_memory.h"
#include "resources/string_ids.h"

#include <algorithm>
#include <new>

namespace Tavex {

namespace {

struct InverseWork {
    std::vector<double> U, QRJ, QRR;
    std::vector<std::size_t> at; // position of R's rows in an ancestor's rows
};

// Q_RR (nb x nb, lower triangle) from the blocks of the supernodes that hold
// the columns of R = Rb[0 … nb − 1].
void GatherBelow(const Supernodes& sn, const std::vector<double>& blocks, const std::uint32_t* Rb,
                 std::size_t nb, double* QRR, std::vector<std::size_t>& at) {
    for (std::size_t c = 0; c < nb;) {
        const std::size_t t = sn.of[Rb[c]];
        const std::uint32_t* Rt = sn.rows.data() + sn.rowStart[t];
        const std::size_t nt = sn.RowCount(t);
        const double* Qt = blocks.data() + sn.blockStart[t];
        // Positions in t of the rows Rb[c …] (all of them are rows of t).
        std::size_t q = Rb[c] - sn.first[t];
        for (std::size_t i = c; i < nb; ++i) {
            while (Rt[q] < Rb[i])
                ++q;
            at[i] = q;
        }
        // The columns of R that are columns of t.
        for (; c < nb && Rb[c] < sn.first[t + 1]; ++c) {
            const double* column = Qt + (Rb[c] - sn.first[t]) * nt;
            for (std::size_t i = c; i < nb; ++i)
                QRR[i + c * nb] = column[at[i]];
        }
    }
}

} // namespace

int SparseInverse(CholeskyFactor& factor, MessageLog& log) {
    CompressedRows& L = factor.L;
    const std::size_t u = L.rows;
    InverseWork w;
    try {
        if (factor.supernodes.Empty() && u > 0)
            factor.supernodes = FindSupernodes(L, factor.parent);
        const Supernodes& sn = factor.supernodes;
        GatherBlocks(sn, L, factor.blocks);
        std::size_t most = 0, mostBelow = 0;
        for (std::size_t k = 0; k < sn.count; ++k) {
            const std::size_t nb = sn.RowCount(k) - sn.Columns(k);
            most = std::max(most, nb * sn.Columns(k));
            mostBelow = std::max(mostBelow, nb);
        }
        w.U.resize(most);
        w.QRJ.resize(most);
        w.QRR.resize(mostBelow * mostBelow);
        w.at.resize(mostBelow);
    } catch (const std::bad_alloc&) {
        return ReportNoMemory(log, STR_NO_MEMORY_COMPUTE, STR_OBJECT_SPARSE_INVERSE);
    }
    const Supernodes& sn = factor.supernodes;

    for (std::size_t k = sn.count; k-- > 0;) {
        const std::size_t nr = sn.RowCount(k), nc = sn.Columns(k), nb = nr - nc;
        double* F = factor.blocks.data() + sn.blockStart[k];
        if (nb == 0) {
            Dense::InverseFromCholesky(nc, F, nr); // Q_JJ = (L_JJ L_JJᵀ)⁻¹
            continue;
        }
        // U = L_RJ L_JJ⁻¹.
        double* U = w.U.data();
        for (std::size_t c = 0; c < nc; ++c)
            std::copy_n(F + nc + c * nr, nb, U + c * nb);
        Dense::SolveRight(nb, nc, F, nr, U, nb);
        // Q_RJ = −Q_RR U.
        GatherBelow(sn, factor.blocks, sn.rows.data() + sn.rowStart[k] + nc, nb, w.QRR.data(),
                    w.at);
        double* QRJ = w.QRJ.data();
        Dense::SymmetricMultiply(nb, nc, -1.0, w.QRR.data(), nb, U, nb, 0.0, QRJ, nb);
        // Q_JJ = (L_JJ L_JJᵀ)⁻¹ − Uᵀ Q_RJ.
        Dense::InverseFromCholesky(nc, F, nr);
        Dense::TransposedMultiply(nc, nc, nb, -1.0, U, nb, QRJ, nb, 1.0, F, nr);
        for (std::size_t c = 0; c < nc; ++c)
            std::copy_n(QRJ + c * nb, nb, F + nc + c * nr);
    }
    ScatterBlocks(sn, factor.blocks, L);
    factor.holdsCofactors = true;
    return 1;
}

} // namespace Tavex
