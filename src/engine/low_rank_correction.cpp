// The rank-2d correction that carries the minimally held factorisation of B
// into the inner-constraint datum. Its columns U = [e_k | ĝ_c] are few (at
// most 14), so Z = B⁻¹ U costs a handful of solves and the small matrix M is
// inverted densely.
#include "engine/low_rank_correction.h"

#include "engine/factor_solve.h"
#include "messages/no_memory.h"
#include "messages/string_loader.h"
#include "resources/string_ids.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace Tavex {

namespace {

// Pivots of M below this part of its largest element are rounding noise of a
// singular matrix.
constexpr double kRelativePivotFloor = 1e-13;

// The weight w_c of constraint c as P holds it now (the variance factor and
// variance-component passes scale P).
double ConstraintWeight(const LinearSystem& s, std::size_t c) {
    const std::uint32_t r = s.inner.rows[c];
    for (std::size_t e = s.P.Begin(r); e < s.P.End(r); ++e)
        if (s.P.col[e] == r)
            return s.P.val[e];
    return 0.0;
}

// Column k of U over the unknowns 1..u.
void ColumnOfU(const InnerConstraintRows& in, std::size_t u, std::size_t k,
               std::vector<double>& column) {
    std::fill(column.begin(), column.end(), 0.0);
    const std::size_t h = in.held.size();
    if (k < h) {
        column[in.held[k]] = 1.0;
        return;
    }
    const double* g = in.G.data() + (k - h) * (u + 1);
    std::copy(g + 1, g + u + 1, column.begin() + 1);
}

// Inverts the m × m matrix M (row-major) in place by Gauss–Jordan elimination
// with partial pivoting. Returns false when a pivot is below the floor.
bool InvertSmall(std::vector<double>& M, std::size_t m) {
    double largest = 0.0;
    for (double v : M)
        largest = std::max(largest, std::fabs(v));
    const double floor = kRelativePivotFloor * largest;
    std::vector<double> inverse(m * m, 0.0);
    for (std::size_t i = 0; i < m; ++i)
        inverse[i * m + i] = 1.0;
    for (std::size_t c = 0; c < m; ++c) {
        std::size_t pivot = c;
        for (std::size_t r = c + 1; r < m; ++r)
            if (std::fabs(M[r * m + c]) > std::fabs(M[pivot * m + c]))
                pivot = r;
        if (!(std::fabs(M[pivot * m + c]) > floor))
            return false;
        if (pivot != c)
            for (std::size_t j = 0; j < m; ++j) {
                std::swap(M[c * m + j], M[pivot * m + j]);
                std::swap(inverse[c * m + j], inverse[pivot * m + j]);
            }
        const double d = M[c * m + c];
        for (std::size_t j = 0; j < m; ++j) {
            M[c * m + j] /= d;
            inverse[c * m + j] /= d;
        }
        for (std::size_t r = 0; r < m; ++r) {
            const double f = M[r * m + c];
            if (r == c || f == 0.0)
                continue;
            for (std::size_t j = 0; j < m; ++j) {
                M[r * m + j] -= f * M[c * m + j];
                inverse[r * m + j] -= f * inverse[c * m + j];
            }
        }
    }
    M = std::move(inverse);
    return true;
}

} // namespace

double InnerConstraintRows::Dot(std::size_t c, const std::vector<double>& x) const {
    const std::size_t u = x.size() - 1;
    const double* g = G.data() + c * (u + 1);
    double sum = 0.0;
    for (std::size_t i = 1; i <= u; ++i)
        sum += g[i] * x[i];
    return sum;
}

