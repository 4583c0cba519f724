// The structure of column j of L, below j, is contained in the structure of
// its parent plus the parent itself. So along a chain j, j + 1, … in which
// every column is its predecessor's parent, the union of the columns'
// structures below the chain is the structure of its last column, and a
// chain can be stored as one dense block whose rows are the chain's columns
// and the last column's rows below it.
#include "engine/supernodes.h"

#include <algorithm>

namespace Tavex {

namespace {

// Up to kRelaxColumns[i] columns a merged supernode may carry a share of
// zeros below kRelaxZeros[i] (beyond the last limit, the last share).
constexpr std::size_t kAlwaysMerge = 4;
constexpr std::size_t kRelaxColumns[] = {16, 48};
constexpr double kRelaxZeros[] = {0.8, 0.1, 0.05};

// Stored elements of a lower trapezoid with c columns and r rows.
std::size_t Trapezoid(std::size_t c, std::size_t r) {
    return c * r - c * (c - 1) / 2;
}

bool WorthMerging(std::size_t columns, std::size_t stored, std::size_t entries) {
    if (columns <= kAlwaysMerge)
        return true;
    const double zeros = static_cast<double>(stored - entries) / static_cast<double>(stored);
    if (columns <= kRelaxColumns[0])
        return zeros < kRelaxZeros[0];
    if (columns <= kRelaxColumns[1])
        return zeros < kRelaxZeros[1];
    return zeros < kRelaxZeros[2];
}

} // namespace

Supernodes FindSupernodes(const CompressedRows& L, const std::vector<std::uint32_t>& parent) {
    const std::size_t u = L.rows;
    Supernodes sn;
    if (u == 0)
        return sn;
    // Column counts of L, diagonal included.
    std::vector<std::size_t> count(u + 2, 0);
    for (std::size_t e = 1; e <= L.Stored(); ++e)
        ++count[L.col[e]];

    // Fundamental supernodes, merged while it pays: the current supernode
    // (columns f … j, rows = its columns and the rows below j, entries =
    // the stored entries of L in its columns) meets column j + 1.
    sn.first.push_back(1);
    std::size_t columns = 1, entries = count[1];
    for (std::uint32_t j = 1; j < u; ++j) {
        const std::uint32_t next = j + 1;
        bool merge = false;
        if (parent[j] == next) {
            if (count[j] == count[next] + 1) {
                merge = true; // fundamental: nothing but the chain
            } else {
                // The merged block: rows = the columns so far and column
                // next's rows. The zeros are everything not in L.
                const std::size_t mergedRows = columns + count[next];
                const std::size_t stored = Trapezoid(columns + 1, mergedRows);
                merge = WorthMerging(columns + 1, stored, entries + count[next]);
            }
        }
        if (merge) {
            ++columns;
            entries += count[next];
        } else {
            sn.first.push_back(next);
            columns = 1;
            entries = count[next];
        }
    }
    sn.count = sn.first.size();
    sn.first.push_back(static_cast<std::uint32_t>(u + 1));

    sn.of.assign(u + 1, 0);
    for (std::size_t s = 0; s < sn.count; ++s)
        for (std::uint32_t j = sn.first[s]; j < sn.first[s + 1]; ++j)
            sn.of[j] = static_cast<std::uint32_t>(s);

    // Rows of each supernode: its columns, then the rows of L below that
    // hold its last column (row j of L holds column k when k is in it).
    sn.rowStart.assign(sn.count + 1, 0);
    for (std::size_t s = 0; s < sn.count; ++s)
        sn.rowStart[s + 1] = sn.Columns(s) + count[sn.first[s + 1] - 1] - 1;
    for (std::size_t s = 0; s < sn.count; ++s)
        sn.rowStart[s + 1] += sn.rowStart[s];
    sn.rows.resize(sn.rowStart[sn.count]);
    std::vector<std::size_t> next(sn.count);
    for (std::size_t s = 0; s < sn.count; ++s) {
        std::size_t at = sn.rowStart[s];
        for (std::uint32_t j = sn.first[s]; j < sn.first[s + 1]; ++j)
            sn.rows[at++] = j;
        next[s] = at;
    }
    for (std::uint32_t j = 1; j <= u; ++j) {
        for (std::size_t e = L.Begin(j); e < L.End(j) - 1; ++e) {
            const std::uint32_t k = L.col[e];
            const std::size_t s = sn.of[k];
            if (k == sn.first[s + 1] - 1)
                sn.rows[next[s]++] = j;
        }
    }

    sn.blockStart.assign(sn.count + 1, 0);
    for (std::size_t s = 0; s < sn.count; ++s)
        sn.blockStart[s + 1] = sn.blockStart[s] + sn.Columns(s) * sn.RowCount(s);
    return sn;
}

namespace {

// Calls visit(e, b) for every stored entry e of L and the position b of its
// value in the blocks, supernode by supernode so that each block is visited
// while it is in the cache. The entries of row j in the columns of
// supernode s follow each other in row j; supernodes run in ascending order
// of their columns, so next[j], the first entry of row j not yet visited,
// is where they start.
template <class Visit>
void ForEachEntry(const Supernodes& sn, const CompressedRows& L, Visit visit) {
    std::vector<std::size_t> next(L.rows + 1);
    for (std::size_t j = 1; j <= L.rows; ++j)
        next[j] = L.Begin(j);
    for (std::size_t s = 0; s < sn.count; ++s) {
        const std::size_t nr = sn.RowCount(s);
        const std::uint32_t last = sn.first[s + 1];
        const std::size_t block = sn.blockStart[s];
        for (std::size_t r = 0; r < nr; ++r) {
            const std::uint32_t j = sn.rows[sn.rowStart[s] + r];
            std::size_t e = next[j];
            for (const std::size_t end = L.End(j); e < end && L.col[e] < last; ++e)
                visit(e, block + r + (L.col[e] - sn.first[s]) * nr);
            next[j] = e;
        }
    }
}

} // namespace

void GatherBlocks(const Supernodes& sn, const CompressedRows& L, std::vector<double>& blocks) {
    blocks.assign(sn.Empty() ? 0 : sn.blockStart[sn.count], 0.0);
    ForEachEntry(sn, L, [&](std::size_t e, std::size_t b) { blocks[b] = L.val[e]; });
}

void ScatterBlocks(const Supernodes& sn, const std::vector<double>& blocks, CompressedRows& L) {
    ForEachEntry(sn, L, [&](std::size_t e, std::size_t b) { L.val[e] = blocks[b]; });
}

} // namespace Tavex
