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
#include "engine/low_rank_correction.h"
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
    std::vector<double> inverse; // L_JJ⁻¹ of a small supernode
};

// Supernodes with at most this many columns and nb² nc multiply-adds in
// Q_RR U are done by the plain loops below: a BLAS call costs more than it
// saves on them.
constexpr std::size_t kSmallColumns = 16;
constexpr std::size_t kSmallWork = 8192;

// U = U L⁻¹ for L the lower triangle of F (nc x nc, leading dimension nr),
// U nb x nc: column c of U L = Σ_{t≥c} U(:, t) l(t, c), solved from the last
// column to the first.
void SolveRightSmall(std::size_t nb, std::size_t nc, const double* F, std::size_t nr, double* U) {
    for (std::size_t c = nc; c-- > 0;) {
        double* uc = U + c * nb;
        for (std::size_t t = c + 1; t < nc; ++t) {
            const double ltc = F[t + c * nr];
            const double* ut = U + t * nb;
            for (std::size_t i = 0; i < nb; ++i)
                uc[i] -= ut[i] * ltc;
        }
        const double lcc = F[c + c * nr];
        for (std::size_t i = 0; i < nb; ++i)
            uc[i] /= lcc;
    }
}

// QRJ = −S U for S symmetric (nb x nb, lower triangle stored), U nb x nc.
void SymmetricMultiplySmall(std::size_t nb, std::size_t nc, const double* S, const double* U,
                            double* QRJ) {
    for (std::size_t c = 0; c < nc; ++c) {
        const double* uc = U + c * nb;
        double* qc = QRJ + c * nb;
        for (std::size_t i = 0; i < nb; ++i)
            qc[i] = 0.0;
        for (std::size_t j = 0; j < nb; ++j) {
            const double* sj = S + j * nb; // s(i, j), i ≥ j
            const double uj = uc[j];
            double sum = sj[j] * uj;
            for (std::size_t i = j + 1; i < nb; ++i) {
                qc[i] -= sj[i] * uj;
                sum += sj[i] * uc[i];
            }
            qc[j] -= sum;
        }
    }
}

// The lower triangle of (L Lᵀ)⁻¹ = L⁻ᵀ L⁻¹ in place of L (nc x nc in F),
// through M = L⁻¹ (lower): m(i, c) = −Σ_{c≤t<i} l(i, t) m(t, c) / l(i, i).
void InverseSmall(std::size_t nc, double* F, std::size_t nr, std::vector<double>& M) {
    M.assign(nc * nc, 0.0);
    for (std::size_t c = 0; c < nc; ++c) {
        M[c + c * nc] = 1.0 / F[c + c * nr];
        for (std::size_t i = c + 1; i < nc; ++i) {
            double sum = 0.0;
            for (std::size_t t = c; t < i; ++t)
                sum += F[i + t * nr] * M[t + c * nc];
            M[i + c * nc] = -sum / F[i + i * nr];
        }
    }
    // q(i, j) = Σ_{t≥i} m(t, i) m(t, j) for i ≥ j.
    for (std::size_t j = 0; j < nc; ++j)
        for (std::size_t i = j; i < nc; ++i) {
            double sum = 0.0;
            for (std::size_t t = i; t < nc; ++t)
                sum += M[t + i * nc] * M[t + j * nc];
            F[i + j * nr] = sum;
        }
}

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
        // The blocks hold the factor after a supernodal factorisation; a
        // factor computed otherwise is gathered from the rows of L.
        if (!factor.blocksHoldFactor)
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
        const bool small = nc <= kSmallColumns && nb * nb * nc <= kSmallWork;
        if (nb == 0) {
            // Q_JJ = (L_JJ L_JJᵀ)⁻¹.
            if (small)
                InverseSmall(nc, F, nr, w.inverse);
            else
                Dense::InverseFromCholesky(nc, F, nr);
            continue;
        }
        // U = L_RJ L_JJ⁻¹.
        double* U = w.U.data();
        for (std::size_t c = 0; c < nc; ++c)
            std::copy_n(F + nc + c * nr, nb, U + c * nb);
        if (small)
            SolveRightSmall(nb, nc, F, nr, U);
        else
            Dense::SolveRight(nb, nc, F, nr, U, nb);
        // Q_RJ = −Q_RR U.
        GatherBelow(sn, factor.blocks, sn.rows.data() + sn.rowStart[k] + nc, nb, w.QRR.data(),
                    w.at);
        double* QRJ = w.QRJ.data();
        if (small)
            SymmetricMultiplySmall(nb, nc, w.QRR.data(), U, QRJ);
        else
            Dense::SymmetricMultiply(nb, nc, -1.0, w.QRR.data(), nb, U, nb, 0.0, QRJ, nb);
        // Q_JJ = (L_JJ L_JJᵀ)⁻¹ − Uᵀ Q_RJ (the lower triangle).
        if (small) {
            InverseSmall(nc, F, nr, w.inverse);
            for (std::size_t j = 0; j < nc; ++j)
                for (std::size_t i = j; i < nc; ++i) {
                    double sum = 0.0;
                    for (std::size_t t = 0; t < nb; ++t)
                        sum += U[t + i * nb] * QRJ[t + j * nb];
                    F[i + j * nr] -= sum;
                }
        } else {
            Dense::InverseFromCholesky(nc, F, nr);
            Dense::TransposedMultiply(nc, nc, nb, -1.0, U, nb, QRJ, nb, 1.0, F, nr);
        }
        for (std::size_t c = 0; c < nc; ++c)
            std::copy_n(QRJ + c * nb, nb, F + nc + c * nr);
    }
    ScatterBlocks(sn, factor.blocks, L);
    CorrectCofactorSubset(factor);
    factor.holdsCofactors = true;
    factor.blocksHoldFactor = false;
    return 1;
}

} // namespace Tavex
