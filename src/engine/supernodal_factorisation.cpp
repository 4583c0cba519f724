// Left-looking supernodal Cholesky. Supernodes are factorised in ascending
// order of their columns, which is the elimination order. For supernode s
// with columns J and rows below R, block F = [F_JJ; F_RJ]:
//
//   1. assemble  F = the lower part of the columns J of N (on the rows of s);
//   2. update    F −= L_{J∪R, K} L_{J, K}ᵀ for every earlier supernode d whose
//                rows meet J (its columns K): a dense product L_d L_dᵀ of the
//                rows of d from the first in J on, scattered into F through
//                the relative map (row → position in s);
//   3. factorise F_JJ = L_JJ L_JJᵀ column by column with the pivot test, and
//                L_RJ = F_RJ L_JJ⁻ᵀ (panels of the diagonal block by our own
//                loops, the rest through BLAS).
//
// The earlier supernodes that update s are found the way CHOLMOD finds them:
// after d is factorised (or has updated a supernode), it is linked into the
// list of the supernode that holds its next row below.
//
// Each pivot d = n(j, j) − Σ l(j, k)² is the simplicial factorisation's, in
// another order of summation; the first one below ε² in the order of the
// unknowns names the singular unknown.
#include "engine/dense_kernels.h"
#include "engine/low_rank_correction.h"
#include "engine/normal_rows.h"
#include "engine/numeric_factorisation.h"
#include "messages/no_memory.h"
#include "messages/string_loader.h"
#include "resources/string_ids.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace Tavex {

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);
// Columns of the panels of a diagonal block factorised by our own loops.
constexpr std::size_t kPanel = 32;
// Updates with fewer multiply-adds than this go through plain loops: a BLAS
// call costs more than it saves on them.
constexpr std::size_t kSmallUpdate = 512;

// Column c of F (nr rows, columns c0 … c1 − 1 of the panel): pivot test,
// l(c, c) = √d, the panel's rows below divided by it, and the panel's later
// columns updated, rows down to last − 1. Returns false at a pivot d < floor
// (NaN included).
bool FactorisePanel(double* F, std::size_t nr, std::size_t c0, std::size_t c1, std::size_t last,
                    double floor, std::size_t& bad) {
    for (std::size_t c = c0; c < c1; ++c) {
        double* fc = F + c * nr;
        const double d = fc[c]; // n(j, j) − Σ l(j, k)², all updates done
        if (!(d >= floor)) {
            bad = c;
            return false;
        }
        const double l = std::sqrt(d);
        fc[c] = l;
        for (std::size_t r = c + 1; r < last; ++r)
            fc[r] /= l; // l(r, c)
        // f(r, q) −= l(r, c) l(q, c) for the panel's later columns q.
        for (std::size_t q = c + 1; q < c1; ++q) {
            const double lqc = fc[q];
            double* fq = F + q * nr;
            for (std::size_t r = q; r < last; ++r)
                fq[r] -= fc[r] * lqc;
        }
    }
    return true;
}

// Factorises the block of one supernode (nr rows, nc columns) in place.
bool FactoriseBlock(double* F, std::size_t nr, std::size_t nc, double floor, std::size_t& bad) {
    if (nc <= kPanel && nr * nc * nc <= 8 * kSmallUpdate)
        return FactorisePanel(F, nr, 0, nc, nr, floor, bad);
    for (std::size_t p0 = 0; p0 < nc; p0 += kPanel) {
        const std::size_t p1 = std::min(nc, p0 + kPanel);
        // Diagonal block of the panel by our own loops (the pivot test).
        if (!FactorisePanel(F, nr, p0, p1, p1, floor, bad))
            return false;
        // Rows below the panel's diagonal block: L = F L_pp⁻ᵀ.
        Dense::SolveRightTransposed(nr - p1, p1 - p0, F + p0 + p0 * nr, nr, F + p1 + p0 * nr, nr);
        // The later columns of the supernode: F −= L_panel L_panelᵀ.
        const std::size_t later = nc - p1;
        if (later == 0)
            continue;
        Dense::SymmetricRankUpdate(later, p1 - p0, -1.0, F + p1 + p0 * nr, nr, 1.0,
                                   F + p1 + p1 * nr, nr);
        Dense::MultiplyTransposed(nr - nc, later, p1 - p0, -1.0, F + nc + p0 * nr, nr,
                                  F + p1 + p0 * nr, nr, 1.0, F + nc + p1 * nr, nr);
    }
    return true;
}

struct Work {
    std::vector<double> x;        // one column of N over the unknowns
    std::vector<std::size_t> map; // row → position in the current supernode
    std::vector<std::size_t> head, link, nextRow;
    std::vector<double> update;
};

} // namespace

