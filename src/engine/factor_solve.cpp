#include "engine/factor_solve.h"

#include "engine/low_rank_correction.h"
#include "engine/supernodal_solve.h"
#include "messages/no_memory.h"
#include "resources/string_ids.h"

#include <new>

namespace Tavex {

void ForwardSubstitution(const CholeskyFactor& factor, std::vector<double>& b) {
    if (factor.blocksHoldFactor)
        return SupernodalForward(factor, b);
    const CompressedRows& L = factor.L;
    for (std::size_t j = 1; j <= L.rows; ++j) {
        const std::size_t diagonal = factor.Diagonal(j);
        double sum = b[j];
        for (std::size_t e = L.Begin(j); e < diagonal; ++e)
            sum -= L.val[e] * b[L.col[e]];
        b[j] = sum / L.val[diagonal];
    }
}

double NormalDiagonal(const CholeskyFactor& factor, std::uint32_t i) {
    if (factor.blocksHoldFactor)
        return factor.normalDiagonal[i];
    const CompressedRows& L = factor.L;
    double n = 0.0;
    for (std::size_t e = L.Begin(i); e < L.End(i); ++e)
        n += L.val[e] * L.val[e];
    return n;
}

void BackSubstitution(const CholeskyFactor& factor, std::vector<double>& y) {
    if (factor.blocksHoldFactor)
        return SupernodalBack(factor, y);
    const CompressedRows& L = factor.L;
    // Column sweep over the rows: once x(j) is known, its contribution
    // l(j, k) x(j) leaves every earlier y(k).
    for (std::size_t j = L.rows; j >= 1; --j) {
        const std::size_t diagonal = factor.Diagonal(j);
        const double xj = y[j] / L.val[diagonal];
        y[j] = xj;
        for (std::size_t e = L.Begin(j); e < diagonal; ++e)
            y[L.col[e]] -= L.val[e] * xj;
    }
}

int SolveNormalEquations(LinearSystem& s, MessageLog& log) {
    std::vector<double> w;
    try {
        Multiply(s.P, s.l, w);  // w = P l
        Multiply(s.At, w, s.x); // b = Aᵀ w
    } catch (const std::bad_alloc&) {
        return ReportNoMemory(log, STR_NO_MEMORY_ALLOCATE, STR_OBJECT_HELP_MATRIX);
    }
    std::vector<double> b;
    try {
        if (s.factor.correction.Active())
            b = s.x;
    } catch (const std::bad_alloc&) {
        return ReportNoMemory(log, STR_NO_MEMORY_ALLOCATE, STR_OBJECT_HELP_MATRIX);
    }
    ForwardSubstitution(s.factor, s.x);
    BackSubstitution(s.factor, s.x);
    CorrectSolution(s.factor, b, s.x);
    try {
        Multiply(s.A, s.x, s.Ax);
        InnerConstraintProducts(s, s.x, s.Ax);
    } catch (const std::bad_alloc&) {
        return ReportNoMemory(log, STR_NO_MEMORY_ALLOCATE, STR_OBJECT_HELP_MATRIX);
    }
    return 1;
}

namespace {

// y = L⁻¹ e(i) on the path from i to the root; path receives the path's
// nodes in ascending order. y must be zero on entry outside the path.
void UnitForward(const CholeskyFactor& factor, std::uint32_t i, std::vector<double>& y,
                 std::vector<std::uint32_t>& path) {
    if (factor.blocksHoldFactor)
        return SupernodalUnitForward(factor, i, y, path);
    const CompressedRows& L = factor.L;
    path.clear();
    for (std::uint32_t m = i; m != 0; m = factor.parent[m]) {
        path.push_back(m);
        const std::size_t diagonal = factor.Diagonal(m);
        double sum = m == i ? 1.0 : 0.0;
        for (std::size_t e = L.Begin(m); e < diagonal; ++e)
            sum -= L.val[e] * y[L.col[e]];
        y[m] = sum / L.val[diagonal];
    }
}

} // namespace

double CofactorElement(const CholeskyFactor& factor, std::uint32_t i, std::uint32_t j,
                       CofactorWorkspace& work) {
    const std::size_t u = factor.Unknowns();
    if (work.yi.size() != u + 1) {
        work.yi.assign(u + 1, 0.0);
        work.yj.assign(u + 1, 0.0);
    }
    const double correction = factor.correction.Active() ? factor.correction.Element(i, j) : 0.0;
    UnitForward(factor, i, work.yi, work.pathI);
    if (i == j) {
        double q = 0.0;
        for (std::uint32_t m : work.pathI) {
            q += work.yi[m] * work.yi[m];
            work.yi[m] = 0.0;
        }
        return q - correction;
    }
    UnitForward(factor, j, work.yj, work.pathJ);
    // Both paths end at the same root when they meet; their common part is
    // where both vectors are non-zero.
    double q = 0.0;
    for (std::uint32_t m : work.pathI)
        q += work.yi[m] * work.yj[m];
    for (std::uint32_t m : work.pathI)
        work.yi[m] = 0.0;
    for (std::uint32_t m : work.pathJ)
        work.yj[m] = 0.0;
    return q - correction;
}

} // namespace Tavex
