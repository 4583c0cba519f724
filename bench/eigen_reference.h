// The reference the sparse core is measured against: the same normal
// equations through Eigen's simplicial Cholesky with its approximate minimum
// degree ordering.
#ifndef TAVEX_BENCH_EIGEN_REFERENCE_H
#define TAVEX_BENCH_EIGEN_REFERENCE_H

#include "engine/linear_system.h"

#include <Eigen/OrderingMethods>
#include <Eigen/SparseCholesky>
#include <Eigen/SparseCore>

#include <cstddef>

namespace TavexBench {

// Eigen's solver, with read access to the factor's storage once the pattern
// is analysed (matrixL() wants a finished factorisation).
class EigenCholesky : public Eigen::SimplicialLLT<Eigen::SparseMatrix<double>, Eigen::Lower,
                                                  Eigen::AMDOrdering<int>> {
public:
    // L by columns, the diagonal first in every column.
    const Eigen::SparseMatrix<double>& FactorStorage() const { return m_matrix; }
};

// N = Aᵀ P A of the system (both triangles, 0-based: unknown k is index k−1),
// every structurally non-zero element kept.
Eigen::SparseMatrix<double> NormalMatrix(const Tavex::LinearSystem& system);

// b = Aᵀ P l, 0-based.
Eigen::VectorXd RightHandSide(const Tavex::LinearSystem& system);

// Stored entries of the factor L (diagonal included) once the pattern is
// analysed.
std::size_t FactorEntries(const EigenCholesky& cholesky);

// The multiply-adds of the factorisation, Σ c (c + 1) / 2 over the columns
// of L with c off-diagonal entries (the updates l(j, i) l(k, i), i < k <= j),
// once the pattern is analysed.
double CholeskyMultiplyAdds(const EigenCholesky& cholesky);

} // namespace TavexBench

#endif