int NumericFactorisation(LinearSystem& s, double epsilon, std::uint32_t& singularUnknown,
                         MessageLog& log) {
    CholeskyFactor& factor = s.factor;
    CompressedRows& L = factor.L;
    const std::size_t u = L.rows;
    const double pivotFloor = epsilon * epsilon;
    singularUnknown = 0;
    Work w;
    try {
        if (factor.supernodes.Empty() && u > 0)
            factor.supernodes = FindSupernodes(L, factor.parent);
        if (L.val.size() != L.Stored() + 1)
            L.val.assign(L.Stored() + 1, 0.0);
        const Supernodes& sn = factor.supernodes;
        // Every element of a block's lower trapezoid is assembled before it
        // is read, so blocks kept from an earlier factorisation need no
        // clearing.
        const std::size_t elements = u == 0 ? 0 : sn.blockStart[sn.count];
        if (factor.blocks.size() != elements)
            factor.blocks.assign(elements, 0.0);
        w.x.assign(u + 1, 0.0);
        w.map.assign(u + 1, 0);
        w.head.assign(sn.count, kNone);
        w.link.assign(sn.count, kNone);
        w.nextRow.assign(sn.count, 0);
        factor.normalDiagonal.resize(u + 1);
    } catch (const std::bad_alloc&) {
        return ReportNoMemory(log, STR_NO_MEMORY_ALLOCATE, STR_OBJECT_NORMAL_MATRIX);
    }
    factor.holdsCofactors = false;
    factor.blocksHoldFactor = false;
    const Supernodes& sn = factor.supernodes;

    for (std::size_t k = 0; k < sn.count; ++k) {
        const std::size_t nr = sn.RowCount(k), nc = sn.Columns(k);
        const std::uint32_t* R = sn.rows.data() + sn.rowStart[k];
        double* F = factor.blocks.data() + sn.blockStart[k];
        for (std::size_t r = 0; r < nr; ++r)
            w.map[R[r]] = r;

        // Assemble: the lower part of the columns of N.
        for (std::size_t c = 0; c < nc; ++c) {
            ScatterNormalColumn(s, sn.first[k] + static_cast<std::uint32_t>(c), w.x);
            for (std::size_t r = c; r < nr; ++r) {
                F[r + c * nr] = w.x[R[r]];
                w.x[R[r]] = 0.0;
            }
            factor.normalDiagonal[sn.first[k] + c] = F[c + c * nr];
        }

        // Update from every earlier supernode d with rows in this one's
        // columns: rows p1 … p2 − 1 of d lie in them, rows p1 … nd − 1 are
        // updated. C = L_d(p1:, :) L_d(p1:p2, :)ᵀ, lower part, F −= C.
        for (std::size_t d = w.head[k]; d != kNone;) {
            const std::size_t nextD = w.link[d];
            const std::size_t nd = sn.RowCount(d), cd = sn.Columns(d);
            const std::uint32_t* Rd = sn.rows.data() + sn.rowStart[d];
            const double* Ld = factor.blocks.data() + sn.blockStart[d];
            const std::size_t p1 = w.nextRow[d];
            std::size_t p2 = p1;
            while (p2 < nd && Rd[p2] < sn.first[k + 1])
                ++p2;
            const std::size_t m = nd - p1, n = p2 - p1;
            if (cd * m * n <= kSmallUpdate) {
                for (std::size_t c = 0; c < n; ++c) {
                    double* target = F + (Rd[p1 + c] - sn.first[k]) * nr;
                    for (std::size_t i = c; i < m; ++i) {
                        double sum = 0.0;
                        for (std::size_t t = 0; t < cd; ++t)
                            sum += Ld[p1 + i + t * nd] * Ld[p1 + c + t * nd];
                        target[w.map[Rd[p1 + i]]] -= sum;
                    }
                }
            } else {
                if (w.update.size() < m * n)
                    w.update.resize(m * n);
                double* C = w.update.data();
                Dense::SymmetricRankUpdate(n, cd, 1.0, Ld + p1, nd, 0.0, C, m);
                Dense::MultiplyTransposed(m - n, n, cd, 1.0, Ld + p2, nd, Ld + p1, nd, 0.0, C + n,
                                          m);
                for (std::size_t c = 0; c < n; ++c) {
                    double* target = F + (Rd[p1 + c] - sn.first[k]) * nr;
                    const double* cc = C + c * m;
                    for (std::size_t i = c; i < m; ++i)
                        target[w.map[Rd[p1 + i]]] -= cc[i];
                }
            }
            // On to the supernode of d's next row.
            w.nextRow[d] = p2;
            if (p2 < nd) {
                const std::size_t t = sn.of[Rd[p2]];
                w.link[d] = w.head[t];
                w.head[t] = d;
            }
            d = nextD;
        }

        // Factorise, with the pivot test.
        std::size_t bad = 0;
        if (!FactoriseBlock(F, nr, nc, pivotFloor, bad)) {
            singularUnknown = sn.first[k] + static_cast<std::uint32_t>(bad);
            log.AddMessage(STR_NORMALS_SINGULAR, MSG_ERROR, REF_NONE,
                           CStringL(STR_NORMALS_SINGULAR));
            return 0;
        }
        w.nextRow[k] = nc;
        if (nc < nr) {
            const std::size_t t = sn.of[R[nc]];
            w.link[k] = w.head[t];
            w.head[t] = k;
        }
    }
    factor.blocksHoldFactor = true;
    return FormLowRankCorrection(s, singularUnknown, log);
}

} // namespace Tavex
