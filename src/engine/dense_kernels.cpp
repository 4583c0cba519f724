#include "engine/dense_kernels.h"

extern "C" {
void dgemm_(const char* transa, const char* transb, const int* m, const int* n, const int* k,
            const double* alpha, const double* a, const int* lda, const double* b, const int* ldb,
            const double* beta, double* c, const int* ldc);
void dsyrk_(const char* uplo, const char* trans, const int* n, const int* k, const double* alpha,
            const double* a, const int* lda, const double* beta, double* c, const int* ldc);
void dsymm_(const char* side, const char* uplo, const int* m, const int* n, const double* alpha,
            const double* a, const int* lda, const double* b, const int* ldb, const double* beta,
            double* c, const int* ldc);
void dtrsm_(const char* side, const char* uplo, const char* transa, const char* diag, const int* m,
            const int* n, const double* alpha, const double* a, const int* lda, double* b,
            const int* ldb);
void dpotri_(const char* uplo, const int* n, double* a, const int* lda, int* info);
}

namespace Tavex::Dense {

namespace {

int I(std::size_t n) {
    return static_cast<int>(n);
}

} // namespace

void Multiply(std::size_t m, std::size_t n, std::size_t k, double alpha, const double* a,
              std::size_t lda, const double* b, std::size_t ldb, double beta, double* c,
              std::size_t ldc) {
    if (m == 0 || n == 0)
        return;
    const int M = I(m), N = I(n), K = I(k), LDA = I(lda), LDB = I(ldb), LDC = I(ldc);
    dgemm_("N", "N", &M, &N, &K, &alpha, a, &LDA, b, &LDB, &beta, c, &LDC);
}

void MultiplyTransposed(std::size_t m, std::size_t n, std::size_t k, double alpha, const double* a,
                        std::size_t lda, const double* b, std::size_t ldb, double beta, double* c,
                        std::size_t ldc) {
    if (m == 0 || n == 0)
        return;
    const int M = I(m), N = I(n), K = I(k), LDA = I(lda), LDB = I(ldb), LDC = I(ldc);
    dgemm_("N", "T", &M, &N, &K, &alpha, a, &LDA, b, &LDB, &beta, c, &LDC);
}

void TransposedMultiply(std::size_t m, std::size_t n, std::size_t k, double alpha, const double* a,
                        std::size_t lda, const double* b, std::size_t ldb, double beta, double* c,
                        std::size_t ldc) {
    if (m == 0 || n == 0)
        return;
    const int M = I(m), N = I(n), K = I(k), LDA = I(lda), LDB = I(ldb), LDC = I(ldc);
    dgemm_("T", "N", &M, &N, &K, &alpha, a, &LDA, b, &LDB, &beta, c, &LDC);
}

void SymmetricRankUpdate(std::size_t n, std::size_t k, double alpha, const double* a,
                         std::size_t lda, double beta, double* c, std::size_t ldc) {
    if (n == 0)
        return;
    const int N = I(n), K = I(k), LDA = I(lda), LDC = I(ldc);
    dsyrk_("L", "N", &N, &K, &alpha, a, &LDA, &beta, c, &LDC);
}

void SymmetricMultiply(std::size_t n, std::size_t m, double alpha, const double* s, std::size_t lds,
                       const double* b, std::size_t ldb, double beta, double* c, std::size_t ldc) {
    if (n == 0 || m == 0)
        return;
    const int N = I(n), M = I(m), LDS = I(lds), LDB = I(ldb), LDC = I(ldc);
    dsymm_("L", "L", &N, &M, &alpha, s, &LDS, b, &LDB, &beta, c, &LDC);
}

void SolveRightTransposed(std::size_t m, std::size_t n, const double* l, std::size_t ldl, double* b,
                          std::size_t ldb) {
    if (m == 0 || n == 0)
        return;
    const int M = I(m), N = I(n), LDL = I(ldl), LDB = I(ldb);
    const double one = 1.0;
    dtrsm_("R", "L", "T", "N", &M, &N, &one, l, &LDL, b, &LDB);
}

void SolveRight(std::size_t m, std::size_t n, const double* l, std::size_t ldl, double* b,
                std::size_t ldb) {
    if (m == 0 || n == 0)
        return;
    const int M = I(m), N = I(n), LDL = I(ldl), LDB = I(ldb);
    const double one = 1.0;
    dtrsm_("R", "L", "N", "N", &M, &N, &one, l, &LDL, b, &LDB);
}

bool InverseFromCholesky(std::size_t n, double* l, std::size_t ldl) {
    if (n == 0)
        return true;
    const int N = I(n), LDL = I(ldl);
    int info = 0;
    dpotri_("L", &N, l, &LDL, &info);
    return info == 0;
}

} // namespace Tavex::Dense
