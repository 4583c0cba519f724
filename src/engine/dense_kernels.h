// The dense matrix kernels of the supernodal factor, through the standard
// Fortran BLAS and LAPACK interface (any implementation may be linked).
//
// Storage convention: column-major, 0-based, element (r, c) of a matrix with
// leading dimension ld at a[r + c * ld]. Only the lower triangle of a
// symmetric or triangular matrix is read or written.
#ifndef TAVEX_ENGINE_DENSE_KERNELS_H
#define TAVEX_ENGINE_DENSE_KERNELS_H

#include <cstddef>

namespace Tavex::Dense {

// C = alpha A B + beta C; A is m x k, B is k x n, C is m x n.
void Multiply(std::size_t m, std::size_t n, std::size_t k, double alpha, const double* a,
              std::size_t lda, const double* b, std::size_t ldb, double beta, double* c,
              std::size_t ldc);
// C = alpha A Bᵀ + beta C; A is m x k, B is n x k, C is m x n.
void MultiplyTransposed(std::size_t m, std::size_t n, std::size_t k, double alpha, const double* a,
                        std::size_t lda, const double* b, std::size_t ldb, double beta, double* c,
                        std::size_t ldc);
// C = alpha Aᵀ B + beta C; A is k x m, B is k x n, C is m x n.
void TransposedMultiply(std::size_t m, std::size_t n, std::size_t k, double alpha, const double* a,
                        std::size_t lda, const double* b, std::size_t ldb, double beta, double* c,
                        std::size_t ldc);
// Lower triangle of C = alpha A Aᵀ + beta C; A is n x k, C is n x n.
void SymmetricRankUpdate(std::size_t n, std::size_t k, double alpha, const double* a,
                         std::size_t lda, double beta, double* c, std::size_t ldc);
// C = alpha S B + beta C for S symmetric (lower triangle read), n x n; B and
// C are n x m.
void SymmetricMultiply(std::size_t n, std::size_t m, double alpha, const double* s, std::size_t lds,
                       const double* b, std::size_t ldb, double beta, double* c, std::size_t ldc);
// B = B L⁻ᵀ for L lower triangular n x n; B is m x n.
void SolveRightTransposed(std::size_t m, std::size_t n, const double* l, std::size_t ldl, double* b,
                          std::size_t ldb);
// B = B L⁻¹ for L lower triangular n x n; B is m x n.
void SolveRight(std::size_t m, std::size_t n, const double* l, std::size_t ldl, double* b,
                std::size_t ldb);
// Lower triangle of (L Lᵀ)⁻¹ in place of L (n x n). Returns false when L has
// a zero on its diagonal.
bool InverseFromCholesky(std::size_t n, double* l, std::size_t ldl);

} // namespace Tavex::Dense

#endif
