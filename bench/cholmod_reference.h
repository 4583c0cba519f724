// The reference of the supernodal factorisation: CHOLMOD's supernodal
// Cholesky on the same normal matrix in the same order (natural ordering,
// no postordering of the elimination tree), with the same BLAS. Used by the
// benchmarks only, never by the kernel.
#ifndef TAVEX_BENCH_CHOLMOD_REFERENCE_H
#define TAVEX_BENCH_CHOLMOD_REFERENCE_H

#include <Eigen/SparseCore>

#include <memory>

namespace TavexBench {

class CholmodSupernodal {
public:
    // N with both triangles, 0-based, already in the order to be used.
    explicit CholmodSupernodal(const Eigen::SparseMatrix<double>& normal);
    ~CholmodSupernodal();
    CholmodSupernodal(const CholmodSupernodal&) = delete;
    CholmodSupernodal& operator=(const CholmodSupernodal&) = delete;

    // Symbolic analysis (supernodes); returns false on failure.
    bool Analyse();
    // Numeric factorisation on the analysed structure; false on failure.
    bool Factorise();
    // x = N⁻¹ b with the factor.
    Eigen::VectorXd Solve(const Eigen::VectorXd& b);
    // Stored entries of the supernodal factor, and its supernodes.
    double FactorEntries() const;
    double Supernodes() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace TavexBench

#endif
