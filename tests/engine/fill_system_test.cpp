// The design and weight matrices of a network large enough to be filled in
// parts on several threads: every row where a single pass would put it, each
// GPS group's weight block whole inside its own rows, and the noise-free
// network adjusted onto its true coordinates.
#include "engine/datum_rows.h"
#include "engine/fill_system.h"
#include "engine/network_setup.h"
#include "interface/kernel.h"
#include "support/synthetic_network.h"

#include <gtest/gtest.h>

#include <cmath>

namespace Tavex {
namespace {

using TavexTest::SyntheticNetwork;

constexpr double kTenthMillimetre = 1e-4;

// A GPS network of baselines between grid neighbours with terrestrial rows
// in between: some 13,000 rows, so that the parts meet inside GPS groups
// unless the fill moves their boundaries.
void BuildMixedNetwork(SyntheticNetwork& net) {
    net.Settings().Dimension = 3;
    const int columns = 40, rows = 30;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            std::string name = "G";
            name += std::to_string(r * columns + c);
            net.AddStation(name, 52.0 + r * 0.004, 5.0 + c * 0.0065, 30.0 + ((r * 7 + c) % 11));
        }
    const auto at = [&](int r, int c) { return static_cast<unsigned>(r * columns + c + 1); };
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            if (c + 1 < columns) {
                net.GpsBaseline(at(r, c), at(r, c + 1));
                net.TotalStation(at(r, c), at(r, c + 1), 0, false, true, true);
            }
            if (r + 1 < rows)
                net.GpsBaseline(at(r, c), at(r + 1, c));
            if (r + 1 < rows && c + 1 < columns)
                net.GpsBaseline(at(r, c), at(r + 1, c + 1));
        }
    net.MakeKnown(1, 12);
    net.MakeKnown(at(rows - 1, columns - 1), 12);
    net.MakeKnown(at(0, columns - 1), 10);
}

TEST(FillSystem, PartsOnSeveralThreadsGiveTheWholeSystem) {
    SyntheticNetwork net;
    BuildMixedNetwork(net);
    net.Load();
    ProjectState& p = TheKernel().project;
    EngineState e;
    Progress progress;
    ASSERT_EQ(SetUpNetwork(p, e), 1);
    AppendDatumRows(p, e);
    ASSERT_EQ(FillSystem(p, e, progress), 1);
    ASSERT_GT(e.Rows(), 12000u);
    const CompressedRows& A = e.system.A;
    const CompressedRows& P = e.system.P;
    ASSERT_EQ(A.rows, e.Rows());
    ASSERT_EQ(P.rows, e.Rows());
    for (std::size_t r = 1; r <= e.Rows(); ++r) {
        const ObservationRow& row = e.rows[r];
        const bool gps = row.kind == ROW_GPS_BASELINE || row.kind == ROW_GPS_COORDINATE;
        const std::size_t first = gps ? r - row.slot : r, last = gps ? first + 2 : r;
        ASSERT_GT(P.End(r), P.Begin(r)) << "row " << r << " has no weight";
        for (std::size_t k = P.Begin(r); k < P.End(r); ++k)
            ASSERT_TRUE(P.col[k] >= first && P.col[k] <= last)
                << "row " << r << " weighted with row " << P.col[k];
        // Every observation row has its stations' unknowns.
        if (row.IsObservation()) {
            ASSERT_GE(A.End(r) - A.Begin(r), 3u) << "row " << r;
        }
    }
    Release();

    SyntheticNetwork adjusted;
    BuildMixedNetwork(adjusted);
    adjusted.Perturb(0.2, 5);
    ASSERT_EQ(adjusted.Adjust(), 1) << adjusted.AllMessages();
    EXPECT_LT(adjusted.LargestHorizontalError(), kTenthMillimetre);
    EXPECT_LT(adjusted.LargestHeightError(), kTenthMillimetre);
}

} // namespace
} // namespace Tavex
