// Records a host gets wrong: type codes that do not fit the record kind, and
// record counts that no array can hold. Each must fail the runs with a
// message, never crash the kernel or leave it computing with half a project.
#include "interface/kernel.h"
#include "support/synthetic_network.h"
#include "tavex/tavex.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace Tavex {
namespace {

_OBSERVATION Blank(int kind) {
    _OBSERVATION r;
    std::memset(&r, 0, sizeof r);
    r.Kind = kind;
    return r;
}

// A record of `kind` carrying the given type and sub-codes, with readings
// and precisions that would be usable if the codes fitted.
_OBSERVATION Coded(int kind, std::array<std::uint16_t, 3> type, std::array<std::uint16_t, 3> sub) {
    _OBSERVATION r = Blank(kind);
    switch (kind) {
    case 4:
        r.K4.Type = type[0];
        r.K4.Sub = sub[0];
        r.K4.Station = 1;
        r.K4.Target = 2;
        r.K4.Reading = 1.0;
        r.K4.Precision[0] = 0.002;
        break;
    case 5:
        r.K5.Type = type[0];
        r.K5.Sub = sub[0];
        r.K5.Station = 1;
        r.K5.Target = 2;
        r.K5.Reading = 1.0;
        r.K5.Precision[0] = 0.002;
        break;
    case 7:
        for (int i = 0; i < 3; ++i) {
            r.K7.Type[i] = type[i];
            r.K7.Sub[i] = sub[i];
            r.K7.Reading[i] = 1.0;
        }
        r.K7.Station = 1;
        r.K7.Precision1 = r.K7.Precision3 = r.K7.Precision6 = 0.01;
        break;
    default: // 6 and 100 share offsets up to the readings and precisions
        for (int i = 0; i < 3; ++i) {
            r.K100.Type[i] = type[i];
            r.K100.Sub[i] = sub[i];
            r.K100.Reading[i] = 1.0;
        }
        r.K100.Station = 1;
        r.K100.Target = 2;
        for (int i = 0; i < 6; ++i)
            r.K100.Precision[i] = 0.002;
        break;
    }
    return r;
}

// Four stations with six horizontal distances computed from their true
// positions: a network that adjusts, laid out in the host's arrays.
class HostProject : public ::testing::Test {
protected:
    void SetUp() override {
        net.AddStation("A", 52.000, 5.000, 10.0);
        net.AddStation("B", 52.010, 5.020, 12.0);
        net.AddStation("C", 52.020, 5.000, 14.0);
        net.AddStation("D", 52.015, 4.975, 9.0);
        const unsigned lines[][2] = {{1, 2}, {2, 3}, {3, 4}, {4, 1}, {1, 3}, {2, 4}};
        for (const auto& line : lines)
            net.HorizontalDistance(line[0], line[1]);
        stations = net.StationRecords();
        observations = net.ObservationRecords();
    }
    void TearDown() override { Release(); }
    void Load() {
        ASSERT_EQ(Initialize(settings), 1);
        ASSERT_EQ(SetStations(stations.data(), static_cast<unsigned>(stations.size())), 1);
        ASSERT_EQ(
            SetObservations(observations.data(), static_cast<unsigned>(observations.size() - 1)),
            1);
    }
    const _MESSAGE* Find(int code) {
        for (const _MESSAGE& m : settings.Messages)
            if (m.Code == code)
                return &m;
        return nullptr;
    }
    std::string All() {
        std::string all;
        for (const _MESSAGE& m : settings.Messages)
            all += std::to_string(+m.Code) + ": " + m.Text + "\n";
        return all;
    }

