// An independent least-squares adjustment for the host's tests: Gauss-Newton
// on a model written out in the test itself, with central-difference
// derivatives, so that nothing of the kernel's own observation model is
// reused.
#ifndef TAVEX_TESTS_CLI_LEAST_SQUARES_REFERENCE_H
#define TAVEX_TESTS_CLI_LEAST_SQUARES_REFERENCE_H

#include <Eigen/Dense>

#include <functional>

namespace TavexCliTest {

struct Adjusted {
    Eigen::VectorXd x; // the unknowns
    Eigen::MatrixXd Q; // their cofactor matrix (AᵀPA)⁻¹, σ0 = 1
};

// model(x) gives the computed observations; observed and sd the readings and
// their standard deviations.
inline Adjusted LeastSquares(const std::function<Eigen::VectorXd(const Eigen::VectorXd&)>& model,
                             const Eigen::VectorXd& observed, const Eigen::VectorXd& sd,
                             Eigen::VectorXd x) {
    const Eigen::VectorXd p = sd.array().square().inverse();
    Adjusted out;
    for (int iteration = 0; iteration < 20; ++iteration) {
        Eigen::MatrixXd A(observed.size(), x.size());
        for (Eigen::Index j = 0; j < x.size(); ++j) {
            const double h = 1e-6 * std::max(1.0, std::abs(x(j)));
            Eigen::VectorXd up = x, down = x;
            up(j) += h;
            down(j) -= h;
            A.col(j) = (model(up) - model(down)) / (2 * h);
        }
        const Eigen::MatrixXd N = A.transpose() * p.asDiagonal() * A;
        out.Q = N.inverse();
        const Eigen::VectorXd dx = out.Q * A.transpose() * p.asDiagonal() * (observed - model(x));
        x += dx;
        if (dx.cwiseAbs().maxCoeff() < 1e-12 * std::max(1.0, x.cwiseAbs().maxCoeff()))
            break;
    }
    out.x = x;
    return out;
}

} // namespace TavexCliTest

#endif
