#include "engine/block_solve.h"
#include "engine/numeric_factorisation.h"
#include "engine/sparse_system_fixture.h"
#include "engine/symbolic_factorisation.h"

#include <gtest/gtest.h>

#include <limits>

namespace Tavex {
namespace {

// Columns of N⁻¹ from the block solve against the dense inverse, for sizes
// that leave a partial last block, on the supernodal blocks (small
// supernodes in plain loops, large ones through BLAS, the work space reused
// from block to block) and on the rows of L; columns past the block's count
// stay zero.
TEST(UnitBlockSolve, ColumnsOfTheInverseMatchTheDenseInverse) {
    for (unsigned seed = 1; seed <= 10; ++seed) {
        const bool onRows = seed % 2 == 0;
        const std::size_t unknowns = seed <= 6 ? 17 + 5 * seed : 90 * seed - 450; // … 450
        const TavexTest::SystemDescription description =
            TavexTest::RandomSystem(unknowns, unknowns, seed);
        LinearSystem s = TavexTest::BuildSystem(description);
        MessageLog log;
        std::uint32_t singular = 0;
        ASSERT_TRUE(SymbolicFactorisation(s, std::numeric_limits<std::uint64_t>::max(), log));
        ASSERT_TRUE(NumericFactorisation(s, 1e-6, singular, log));
        ASSERT_TRUE(s.factor.blocksHoldFactor);
        if (onRows) {
            WriteRowValues(s.factor);
            s.factor.blocksHoldFactor = false;
        }

        const Eigen::MatrixXd A = TavexTest::DenseA(description);
        const Eigen::MatrixXd Q = (A.transpose() * TavexTest::DenseP(description) * A).inverse();
        const double scale = Q.cwiseAbs().maxCoeff();
        BlockSolveWork work;
        for (std::size_t first = 1; first <= unknowns; first += kSolveBlock) {
            const std::size_t count = std::min(kSolveBlock, unknowns + 1 - first);
            UnitBlockSolve(s.factor, static_cast<std::uint32_t>(first), count, work);
            for (std::size_t b = 0; b < kSolveBlock; ++b)
                for (std::size_t i = 1; i <= unknowns; ++i) {
                    const double got = work.x[i * kSolveBlock + b];
                    const double want = b < count ? Q(i - 1, first + b - 1) : 0.0;
                    EXPECT_NEAR(got, want, 1e-10 * scale)
                        << "seed " << seed << " q(" << i << ", " << first + b << ")";
                }
        }
    }
}

} // namespace
} // namespace Tavex
