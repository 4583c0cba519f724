// Up-looking Cholesky (as CSparse's cs_chol). Row j of N is scattered into a
// dense work vector x over the unknowns; the columns k of row j of L are
// then solved in ascending order, which is a topological order of the
// elimination tree: l(j, k) = x[k] / l(k, k), after which column k's
// entries computed so far (rows i with k < i < j, all of them columns of row
// j, since the structure is closed under the elimination tree) update x[i] by
// −l(i, k) l(j, k). So every multiply-add of the factorisation is done once
// and only where the structure has a non-zero. The columns are kept as a
// work copy (row and value per entry) while the factor is computed; the
// values land in the row form of L at once.
#include "engine/numeric_factorisation.h"

#include "engine/low_rank_correction.h"
#include "engine/normal_rows.h"
#include "messages/no_memory.h"
#include "messages/string_loader.h"
#include "resources/string_ids.h"

#include <cmath>
#include <new>

namespace Tavex {

namespace {

// The off-diagonal part of L by columns, filled row by row.
struct ColumnWork {
    std::vector<std::size_t> next;  // next free slot of each column
    std::vector<std::size_t> start; // first slot of each column
    std::vector<std::uint32_t> row;
    std::vector<double> value;

    void Allocate(const CholeskyFactor& factor) {
        const CompressedRows& L = factor.L;
        const std::size_t u = L.rows;
        start.assign(u + 2, 0);
        for (std::size_t j = 1; j <= u; ++j)
            for (std::size_t e = L.Begin(j); e < factor.Diagonal(j); ++e)
                ++start[L.col[e] + 1];
        for (std::size_t k = 1; k <= u; ++k)
            start[k + 1] += start[k];
        next.assign(start.begin(), start.end());
        row.resize(L.Stored() - u);
        value.resize(L.Stored() - u);
    }
};

} // namespace

int SimplicialFactorisation(LinearSystem& s, double epsilon, std::uint32_t& singularUnknown,
                            MessageLog& log) {
    CholeskyFactor& factor = s.factor;
    CompressedRows& L = factor.L;
    const std::size_t u = L.rows;
    const double pivotFloor = epsilon * epsilon;
    singularUnknown = 0;
    std::vector<double> x;
    ColumnWork columns;
    try {
        x.assign(u + 1, 0.0);
        if (L.val.size() != L.Stored() + 1)
            L.val.assign(L.Stored() + 1, 0.0);
        columns.Allocate(factor);
    } catch (const std::bad_alloc&) {
        return ReportNoMemory(log, STR_NO_MEMORY_ALLOCATE, STR_OBJECT_NORMAL_MATRIX);
    }
    factor.holdsCofactors = false;
    factor.blocksHoldFactor = false;

    for (std::uint32_t j = 1; j <= u; ++j) {
        ScatterNormalRow(s, j, x);
        const std::size_t diagonal = factor.Diagonal(j);
        // d = n(j, j) − Σ l(j, k)².
        double d = x[j];
        x[j] = 0.0;
        for (std::size_t e = L.Begin(j); e < diagonal; ++e) {
            const std::uint32_t k = L.col[e];
            const double ljk = x[k] / L.val[factor.Diagonal(k)]; // l(j, k)
            x[k] = 0.0;
            // x[i] −= l(i, k) l(j, k) for the rows i of column k so far.
            for (std::size_t p = columns.start[k]; p < columns.next[k]; ++p)
                x[columns.row[p]] -= columns.value[p] * ljk;
            d -= ljk * ljk;
            L.val[e] = ljk;
            const std::size_t slot = columns.next[k]++;
            columns.row[slot] = j;
            columns.value[slot] = ljk;
        }
        // The pivot test; NaN counts as singular.
        if (!(d >= pivotFloor)) {
            singularUnknown = j;
            log.AddMessage(STR_NORMALS_SINGULAR, MSG_ERROR, REF_NONE,
                           CStringL(STR_NORMALS_SINGULAR));
            return 0;
        }
        L.val[diagonal] = std::sqrt(d);
    }
    return FormLowRankCorrection(s, singularUnknown, log);
}

} // namespace Tavex
