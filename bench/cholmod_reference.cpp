#include "cholmod_reference.h"

#include <cholmod.h>

#include <cstring>

namespace TavexBench {

struct CholmodSupernodal::State {
    cholmod_common common;
    cholmod_sparse* lower = nullptr;
    cholmod_factor* factor = nullptr;
};

CholmodSupernodal::CholmodSupernodal(const Eigen::SparseMatrix<double>& normal)
    : state_(std::make_unique<State>()) {
    cholmod_common& cm = state_->common;
    cholmod_start(&cm);
    cm.nmethods = 1;
    cm.method[0].ordering = CHOLMOD_NATURAL;
    cm.postorder = 0;
    cm.supernodal = CHOLMOD_SUPERNODAL;
    // The lower triangle, by columns.
    const auto n = static_cast<std::size_t>(normal.cols());
    std::size_t stored = 0;
    for (Eigen::Index j = 0; j < normal.outerSize(); ++j)
        for (Eigen::SparseMatrix<double>::InnerIterator it(normal, j); it; ++it)
            if (it.row() >= j)
                ++stored;
    cholmod_sparse* a = cholmod_allocate_sparse(n, n, stored, 1, 1, -1, CHOLMOD_REAL, &cm);
    auto* p = static_cast<int*>(a->p);
    auto* i = static_cast<int*>(a->i);
    auto* x = static_cast<double*>(a->x);
    std::size_t at = 0;
    for (Eigen::Index j = 0; j < normal.outerSize(); ++j) {
        p[j] = static_cast<int>(at);
        for (Eigen::SparseMatrix<double>::InnerIterator it(normal, j); it; ++it)
            if (it.row() >= j) {
                i[at] = static_cast<int>(it.row());
                x[at] = it.value();
                ++at;
            }
    }
    p[n] = static_cast<int>(at);
    state_->lower = a;
}

CholmodSupernodal::~CholmodSupernodal() {
    cholmod_common& cm = state_->common;
    cholmod_free_factor(&state_->factor, &cm);
    cholmod_free_sparse(&state_->lower, &cm);
    cholmod_finish(&cm);
}

bool CholmodSupernodal::Analyse() {
    cholmod_common& cm = state_->common;
    cholmod_free_factor(&state_->factor, &cm);
    state_->factor = cholmod_analyze(state_->lower, &cm);
    return state_->factor != nullptr && cm.status == CHOLMOD_OK;
}

bool CholmodSupernodal::Factorise() {
    cholmod_common& cm = state_->common;
    return cholmod_factorize(state_->lower, state_->factor, &cm) != 0 && cm.status == CHOLMOD_OK;
}

Eigen::VectorXd CholmodSupernodal::Solve(const Eigen::VectorXd& b) {
    cholmod_common& cm = state_->common;
    cholmod_dense* rhs =
        cholmod_allocate_dense(static_cast<std::size_t>(b.size()), 1,
                               static_cast<std::size_t>(b.size()), CHOLMOD_REAL, &cm);
    std::memcpy(rhs->x, b.data(), sizeof(double) * static_cast<std::size_t>(b.size()));
    cholmod_dense* x = cholmod_solve(CHOLMOD_A, state_->factor, rhs, &cm);
    Eigen::VectorXd result =
        Eigen::Map<const Eigen::VectorXd>(static_cast<double*>(x->x), b.size());
    cholmod_free_dense(&x, &cm);
    cholmod_free_dense(&rhs, &cm);
    return result;
}

double CholmodSupernodal::FactorEntries() const {
    return state_->factor ? static_cast<double>(state_->factor->xsize) : 0.0;
}

double CholmodSupernodal::Supernodes() const {
    return state_->factor ? static_cast<double>(state_->factor->nsuper) : 0.0;
}

} // namespace TavexBench
