// The structure of row j of L is the set of columns reached from the
// non-zeros N(j, k), k < j, by walking up the elimination tree until a node
// already in the row is met (the "row subtree" of j). The tree itself is
// built on the way: a node without a parent when the walk reaches it is a
// root of the forest so far, and j becomes its parent. Each row costs time
// in proportion to its length, so the whole structure costs O(|L|) beyond
// forming the pattern of N.
//
// The first pass counts the rows so that the budget is checked before
// anything large is allocated; the next ones fill them by way of the
// columns.
#include "engine/symbolic_factorisation.h"

#include "messages/no_memory.h"
#include "resources/string_ids.h"

#include <algorithm>
#include <new>

namespace Tavex {

namespace {

// Walks the row subtree of row j: calls visit(k) once for every column k < j
// of row j of L. mark[k] == j marks the columns found so far.
template <class Visit>
void RowSubtree(const LinearSystem& s, std::uint32_t j, std::vector<std::uint32_t>& parent,
                std::vector<std::uint32_t>& mark, Visit visit) {
    mark[j] = j;
    const CompressedRows& At = s.At;
    const CompressedRows& P = s.P;
    const CompressedRows& A = s.A;
    // Observation rows of unknown j, rows coupled with them by P, and the
    // unknowns k < j of those rows: the non-zeros N(j, k).
    for (std::size_t e = At.Begin(j); e < At.End(j); ++e) {
        const std::uint32_t r = At.col[e];
        for (std::size_t f = P.Begin(r); f < P.End(r); ++f) {
            const std::uint32_t coupled = P.col[f];
            for (std::size_t g = A.Begin(coupled); g < A.End(coupled); ++g) {
                std::uint32_t k = A.col[g];
                if (k >= j)
                    break; // rows of A ascend
                // Up the elimination tree until a node of this row is met.
                while (mark[k] != j) {
                    mark[k] = j;
                    visit(k);
                    if (parent[k] == 0) {
                        parent[k] = j;
                        break;
                    }
                    k = parent[k];
                }
            }
        }
    }
}

} // namespace

int SymbolicFactorisation(LinearSystem& s, std::uint64_t capacity, MessageLog& log) {
    const std::size_t u = s.Unknowns();
    CholeskyFactor& factor = s.factor;
    factor.Clear();
    try {
        std::vector<std::uint32_t> parent(u + 1, 0);
        std::vector<std::uint32_t> mark(u + 1, 0);

        // Pass 1: row lengths (diagonal included) and the elimination tree.
        std::vector<std::size_t> rowStart(u + 2, 0);
        for (std::uint32_t j = 1; j <= u; ++j) {
            std::size_t length = 1;
            RowSubtree(s, j, parent, mark, [&](std::uint32_t) { ++length; });
            rowStart[j + 1] = rowStart[j] + length;
            if (rowStart[j + 1] > capacity)
                return ReportNoMemory(log, STR_NO_MEMORY_COMPUTE,
                                      STR_OBJECT_SYMBOLIC_FACTORISATION);
        }

        // Pass 2: the rows' columns, gathered by column first. Rows are
        // walked in order, so every column's list comes out in ascending
        // row order; reading the columns in order then fills every row in
        // ascending column order, without sorting. The tree is complete, so
        // the walk only reads it.
        CompressedRows& L = factor.L;
        L.rows = L.columns = u;
        L.rowStart = std::move(rowStart);
        L.capacity = L.Stored();
        std::vector<std::size_t> columnStart(u + 2, 0);
        std::fill(mark.begin(), mark.end(), 0);
        for (std::uint32_t j = 1; j <= u; ++j)
            RowSubtree(s, j, parent, mark, [&](std::uint32_t k) { ++columnStart[k + 1]; });
        for (std::size_t k = 1; k <= u; ++k)
            columnStart[k + 1] += columnStart[k];
        std::vector<std::uint32_t> columnRows(columnStart[u + 1]);
        std::vector<std::size_t> next(columnStart.begin(), columnStart.end());
        std::fill(mark.begin(), mark.end(), 0);
        for (std::uint32_t j = 1; j <= u; ++j)
            RowSubtree(s, j, parent, mark, [&](std::uint32_t k) { columnRows[next[k]++] = j; });
        L.col.assign(L.Stored() + 1, 0);
        std::vector<std::size_t> at(u + 2);
        for (std::size_t j = 1; j <= u; ++j)
            at[j] = L.Begin(j);
        for (std::uint32_t k = 1; k <= u; ++k) {
            for (std::size_t p = columnStart[k]; p < columnStart[k + 1]; ++p)
                L.col[at[columnRows[p]]++] = k;
            L.col[at[k]++] = k; // the diagonal closes row k
        }
        factor.parent = std::move(parent);
    } catch (const std::bad_alloc&) {
        factor.Clear();
        return ReportNoMemory(log, STR_NO_MEMORY_COMPUTE, STR_OBJECT_SYMBOLIC_FACTORISATION);
    }
    try {
        factor.L.val.assign(factor.L.Stored() + 1, 0.0);
    } catch (const std::bad_alloc&) {
        factor.Clear();
        return ReportNoMemory(log, STR_NO_MEMORY_ALLOCATE, STR_OBJECT_NORMAL_MATRIX);
    }
    return 1;
}

} // namespace Tavex
