// The structure of L is closed: when l(k, j) and l(m, j) are in it (k > m >
// j), so is l(k, m). Hence every element of Z that the recurrence for column
// j needs is an element of Q on the structure, computed in an earlier (later
// numbered) column, and the values of column j of L are still in place when
// column j is reached. Columns are reached through a column index built
// once: for every column its rows and the positions of their values.
#include "engine/sparse_inverse.h"

#include "messages/no_memory.h"
#include "resources/string_ids.h"

#include <new>

namespace Tavex {

namespace {

struct ColumnIndex {
    std::vector<std::size_t> start;    // column j: entries start[j] .. start[j+1]-1
    std::vector<std::uint32_t> row;    // row of the entry (> j)
    std::vector<std::size_t> position; // position of the value in L
};

ColumnIndex BuildColumnIndex(const CholeskyFactor& factor) {
    const CompressedRows& L = factor.L;
    const std::size_t u = L.rows;
    ColumnIndex index;
    index.start.assign(u + 2, 0);
    const std::size_t offDiagonal = L.Stored() - u;
    index.row.resize(offDiagonal);
    index.position.resize(offDiagonal);
    for (std::size_t j = 1; j <= u; ++j)
        for (std::size_t e = L.Begin(j); e < factor.Diagonal(j); ++e)
            ++index.start[L.col[e] + 1];
    index.start[1] = 0;
    for (std::size_t j = 1; j <= u; ++j)
        index.start[j + 1] += index.start[j];
    std::vector<std::size_t> next(index.start.begin(), index.start.end());
    for (std::size_t j = 1; j <= u; ++j)
        for (std::size_t e = L.Begin(j); e < factor.Diagonal(j); ++e) {
            const std::size_t at = next[L.col[e]]++;
            index.row[at] = static_cast<std::uint32_t>(j);
            index.position[at] = e;
        }
    return index;
}

} // namespace

int SparseInverse(CholeskyFactor& factor, MessageLog& log) {
    CompressedRows& L = factor.L;
    const std::size_t u = L.rows;
    ColumnIndex index;
    std::vector<double> a, w;
    std::vector<std::size_t> slot; // slot[k]: index of row k in column j, or npos
    constexpr std::size_t npos = static_cast<std::size_t>(-1);
    try {
        index = BuildColumnIndex(factor);
        a.resize(u + 1);
        w.resize(u + 1);
        slot.assign(u + 1, npos);
    } catch (const std::bad_alloc&) {
        return ReportNoMemory(log, STR_NO_MEMORY_COMPUTE, STR_OBJECT_SPARSE_INVERSE);
    }

    for (std::size_t j = u; j >= 1; --j) {
        const std::size_t first = index.start[j];
        const std::size_t last = index.start[j + 1];
        const std::size_t count = last - first;
        // a = the off-diagonal entries of column j; w = Z a, starting with
        // the diagonal of Z.
        for (std::size_t c = 0; c < count; ++c) {
            const std::uint32_t k = index.row[first + c];
            slot[k] = c;
            a[c] = L.val[index.position[first + c]];
            w[c] = L.val[factor.Diagonal(k)] * a[c];
        }
        // Off-diagonal elements of Z: q(m, k) for k < m, both in column j,
        // found in column k.
        for (std::size_t c = 0; c < count; ++c) {
            const std::uint32_t k = index.row[first + c];
            for (std::size_t f = index.start[k]; f < index.start[k + 1]; ++f) {
                const std::size_t cm = slot[index.row[f]];
                if (cm == npos)
                    continue;
                const double qmk = L.val[index.position[f]];
                w[cm] += qmk * a[c];
                w[c] += qmk * a[cm];
            }
        }
        const double l = L.val[factor.Diagonal(j)];
        double aw = 0.0;
        for (std::size_t c = 0; c < count; ++c) {
            aw += a[c] * w[c];
            L.val[index.position[first + c]] = -w[c] / l;
            slot[index.row[first + c]] = npos;
        }
        L.val[factor.Diagonal(j)] = (1.0 / l) * (1.0 / l + aw / l);
    }
    factor.holdsCofactors = true;
    return 1;
}

} // namespace Tavex
