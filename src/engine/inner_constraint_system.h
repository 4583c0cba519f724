// Inner constraints without a dense normal matrix.
//
// A free network without known stations is held by d inner-constraint rows
// G (one per datum defect: translations, rotations, scale), each with reduced
// observation 0 and a large weight w:
//
//   N_w = N + Σ_c w_c g_c g_cᵀ.
//
// Every g_c touches every station, so forming N_w would fill the factor
// completely (and with metre-scale rotation and scale coefficients at weight
// 10⁸ its largest eigenvalues sit near 10¹⁸, beyond what double precision
// can factorise next to the network's own modes). Instead the engine
// factorises a minimally held matrix
//
//   B = N + Σ_k W_k e_k e_kᵀ,
//
// with d unknowns k held by weights W_k of the size of N's own diagonal, and
// carries everything into N_w through the rank-2d identity (Woodbury) with
// U = [e_k | ĝ_c] (ĝ_c = g_c / |g_c|, unit length, so that the small matrix
// stays well scaled) and C = diag(−W_k, w_c |g_c|²):
//
//   N_w = B + U C Uᵀ,
//   N_w⁻¹ = B⁻¹ − Y Zᵀ,  Z = B⁻¹ U,  M = C⁻¹ + Uᵀ Z,  Y = Z M⁻¹.
//
// The weights only appear inverted, so a large w no longer ruins the
// condition. Two cases meet in this one formula:
// - the rows span exact datum defects (A g_c = 0): then Zᵀ b = 0 for every
//   right-hand side b = Aᵀ P l, and the correction is the S-transformation of
//   the minimally held solution into the inner-constraint datum,
//   Q_w = S Q_B Sᵀ + G (GᵀG)⁻¹ diag(1/w) (GᵀG)⁻¹ Gᵀ, S = I − G (GᵀG)⁻¹ Gᵀ;
// - the rows fix more than the defect (distances fix the scale that the
//   scale row constrains as well; in 3D the zenith angles fix the tilts, GPS
//   baselines the rotations and scale): then the weighted rows are a real
//   compromise, and the formula gives the weighted definition's results, as
//   a dense N_w would in exact arithmetic.
#ifndef TAVEX_ENGINE_INNER_CONSTRAINT_SYSTEM_H
#define TAVEX_ENGINE_INNER_CONSTRAINT_SYSTEM_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Tavex {

// The inner-constraint rows as the fill leaves them: their rows of the
// design matrix stay empty, their coefficients live here.
struct InnerConstraintRows {
    std::vector<std::uint32_t> rows; // the system's row of each constraint (P holds w_c)
    std::vector<double> length;      // |g_c|, the row's length before scaling
    // ĝ_c, unit length, over the unknowns 1..u: element i of row c at
    // G[c * (u + 1) + i].
    std::vector<double> G;
    std::vector<std::uint32_t> held; // the unknowns k held in B
    std::vector<double> heldWeight;  // W_k

    std::size_t Count() const { return rows.size(); }
    bool Active() const { return !rows.empty(); }
    // W_k when unknown j is held, else 0.
    double HeldWeight(std::uint32_t j) const {
        for (std::size_t k = 0; k < held.size(); ++k)
            if (held[k] == j)
                return heldWeight[k];
        return 0.0;
    }
    // ĝ_c · x over the unknowns (x 1-based).
    double Dot(std::size_t c, const std::vector<double>& x) const;
    void Clear() { *this = InnerConstraintRows{}; }
};

// The correction N_w⁻¹ = B⁻¹ − Y Zᵀ, formed after every factorisation of B.
struct LowRankCorrection {
    std::size_t rank = 0; // 2d (held unknowns and constraint rows)
    // Z and Y over the unknowns 1..u, by unknown: element (i, k) at
    // [i * rank + k].
    std::vector<double> Z, Y;

    bool Active() const { return rank > 0; }
    // (Y Zᵀ)(i, j).
    double Element(std::uint32_t i, std::uint32_t j) const {
        const double* y = Y.data() + std::size_t{i} * rank;
        const double* z = Z.data() + std::size_t{j} * rank;
        double sum = 0.0;
        for (std::size_t k = 0; k < rank; ++k)
            sum += y[k] * z[k];
        return sum;
    }
    // B scaled by 1/f (the variance factor applied to L and P) scales
    // B⁻¹, Z and M by f and leaves Y as it is.
    void Scale(double f) {
        for (double& z : Z)
            z *= f;
    }
    void Clear() { *this = LowRankCorrection{}; }
};

} // namespace Tavex

#endif
