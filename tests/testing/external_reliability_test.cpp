// External reliability of a network large enough for several threads,
// against the definition computed row by row: for each row the column of P
// times the row's capped MDB, through Aᵀ and a full solve with the factor
// (corrected into the datum of a free network), keeping per coordinate the
// first row with the largest effect.
#include "engine/adjustment.h"
#include "engine/factor_solve.h"
#include "engine/low_rank_correction.h"
#include "interface/kernel.h"
#include "support/synthetic_network.h"
#include "testing/reliability.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

namespace Tavex {
namespace {

using TavexTest::SyntheticNetwork;

// A 2D grid of 20 × 20 stations 400 m apart: 1,200 unknowns, enough blocks
// of unknowns for more than one worker. Held by two known stations, or a
// free network on inner constraints.
void BuildGrid(SyntheticNetwork& net, bool free) {
    constexpr unsigned kSide = 20;
    for (unsigned k = 0; k < kSide * kSide; ++k) {
        char name[16];
        std::snprintf(name, sizeof name, "G%u", k + 1);
        net.AddStation(name, 52.0 + (k / kSide) * 0.0036, 5.0 + (k % kSide) * 0.0058, 10.0);
    }
    if (!free) {
        net.MakeKnown(1, 11);
        net.MakeKnown(kSide * kSide, 11);
    }
    for (unsigned k = 0; k < kSide * kSide; ++k) {
        const unsigned s = k + 1;
        if (k % kSide + 1 < kSide) {
            net.TotalStation(s, s + 1, 0, true, true, false, 0.0, 0.0);
            net.TotalStation(s + 1, s, 0, true, false, false, 0.0, 0.0);
        }
        if (k + kSide < kSide * kSide) {
            net.TotalStation(s, s + kSide, 0, true, k % 3 == 0, false, 0.0, 0.0);
            net.TotalStation(s + kSide, s, 0, true, false, false, 0.0, 0.0);
        }
    }
    net.AddNoise(4, 1e-5, 0.002);
}

class ExternalReliability : public testing::TestWithParam<bool> {};

TEST_P(ExternalReliability, MatchesTheRowByRowDefinition) {
    const bool free = GetParam();
    SyntheticNetwork net;
    BuildGrid(net, free);
    net.Settings().ReportSwitch[REPORT_EXTERNAL_RELIABILITY] = 1;
    net.Load();
    EngineState engine;
    Progress progress;
    ASSERT_EQ(RunAdjustment(TheKernel().project, engine, progress), 1) << net.AllMessages();
    const AdjustmentResults& r = engine.results;
    ASSERT_TRUE(r.externalComputed);
    ASSERT_FALSE(engine.system.factor.holdsCofactors);
    ASSERT_EQ(engine.system.factor.correction.Active(), free);

    const std::size_t u = engine.Unknowns();
    ASSERT_GE(u, 1200u);
    const CompressedRows& A = engine.system.A;
    const CompressedRows& P = engine.system.P;
    std::vector<double> largest(u + 1, 0.0), bias;
    std::vector<std::uint32_t> cause(u + 1, 0);
    for (std::size_t i = 1; i <= engine.Rows(); ++i) {
        if (engine.rows[i].kind >= ROW_TRANSFORMATION || IsUncontrolledDatumRow(engine, i))
            continue;
        const double mdb = std::min(r.mdb[i], 1e6);
        bias.assign(u + 1, 0.0);
        for (std::size_t f = P.Begin(i); f < P.End(i); ++f)
            for (std::size_t g = A.Begin(P.col[f]); g < A.End(P.col[f]); ++g)
                bias[A.col[g]] += A.val[g] * P.val[f] * mdb;
        const std::vector<double> rhs = bias;
        ForwardSubstitution(engine.system.factor, bias);
        BackSubstitution(engine.system.factor, bias);
        CorrectSolution(engine.system.factor, rhs, bias);
        for (std::size_t j = 1; j <= u; ++j)
            if (std::fabs(bias[j]) > std::fabs(largest[j])) {
                largest[j] = bias[j];
                cause[j] = static_cast<std::uint32_t>(i);
            }
    }
    std::size_t orientations = 0;
    for (std::size_t j = 1; j <= u; ++j) {
        if (!engine.unknowns[j].IsCoordinate()) {
            // Not reported, so not computed.
            ++orientations;
            EXPECT_EQ(r.external[j].row, 0u);
            continue;
        }
        EXPECT_NEAR(r.external[j].value, largest[j], 1e-9 * std::fabs(largest[j]) + 1e-15) << j;
        EXPECT_EQ(r.external[j].row, cause[j]) << j;
    }
    EXPECT_EQ(orientations, 400u);
    Release();
}

INSTANTIATE_TEST_SUITE_P(KnownStationsAndFree, ExternalReliability, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "InnerConstraints" : "TwoKnownStations";
                         });

} // namespace
} // namespace Tavex
