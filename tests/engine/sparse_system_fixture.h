// Small least-squares systems for the sparse core's tests, with their dense
// counterparts for an independent reference.
#ifndef TAVEX_TESTS_ENGINE_SPARSE_SYSTEM_FIXTURE_H
#define TAVEX_TESTS_ENGINE_SPARSE_SYSTEM_FIXTURE_H

#include "engine/linear_system.h"

#include <Eigen/Dense>

#include <algorithm>
#include <map>
#include <random>
#include <vector>

namespace TavexTest {

// A design matrix given row by row as (unknown, coefficient) pairs, and a
// block-diagonal weight matrix given as blocks of 1 or 3 rows.
struct SystemDescription {
    std::size_t unknowns = 0;
    std::vector<std::map<std::uint32_t, double>> rows; // 0-based list of rows
    std::vector<Eigen::MatrixXd> blocks;               // consecutive diagonal blocks
    std::vector<double> l;                             // 0-based reduced observations
};

inline Tavex::LinearSystem BuildSystem(const SystemDescription& description) {
    using Tavex::CompressedRowsBuilder;
    const std::size_t m = description.rows.size();
    // A by rows, then At as its transpose.
    CompressedRowsBuilder a(m, description.unknowns);
    for (const auto& row : description.rows) {
        for (const auto& [k, value] : row)
            a.Append(k, value);
        a.EndRow();
    }
    Tavex::LinearSystem s;
    s.A = a.Finish();
    s.At = Tavex::Transpose(s.A);
    CompressedRowsBuilder p(m, m);
    std::size_t first = 1;
    for (const Eigen::MatrixXd& block : description.blocks) {
        for (Eigen::Index r = 0; r < block.rows(); ++r) {
            for (Eigen::Index c = 0; c < block.cols(); ++c)
                p.Append(static_cast<std::uint32_t>(first + c), block(r, c));
            p.EndRow();
        }
        first += static_cast<std::size_t>(block.rows());
    }
    s.P = p.Finish();
    s.l.assign(m + 1, 0.0);
    for (std::size_t r = 0; r < m; ++r)
        s.l[r + 1] = description.l[r];
    return s;
}

inline Eigen::MatrixXd DenseA(const SystemDescription& description) {
    Eigen::MatrixXd A = Eigen::MatrixXd::Zero(description.rows.size(), description.unknowns);
    for (std::size_t r = 0; r < description.rows.size(); ++r)
        for (const auto& [k, value] : description.rows[r])
            A(r, k - 1) = value;
    return A;
}

inline Eigen::MatrixXd DenseP(const SystemDescription& description) {
    Eigen::MatrixXd P = Eigen::MatrixXd::Zero(description.rows.size(), description.rows.size());
    Eigen::Index first = 0;
    for (const Eigen::MatrixXd& block : description.blocks) {
        P.block(first, first, block.rows(), block.cols()) = block;
        first += block.rows();
    }
    return P;
}

inline Eigen::VectorXd DenseL(const SystemDescription& description) {
    return Eigen::Map<const Eigen::VectorXd>(description.l.data(),
                                             static_cast<Eigen::Index>(description.l.size()));
}

// A random well-determined system: every unknown is observed directly once
// (so N is positive definite), plus rows of 2 to 5 unknowns, and some
// correlated 3 x 3 blocks like GPS baselines.
inline SystemDescription RandomSystem(std::size_t unknowns, std::size_t extraRows, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> coefficient(-2.0, 2.0);
    std::uniform_real_distribution<double> weight(0.5, 4.0);
    std::uniform_int_distribution<std::uint32_t> pick(1, static_cast<std::uint32_t>(unknowns));
    std::uniform_int_distribution<int> width(2, 5);
    SystemDescription description;
    description.unknowns = unknowns;
    for (std::uint32_t k = 1; k <= unknowns; ++k) {
        description.rows.push_back({{k, 1.0}});
        description.blocks.push_back(Eigen::MatrixXd::Constant(1, 1, weight(rng)));
    }
    std::size_t added = 0;
    while (added < extraRows) {
        if (added + 3 <= extraRows && rng() % 3 == 0) {
            // A 3 x 3 block with its own correlated weights.
            Eigen::MatrixXd g = Eigen::MatrixXd::Random(3, 3);
            description.blocks.push_back(g * g.transpose() + 0.5 * Eigen::MatrixXd::Identity(3, 3));
            const std::uint32_t a = pick(rng), b = pick(rng);
            for (int c = 0; c < 3; ++c)
                description.rows.push_back({{a, -1.0 - c}, {b, 1.0 + 0.5 * c}});
            added += 3;
            continue;
        }
        std::map<std::uint32_t, double> row;
        const int n = width(rng);
        while (static_cast<int>(row.size()) < n)
            row[pick(rng)] = coefficient(rng);
        description.rows.push_back(row);
        description.blocks.push_back(Eigen::MatrixXd::Constant(1, 1, weight(rng)));
        ++added;
    }
    std::normal_distribution<double> noise(0.0, 1.0);
    for (std::size_t r = 0; r < description.rows.size(); ++r)
        description.l.push_back(noise(rng));
    return description;
}

} // namespace TavexTest

#endif
