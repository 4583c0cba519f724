#include "eigen_reference.h"

#include <vector>

namespace TavexBench {

namespace {

// A 1-based compressed-row matrix as an Eigen sparse matrix, 0-based.
Eigen::SparseMatrix<double> ToEigen(const Tavex::CompressedRows& m) {
    std::vector<Eigen::Triplet<double>> triplets;
    triplets.reserve(m.Stored());
    for (std::size_t r = 1; r <= m.rows; ++r)
        for (std::size_t e = m.Begin(r); e < m.End(r); ++e)
            triplets.emplace_back(static_cast<int>(r - 1), static_cast<int>(m.col[e] - 1),
                                  m.val[e]);
    Eigen::SparseMatrix<double> result(static_cast<Eigen::Index>(m.rows),
                                       static_cast<Eigen::Index>(m.columns));
    result.setFromTriplets(triplets.begin(), triplets.end());
    return result;
}

Eigen::VectorXd ToEigen(const std::vector<double>& oneBased) {
    return Eigen::Map<const Eigen::VectorXd>(oneBased.data() + 1,
                                             static_cast<Eigen::Index>(oneBased.size() - 1));
}

} // namespace

Eigen::SparseMatrix<double> NormalMatrix(const Tavex::LinearSystem& system) {
    const Eigen::SparseMatrix<double> A = ToEigen(system.A);
    const Eigen::SparseMatrix<double> P = ToEigen(system.P);
    const Eigen::SparseMatrix<double> PA = P * A;
    return Eigen::SparseMatrix<double>(A.transpose() * PA);
}

Eigen::VectorXd RightHandSide(const Tavex::LinearSystem& system) {
    const Eigen::SparseMatrix<double> A = ToEigen(system.A);
    const Eigen::SparseMatrix<double> P = ToEigen(system.P);
    return A.transpose() * (P * ToEigen(system.l));
}

std::size_t FactorEntries(const EigenCholesky& cholesky) {
    const Eigen::SparseMatrix<double>& L = cholesky.FactorStorage();
    return static_cast<std::size_t>(L.outerIndexPtr()[L.outerSize()]);
}

double CholeskyMultiplyAdds(const EigenCholesky& cholesky) {
    const Eigen::SparseMatrix<double>& L = cholesky.FactorStorage();
    double madds = 0.0;
    for (Eigen::Index k = 0; k < L.outerSize(); ++k) {
        const double c = L.outerIndexPtr()[k + 1] - L.outerIndexPtr()[k] - 1;
        madds += c * (c + 1.0) / 2.0;
    }
    return madds;
}

} // namespace TavexBench
