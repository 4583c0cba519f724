// The structure of L is closed: when l(k, j) and l(m, j) are in it (k > m >
// j), so is l(k, m). Hence every element of Z that the recurrence for column
// j needs is an element of Q on the structure, computed in an earlier (later
// numbered) column, and the values of column j of L are still in place when
// column j is reached.
//
// The work runs on a copy of the off-diagonal part by columns (row and
// value side by side, so the inner loop reads memory in order) and on the
// diagonal apart; each column's results go into the copy for the columns
// still to come and into the row form of L, whose positions the copy keeps.
#include "engine/low_rank_correction.h"
#include "engine/sparse_inverse.h"

#include "messages/no_memory.h"
#include "resources/string_ids.h"

#include <new>

namespace Tavex {

namespace {

struct ColumnCopy {
    std::vector<std::size_t> start;    // column j: entries start[j] .. start[j+1]-1
    std::vector<std::uint32_t> row;    // row of the entry (> j)
    std::vector<double> value;         // l(row, j), then q(row, j)
    std::vector<std::size_t> position; // position of the value in L
    std::vector<double> diagonal;      // l(j, j), then q(j, j)
};

ColumnCopy CopyByColumns(const CholeskyFactor& factor) {
    const CompressedRows& L = factor.L;
    const std::size_t u = L.rows;
    ColumnCopy copy;
    copy.start.assign(u + 2, 0);
    const std::size_t offDiagonal = L.Stored() - u;
    copy.row.resize(offDiagonal);
    copy.value.resize(offDiagonal);
    copy.position.resize(offDiagonal);
    copy.diagonal.resize(u + 1);
    for (std::size_t j = 1; j <= u; ++j)
        for (std::size_t e = L.Begin(j); e < factor.Diagonal(j); ++e)
            ++copy.start[L.col[e] + 1];
    for (std::size_t j = 1; j <= u; ++j)
        copy.start[j + 1] += copy.start[j];
    std::vector<std::size_t> next(copy.start.begin(), copy.start.end());
    for (std::size_t j = 1; j <= u; ++j) {
        for (std::size_t e = L.Begin(j); e < factor.Diagonal(j); ++e) {
            const std::size_t at = next[L.col[e]]++;
            copy.row[at] = static_cast<std::uint32_t>(j);
            copy.value[at] = L.val[e];
            copy.position[at] = e;
        }
        copy.diagonal[j] = L.val[factor.Diagonal(j)];
    }
    return copy;
}

} // namespace

int SimplicialSparseInverse(CholeskyFactor& factor, MessageLog& log) {
    CompressedRows& L = factor.L;
    const std::size_t u = L.rows;
    ColumnCopy c;
    std::vector<double> a, w;
    std::vector<std::size_t> slot; // slot[k]: index of row k in column j, or npos
    constexpr std::size_t npos = static_cast<std::size_t>(-1);
    try {
        WriteRowValues(factor);
        c = CopyByColumns(factor);
        a.resize(u + 1);
        w.resize(u + 1);
        slot.assign(u + 1, npos);
    } catch (const std::bad_alloc&) {
        return ReportNoMemory(log, STR_NO_MEMORY_COMPUTE, STR_OBJECT_SPARSE_INVERSE);
    }

    for (std::size_t j = u; j >= 1; --j) {
        const std::size_t first = c.start[j];
        const std::size_t count = c.start[j + 1] - first;
        // a = the off-diagonal entries of column j.
        for (std::size_t k = 0; k < count; ++k) {
            slot[c.row[first + k]] = k;
            a[k] = c.value[first + k];
            w[k] = 0.0;
        }
        // w = Z a: for each k of column j, its diagonal q(k, k) and the
        // elements q(m, k), m > k in column j, which column k holds.
        for (std::size_t k = 0; k < count; ++k) {
            const std::uint32_t row = c.row[first + k];
            const double ak = a[k];
            double wk = w[k] + c.diagonal[row] * ak;
            for (std::size_t f = c.start[row]; f < c.start[row + 1]; ++f) {
                const std::size_t m = slot[c.row[f]];
                if (m == npos)
                    continue;
                const double qmk = c.value[f];
                wk += qmk * a[m];
                w[m] += qmk * ak; // m > k: never the accumulator above
            }
            w[k] = wk;
        }
        // q(k, j) = −w(k) / l and q(j, j) = (1 / l)(1 / l + a·w / l).
        const double l = c.diagonal[j];
        double aw = 0.0;
        for (std::size_t k = 0; k < count; ++k) {
            aw += a[k] * w[k];
            const double q = -w[k] / l;
            c.value[first + k] = q;
            L.val[c.position[first + k]] = q;
            slot[c.row[first + k]] = npos;
        }
        c.diagonal[j] = (1.0 / l) * (1.0 / l + aw / l);
        L.val[factor.Diagonal(j)] = c.diagonal[j];
    }
    CorrectCofactorSubset(factor);
    factor.holdsCofactors = true;
    factor.blocksHoldFactor = false;
    return 1;
}

} // namespace Tavex