    TavexTest::SyntheticNetwork net;
    _SETTINGS& settings = net.Settings();
    std::vector<_STATIONADJ> stations;
    std::vector<_OBSERVATION> observations;
};

// The four runs as a host calls them.
const std::vector<std::pair<const char*, std::function<int()>>>& Runs() {
    static const std::vector<std::pair<const char*, std::function<int()>>> runs = {
        {"Adjust",
         [] {
             _STATISTICS statistics{};
             return Adjust(statistics, nullptr);
         }},
        {"PreRun", [] { return PreRun(nullptr); }},
        {"COGO", [] { return COGO(nullptr); }},
        {"Loops",
         [] {
             std::vector<_LOOP_RESULT> loops;
             return Loops(loops, nullptr);
         }},
    };
    return runs;
}

// ---------------------------------------------------------------------------
// Type codes that do not fit the record kind.
// ---------------------------------------------------------------------------

struct CodeCase {
    const char* name;
    int kind;
    std::array<std::uint16_t, 3> type;
    std::array<std::uint16_t, 3> sub;
    int dimension;
};

std::string CaseName(const ::testing::TestParamInfo<CodeCase>& info) {
    return info.param.name;
}

class IllFittingCodes : public HostProject, public ::testing::WithParamInterface<CodeCase> {};

TEST_P(IllFittingCodes, FailEveryRunWithError735NamingTheRecord) {
    const CodeCase& c = GetParam();
    settings.Dimension = c.dimension;
    observations.insert(observations.begin() + 2, Coded(c.kind, c.type, c.sub)); // record 2
    for (const auto& [run, call] : Runs()) {
        SCOPED_TRACE(run);
        Load();
        EXPECT_EQ(call(), 0);
        const _MESSAGE* m = Find(735);
        ASSERT_NE(m, nullptr) << All();
        EXPECT_EQ(+m->Class, 1);
        EXPECT_EQ(+m->RefKind, 3);
        EXPECT_EQ(+m->Ref, 2);
        EXPECT_EQ(std::string(m->Text).rfind("观测记录 2（记录类型 " + std::to_string(c.kind), 0),
                  0u)
            << m->Text;
    }
}

INSTANTIATE_TEST_SUITE_P(Records, IllFittingCodes,
                         ::testing::Values(
                             // One-station records with readings between two stations: these
                             // reached the observation model without a target.
                             CodeCase{"Kind7TotalStation1D", 7, {1, 2, 3}, {0, 0, 0}, 1},
                             CodeCase{"Kind7Direction1D", 7, {1, 0, 0}, {0, 0, 0}, 1},
                             CodeCase{"Kind7Distance1D", 7, {2, 0, 0}, {0, 0, 0}, 1},
                             CodeCase{"Kind7Azimuth1D", 7, {4, 0, 0}, {0, 0, 0}, 1},
                             CodeCase{"Kind7HeightDifference1D", 7, {5, 0, 0}, {0, 0, 0}, 1},
                             CodeCase{"Kind7Relation3D", 7, {9, 0, 0}, {9, 0, 0}, 3},
                             CodeCase{"Kind7Baseline3D", 7, {6, 6, 6}, {0, 1, 2}, 3},
                             CodeCase{"Kind7CoordinateSubsOutOfOrder", 7, {7, 7, 7}, {0, 2, 1}, 3},
                             CodeCase{"Kind7CoordinateIncomplete", 7, {7, 7, 0}, {0, 1, 0}, 3},
                             CodeCase{"Kind7LocalWrongSub", 7, {10, 10, 0}, {1, 0, 0}, 3},
                             CodeCase{"Kind7LocalMixedWithGps", 7, {10, 7, 0}, {0, 1, 0}, 3},
                             CodeCase{"Kind7Empty", 7, {0, 0, 0}, {0, 0, 0}, 3},
                             // Readings of one-station or unknown types in two-station records.
                             CodeCase{"Kind100Type8", 100, {8, 0, 0}, {0, 0, 0}, 3},
                             CodeCase{"Kind100GpsCoordinate", 100, {7, 7, 7}, {0, 1, 2}, 3},
                             CodeCase{"Kind100SlotsSwapped", 100, {2, 1, 3}, {0, 0, 0}, 2},
                             CodeCase{"Kind100Empty", 100, {0, 0, 0}, {0, 0, 0}, 2},
                             CodeCase{"Kind6BaselineWithDirection", 6, {1, 6, 6}, {0, 1, 2}, 3},
                             CodeCase{"Kind6BaselineSubsOutOfOrder", 6, {6, 6, 6}, {0, 2, 1}, 3},
                             CodeCase{"Kind4Type7", 4, {7, 0, 0}, {0, 0, 0}, 3},
                             CodeCase{"Kind4Type0", 4, {0, 0, 0}, {0, 0, 0}, 2},
                             CodeCase{"Kind4Type6", 4, {6, 0, 0}, {0, 0, 0}, 3},
                             CodeCase{"Kind5Type10", 5, {10, 0, 0}, {0, 0, 0}, 1},
                             CodeCase{"Kind5Type8", 5, {8, 0, 0}, {0, 0, 0}, 1}),
                         CaseName);

// The forms that fit are not refused: the pre-run gets past the input check
// without error 735 and runs.
class FittingCodes : public HostProject, public ::testing::WithParamInterface<CodeCase> {};

TEST_P(FittingCodes, PassTheInputCheck) {
    const CodeCase& c = GetParam();
    settings.Dimension = c.dimension;
    observations.insert(observations.begin() + 2, Coded(c.kind, c.type, c.sub));
    Load();
    EXPECT_EQ(PreRun(nullptr), 1) << All();
    EXPECT_EQ(Find(735), nullptr) << All();
}

INSTANTIATE_TEST_SUITE_P(
    Records, FittingCodes,
    ::testing::Values(CodeCase{"Kind4Direction", 4, {1, 0, 0}, {3, 0, 0}, 2},
                      CodeCase{"Kind4Azimuth", 4, {4, 0, 0}, {0, 0, 0}, 2},
                      CodeCase{"Kind5HeightDifference", 5, {5, 0, 0}, {0, 0, 0}, 1},
                      CodeCase{"Kind5Relation", 5, {9, 0, 0}, {1, 0, 0}, 2},
                      CodeCase{"Kind100DistanceOnly", 100, {0, 2, 0}, {0, 0, 0}, 2},
                      CodeCase{"Kind100DirectionAndZenith", 100, {1, 0, 3}, {0, 0, 0}, 3},
                      CodeCase{"Kind6Baseline", 6, {6, 6, 6}, {0, 1, 2}, 3},
                      CodeCase{"Kind100Baseline", 100, {6, 6, 6}, {0, 1, 2}, 3},
                      CodeCase{"Kind7GpsCoordinate", 7, {7, 7, 7}, {0, 1, 2}, 3},
                      CodeCase{"Kind7LocalWithGap", 7, {10, 0, 10}, {0, 0, 2}, 3}),
    CaseName);

// ---------------------------------------------------------------------------
// Record counts beyond what a project may hold.
// ---------------------------------------------------------------------------

class GarbageCount : public HostProject, public ::testing::WithParamInterface<unsigned> {};

TEST_P(GarbageCount, SetStationsStoresNothingAndEveryRunFailsUntilInitialize) {
    Load();
    EXPECT_EQ(SetStations(stations.data(), GetParam()), 0);
    EXPECT_EQ(TheKernel().project.StationCount, 4u) << "the earlier stations stay";
    for (const auto& [run, call] : Runs()) {
        SCOPED_TRACE(run);
        EXPECT_EQ(call(), 0);
        EXPECT_NE(Find(737), nullptr) << All();
    }
    const _MESSAGE* refused = Find(736);
    ASSERT_NE(refused, nullptr) << All();
    EXPECT_EQ(+refused->Class, 1);
    EXPECT_EQ(
        std::string(refused->Text).rfind("记录数 " + std::to_string(GetParam()) + " 超过上限 ", 0),
        0u)
        << refused->Text;
    EXPECT_EQ(+settings.Messages[0].Code, 736) << "the setter's message comes first";

    // A new project starts clean.
    Load();
    _STATISTICS statistics{};
    EXPECT_EQ(Adjust(statistics, nullptr), 1) << All();
    EXPECT_EQ(Find(737), nullptr);
    EXPECT_EQ(Find(736), nullptr);
}

TEST_P(GarbageCount, SetObservationsStoresNothingAndEveryRunFails) {
    Load();
    EXPECT_EQ(SetObservations(observations.data(), GetParam()), 0);
    EXPECT_EQ(TheKernel().project.Observations.Count(), 6) << "the earlier observations stay";
    _STATISTICS statistics{};
    EXPECT_EQ(Adjust(statistics, nullptr), 0);
    ASSERT_NE(Find(736), nullptr) << All();
    EXPECT_NE(Find(737), nullptr) << All();
    Load();
    EXPECT_EQ(Adjust(statistics, nullptr), 1) << All();
}

TEST_P(GarbageCount, FirstCallOfAProjectStoresNothing) {
    ASSERT_EQ(Initialize(settings), 1);
    EXPECT_EQ(SetStations(stations.data(), GetParam()), 0);
    EXPECT_EQ(SetObservations(observations.data(), GetParam()), 0);
    EXPECT_EQ(TheKernel().project.StationCount, 0u);
    EXPECT_EQ(TheKernel().project.Observations.Count(), 0);
    EXPECT_EQ(PreRun(nullptr), 0);
    EXPECT_NE(Find(737), nullptr) << All();
    EXPECT_EQ(Find(713), nullptr) << "the run stops at the incomplete project";
}

INSTANTIATE_TEST_SUITE_P(Counts, GarbageCount, ::testing::Values(4294967295u, 2000000000u));

} // namespace
} // namespace Tavex