int FormLowRankCorrection(LinearSystem& s, std::uint32_t& singularUnknown, MessageLog& log) {
    LowRankCorrection& c = s.factor.correction;
    c.Clear();
    const InnerConstraintRows& in = s.inner;
    if (!in.Active())
        return 1;
    const std::size_t u = s.Unknowns(), h = in.held.size(), m = h + in.Count();
    std::vector<double> column, M;
    try {
        column.assign(u + 1, 0.0);
        M.assign(m * m, 0.0);
        c.Z.assign((u + 1) * m, 0.0);
        c.Y.assign((u + 1) * m, 0.0);
    } catch (const std::bad_alloc&) {
        c.Clear();
        return ReportNoMemory(log, STR_NO_MEMORY_ALLOCATE, STR_OBJECT_NORMAL_MATRIX);
    }
    c.rank = m;

    // Z = B⁻¹ U, one column at a time.
    for (std::size_t k = 0; k < m; ++k) {
        ColumnOfU(in, u, k, column);
        ForwardSubstitution(s.factor, column);
        BackSubstitution(s.factor, column);
        for (std::size_t i = 1; i <= u; ++i)
            c.Z[i * m + k] = column[i];
    }

    // M = C⁻¹ + Uᵀ Z, with C⁻¹ = diag(−1 / W_k, 1 / (w_c |g_c|²)).
    for (std::size_t a = 0; a < m; ++a) {
        for (std::size_t b = 0; b < m; ++b) {
            double uz = 0.0;
            if (a < h) {
                uz = c.Z[std::size_t{in.held[a]} * m + b];
            } else {
                const double* g = in.G.data() + (a - h) * (u + 1);
                for (std::size_t i = 1; i <= u; ++i)
                    uz += g[i] * c.Z[i * m + b];
            }
            M[a * m + b] = uz;
        }
    }
    for (std::size_t a = 0; a < m; ++a)
        for (std::size_t b = 0; b < a; ++b)
            M[a * m + b] = M[b * m + a] = 0.5 * (M[a * m + b] + M[b * m + a]);
    for (std::size_t k = 0; k < h; ++k)
        M[k * m + k] -= 1.0 / in.heldWeight[k];
    for (std::size_t r = 0; r < in.Count(); ++r) {
        const double w = ConstraintWeight(s, r) * in.length[r] * in.length[r];
        M[(h + r) * m + h + r] += 1.0 / w;
    }

    if (!InvertSmall(M, m)) {
        c.Clear();
        singularUnknown = h > 0 ? in.held[0] : 1;
        log.AddMessage(STR_NORMALS_SINGULAR, MSG_ERROR, REF_NONE, CStringL(STR_NORMALS_SINGULAR));
        return 0;
    }
    // Y = Z M⁻¹, row by row.
    for (std::size_t i = 1; i <= u; ++i) {
        const double* z = c.Z.data() + i * m;
        double* y = c.Y.data() + i * m;
        for (std::size_t b = 0; b < m; ++b) {
            double sum = 0.0;
            for (std::size_t a = 0; a < m; ++a)
                sum += z[a] * M[a * m + b];
            y[b] = sum;
        }
    }
    return 1;
}

void CorrectSolution(const CholeskyFactor& factor, const std::vector<double>& b,
                     std::vector<double>& x) {
    const LowRankCorrection& c = factor.correction;
    if (!c.Active())
        return;
    const std::size_t m = c.rank, u = x.size() - 1;
    // t = Zᵀ b, then x −= Y t.
    std::vector<double> t(m, 0.0);
    for (std::size_t i = 1; i <= u; ++i)
        for (std::size_t k = 0; k < m; ++k)
            t[k] += c.Z[i * m + k] * b[i];
    for (std::size_t i = 1; i <= u; ++i) {
        double sum = 0.0;
        for (std::size_t k = 0; k < m; ++k)
            sum += c.Y[i * m + k] * t[k];
        x[i] -= sum;
    }
}

void CorrectCofactorSubset(CholeskyFactor& factor) {
    const LowRankCorrection& c = factor.correction;
    if (!c.Active())
        return;
    CompressedRows& L = factor.L;
    for (std::uint32_t j = 1; j <= L.rows; ++j)
        for (std::size_t e = L.Begin(j); e < L.End(j); ++e)
            L.val[e] -= c.Element(j, L.col[e]);
}

void InnerConstraintProducts(const LinearSystem& s, const std::vector<double>& x,
                             std::vector<double>& Ax) {
    const InnerConstraintRows& in = s.inner;
    for (std::size_t c = 0; c < in.Count(); ++c)
        Ax[in.rows[c]] = in.length[c] * in.Dot(c, x);
}

} // namespace Tavex
