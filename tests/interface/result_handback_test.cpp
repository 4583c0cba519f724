// The results the kernel writes into the host's records are the engine's,
// in the layouts of their type codes.
#include "engine/adjustment.h"
#include "interface/adjustment_handback.h"
#include "interface/kernel.h"
#include "interface/observation_handback.h"
#include "support/synthetic_network.h"
#include "testing/row_results.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace Tavex {
namespace {

using TavexTest::SyntheticNetwork;

void AddStations(SyntheticNetwork& net) {
    net.AddStation("A", 52.000, 5.000, 10.0);
    net.AddStation("B", 52.010, 5.020, 12.0);
    net.AddStation("C", 52.020, 5.000, 14.0);
    net.AddStation("D", 52.015, 4.975, 9.0);
}

// Adjusts through the exported interface, then again on a fresh engine of
// the same input for the reference values.
class Handback : public ::testing::Test {
protected:
    void Run(SyntheticNetwork& net) {
        const std::vector<_STATIONADJ> input = net.StationRecords();
        ASSERT_EQ(net.Adjust(statistics), 1) << net.AllMessages();
        adjusted = net.StationRecords();
        net.StationRecords() = input;
        net.Load();
        Progress progress;
        ASSERT_EQ(RunAdjustment(TheKernel().project, engine, progress), 1);
    }
    void TearDown() override { Release(); }
    const ProjectState& Project() { return TheKernel().project; }

    _STATISTICS statistics{};
    std::vector<_STATIONADJ> adjusted;
    EngineState engine;
};

TEST_F(Handback, ObservationRecordsCarryTheEnginesResults) {
    SyntheticNetwork net;
    net.Settings().Dimension = 3;
    net.Settings().Phase = 3;
    AddStations(net);
    net.MakeKnown(1, 12, 0.002, 0.003);
    net.MakeKnown(2, 12, 0.002, 0.003);
    net.MakeKnown(3, 10, 0.0, 0.003);
    const unsigned lines[][2] = {{1, 2}, {2, 3}, {3, 4}, {4, 1}, {1, 3}};
    for (const auto& line : lines) {
        net.TotalStation(line[0], line[1], 0, true, true, true);
        net.GpsBaseline(line[1], line[0], 0.003);
    }
    net.HeightDifference(2, 4, 0.002);
    net.Azimuth(1, 4, 0, 0.0, 2e-5);
    net.AddNoise(13, 1e-5, 0.002);
    Run(net);
    const std::vector<_OBSERVATION>& records = net.ObservationRecords();
    for (std::size_t r = 1; r <= engine.observationRows; ++r) {
        const ObservationRow& row = engine.rows[r];
        const CObservation& o = *Project().Observations.GetAt(static_cast<int>(row.source));
        const _OBSERVATION& record = records[o.Record];
        const RowResult expected = ResultOf(Project(), engine, r);
        SCOPED_TRACE(testing::Message() << "row " << r << " kind " << row.kind);
        const std::uint16_t type = o.Type[row.slot];
        if (type == 6) {
            const int i = row.slot;
            EXPECT_NEAR(+record.Baseline.Residual[i], expected.residual, 1e-9);
            EXPECT_NEAR(+record.Baseline.W[i], expected.w, 1e-5 * (1 + std::abs(expected.w)));
            EXPECT_NEAR(+record.Baseline.Mdb[i], expected.mdb, 1e-9);
            EXPECT_EQ(+record.Baseline.Redundancy[i], static_cast<int>(expected.redundancy));
            EXPECT_NEAR(+record.Baseline.SdAdjusted[i], expected.sdAdjusted, 1e-12);
            EXPECT_NEAR(+record.Baseline.Correlation[0], 0.2, 0.05) << "with centring added";
        } else if (type == 4 || type == 5) {
            EXPECT_NEAR(+record.Single.Residual, expected.residual, 1e-9);
            EXPECT_NEAR(+record.Single.Mdb, expected.mdb, 1e-9);
            EXPECT_NEAR(+record.Single.Sd, expected.sd, 1e-12);
        } else {
            const int i = type - 1;
            EXPECT_NEAR(+record.Terrestrial.Residual[i], expected.residual, 1e-9);
            if (expected.bnr < 1000) { // beyond, a row is uncontrolled and its ratio noise
                EXPECT_NEAR(+record.Terrestrial.Bnr[i], expected.bnr, 1e-6);
            }
            EXPECT_NEAR(+record.Terrestrial.Sd[i], expected.sd, 1e-12);
            EXPECT_NEAR(+record.Terrestrial.SdAdjusted[i], expected.sdAdjusted, 1e-12);
        }
    }
    // Stations: the covariance block in the record's order (north first
    // without a map projection) and the ellipse.
    for (unsigned s = 1; s <= net.Count(); ++s) {
        const StationPrecision& sp = engine.results.stations[s];
        const _STATIONADJ& record = adjusted[s - 1];
        EXPECT_NEAR(+record.Cov[0], sp.cNN, 1e-15);
        EXPECT_NEAR(+record.Cov[3], sp.cEE, 1e-15);
        EXPECT_NEAR(+record.Cov[5], sp.chh, 1e-15);
        EXPECT_EQ(+record.CovScale, 1.0);
        EXPECT_NEAR(+record.Ellipse[0], sp.ellipse.A, 1e-12);
    }
    EXPECT_EQ(+adjusted[0].TestDimension, 3) << "three known components of A entered the datum";
    EXPECT_EQ(+adjusted[2].TestDimension, 1);
    EXPECT_EQ(+adjusted[3].TestDimension, 0);
}

TEST_F(Handback, RejectedKnownStationsFillTheirListAndLeaveTheRestEmpty) {
    SyntheticNetwork net;
    net.Settings().Phase = 3;
    AddStations(net);
    net.AddStation("E", 52.002, 4.985, 11.0);
    for (unsigned s = 1; s <= 4; ++s)
        net.MakeKnown(s, 12, 0.001);
    // Three known stations given 5 cm off their true positions.
    net.Shift(2, 0.05, 0.0, 0.0);
    net.Shift(3, 0.0, -0.05, 0.0);
    net.Shift(4, 0.04, 0.04, 0.0);
    const unsigned lines[][2] = {{1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 1}, {1, 3}, {2, 4}, {2, 5}};
    for (const auto& line : lines) {
        net.TotalStation(line[0], line[1], 0, true, true, false, 0, 0);
        net.TotalStation(line[1], line[0], 0, true, true, false, 0, 0);
    }
    Run(net);
    int entries = 0;
    double previous = 1e300;
    for (const _T_ENTRY& entry : statistics.KnownStationT) {
        if (entry.Subject == 0)
            continue;
        ++entries;
        EXPECT_EQ(+entry.Code, 2);
        EXPECT_GT(+entry.T, +statistics.CriticalT2);
        const double key = entry.T / statistics.CriticalT2;
        EXPECT_LE(key, previous) << "decreasing";
        previous = key;
        EXPECT_NEAR(+entry.Ratio, std::sqrt(entry.T / statistics.CriticalT2), 1e-12);
    }
    EXPECT_GE(entries, 2);
    EXPECT_EQ(+statistics.KnownStationT[9].Subject, 0);
    // Every listed station's T is the engine's.
    for (const _T_ENTRY& entry : statistics.KnownStationT)
        if (entry.Subject != 0) {
            const CTTest* test =
                engine.results.stationTests[static_cast<unsigned>(entry.Subject)].get();
            ASSERT_NE(test, nullptr);
            EXPECT_NEAR(+entry.T, test->T, 1e-9 * (1 + test->T));
        }
}

TEST(RedundancyHandback, NumbersOfAnyValueBecomeWholePercents) {
    // A nearly singular GPS covariance gave −2.2 × 10²⁷ %, converted to
    // int without bounds.
    EXPECT_EQ(WholePercent(57.9), 57);
    EXPECT_EQ(WholePercent(-0.5), 0);
    EXPECT_EQ(WholePercent(-2.16535e27), std::numeric_limits<int>::min());
    EXPECT_EQ(WholePercent(1e300), std::numeric_limits<int>::max());
    EXPECT_EQ(WholePercent(std::nan("")), 0);
}

TEST(ExternalReliability, BeyondOneThousandIsReportedAsZero) {
    EXPECT_EQ(ReportedExternalReliability(1500.0), 0.0);
    EXPECT_EQ(ReportedExternalReliability(-1000.5), 0.0);
    EXPECT_EQ(ReportedExternalReliability(999.0), 999.0);
    EXPECT_EQ(ReportedExternalReliability(-0.004), -0.004);
}

} // namespace
} // namespace Tavex
