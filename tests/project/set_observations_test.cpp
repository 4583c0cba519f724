#include "project/initialize.h"
#include "project/set_observations.h"
#include "support/records.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace Tavex {
namespace {

using TavexTest::FillDefaultSettings;
using TavexTest::Put;
using TavexTest::SettingsRecord;

// Observation records as a host lays them out: position 0 is never read.
class Records {
public:
    explicit Records(unsigned n) : records_(n + 1) {
        std::memset(static_cast<void*>(records_.data()), 0, records_.size() * sizeof(_OBSERVATION));
    }
    _OBSERVATION* pointer() { return records_.data(); }
    unsigned count() const { return static_cast<unsigned>(records_.size() - 1); }
    unsigned char* bytes(unsigned k) { return reinterpret_cast<unsigned char*>(&records_[k]); }

private:
    std::vector<_OBSERVATION> records_;
};

class Observations : public ::testing::Test {
protected:
    void SetUp() override {
        FillDefaultSettings(*settings);
        InitializeProject(project, *settings);
    }
    const CObservation& At(int k) { return *project.Observations.GetAt(k); }
    SettingsRecord settings;
    ProjectState project;
};

TEST_F(Observations, Kind100ReadsEveryFieldAtItsOffset) {
    Records r(1);
    unsigned char* b = r.bytes(1);
    Put<int>(b, 0, 100);
    for (int i = 0; i < 3; ++i) {
        Put<std::uint16_t>(b, 4 + 2 * i, i == 2 ? 1 : 0);
        Put<std::uint16_t>(b, 10 + 2 * i, i + 1);
        Put<std::uint16_t>(b, 16 + 2 * i, 5 + i);
        Put<double>(b, 46 + 8 * i, 1.5 + i);
    }
    Put<unsigned>(b, 22, 3);
    Put<unsigned>(b, 26, 4);
    Put<double>(b, 30, 1.55);
    Put<double>(b, 38, 1.3);
    for (int i = 0; i < 6; ++i)
        Put<double>(b, 70 + 8 * i, 0.1 * (i + 1));
    Put<std::uint16_t>(b, 118, 1); // replaced: reading 2 is a distance
    for (int i = 0; i < 4; ++i)
        Put<double>(b, 120 + 8 * i, 0.001 * (i + 1));
    Put<unsigned>(b, 152, 6);
    TakeOverObservations(project, r.pointer(), 1);

    ASSERT_EQ(project.Observations.GetSize(), 2);
    const CObservation& o = At(1);
    EXPECT_EQ(o.Off[2], 1);
    EXPECT_EQ(o.Type[0], 1);
    EXPECT_EQ(o.Type[2], 3);
    EXPECT_EQ(o.Sub[1], 6);
    EXPECT_EQ(o.Station, 3u);
    EXPECT_EQ(o.Target, 4u);
    EXPECT_EQ(o.StationHeight, 1.55);
    EXPECT_EQ(o.TargetHeight, 1.3);
    EXPECT_EQ(o.Reading[2], 3.5);
    EXPECT_EQ(o.Precision[5], 0.1 * 6);
    EXPECT_EQ(o.DistanceCode, 3);
    EXPECT_EQ(o.CentringStation, 0.001);
    EXPECT_EQ(o.HeightErrTarget, 0.004);
    EXPECT_EQ(o.VarGroup, 6u);
    EXPECT_EQ(o.Record, 1u);
    EXPECT_EQ(o.Station3 + o.Station4, 0u);
}

TEST_F(Observations, Kind100KeepsItsDistanceCodeWithoutADistance) {
    Records r(1);
    unsigned char* b = r.bytes(1);
    Put<int>(b, 0, 100);
    Put<std::uint16_t>(b, 10, 1);
    Put<std::uint16_t>(b, 118, 2);
    TakeOverObservations(project, r.pointer(), 1);
    EXPECT_EQ(At(1).DistanceCode, 2);
}

TEST_F(Observations, Kind6HasShiftedCentringAndGroupAndNoDistanceCode) {
    Records r(1);
    unsigned char* b = r.bytes(1);
    Put<int>(b, 0, 6);
    Put<std::uint16_t>(b, 10, 6);
    Put<std::uint16_t>(b, 12, 6);
    Put<std::uint16_t>(b, 14, 6);
    Put<std::uint16_t>(b, 18, 1);
    Put<std::uint16_t>(b, 20, 2);
    Put<unsigned>(b, 22, 1);
    Put<unsigned>(b, 26, 2);
    Put<double>(b, 46, 100.25);
    Put<double>(b, 70, 0.003);  // sdX
    Put<double>(b, 78, 0.25);   // rXY
    Put<double>(b, 110, 0.004); // sdZ
    Put<double>(b, 118, 0.0011);
    Put<double>(b, 142, 0.0044);
    Put<unsigned>(b, 150, 2);
    TakeOverObservations(project, r.pointer(), 1);
    const CObservation& o = At(1);
    EXPECT_TRUE(o.IsGpsBaseline());
    EXPECT_EQ(o.Sub[2], 2);
    EXPECT_EQ(o.Reading[0], 100.25);
    EXPECT_EQ(o.Precision[0], 0.003);
    EXPECT_EQ(o.Precision[1], 0.25);
    EXPECT_EQ(o.Precision[5], 0.004);
    EXPECT_EQ(o.DistanceCode, 0);
    EXPECT_EQ(o.CentringStation, 0.0011);
    EXPECT_EQ(o.HeightErrTarget, 0.0044);
    EXPECT_EQ(o.VarGroup, 2u);
    EXPECT_EQ(project.GPSObserv, 1);
    EXPECT_EQ(project.TerObserv, 0);
}

TEST_F(Observations, Kinds4And5And7) {
    Records r(3);
    unsigned char* b = r.bytes(1);
    Put<int>(b, 0, 4);
    Put<std::uint16_t>(b, 6, 2);
    Put<std::uint16_t>(b, 8, 3);
    Put<unsigned>(b, 10, 1);
    Put<unsigned>(b, 14, 2);
    Put<double>(b, 18, 1.6);
    Put<double>(b, 26, 1.7);
    Put<double>(b, 34, 123.456);
    Put<double>(b, 42, 0.002);
    Put<double>(b, 50, 2e-6);
    Put<double>(b, 58, 0.0005);
    Put<double>(b, 82, 0.0007);
    Put<unsigned>(b, 90, 9);

    b = r.bytes(2);
    Put<int>(b, 0, 5);
    Put<std::uint16_t>(b, 6, 5);
    Put<unsigned>(b, 10, 2);
    Put<unsigned>(b, 14, 3);
    Put<double>(b, 18, 99.0); // not carried by kind 5
    Put<double>(b, 34, -0.512);
    for (int i = 0; i < 4; ++i)
        Put<double>(b, 42 + 8 * i, 0.001 * (i + 1));
    Put<unsigned>(b, 74, 4);

    b = r.bytes(3);
    Put<int>(b, 0, 7);
    for (int i = 0; i < 3; ++i) {
        Put<std::uint16_t>(b, 10 + 2 * i, 7);
        Put<std::uint16_t>(b, 16 + 2 * i, i);
        Put<double>(b, 34 + 8 * i, 1e6 * (i + 1));
    }
    Put<unsigned>(b, 22, 4);
    Put<double>(b, 26, 1.8);
    Put<double>(b, 58, 0.01);
    Put<double>(b, 66, 0.02);
    Put<double>(b, 74, 0.03);
    Put<double>(b, 82, 0.004);
    Put<double>(b, 90, 0.005);
    Put<unsigned>(b, 98, 7);
    TakeOverObservations(project, r.pointer(), 3);
    ASSERT_EQ(project.Observations.GetSize(), 4);

    const CObservation& d = At(1);
    EXPECT_EQ(d.Type[0], 2);
    EXPECT_EQ(d.Sub[0], 3);
    EXPECT_EQ(d.Type[1] + d.Type[2], 0) << "kind 4 has one reading";
    EXPECT_EQ(d.TargetHeight, 1.7);
    EXPECT_EQ(d.Reading[0], 123.456);
    EXPECT_EQ(d.Precision[1], 2e-6);
    EXPECT_EQ(d.CentringStation, 0.0005);
    EXPECT_EQ(d.HeightErrTarget, 0.0007);
    EXPECT_EQ(d.VarGroup, 9u);

    const CObservation& h = At(2);
    EXPECT_EQ(h.StationHeight, 0.0) << "kind 5 carries no heights";
    EXPECT_EQ(h.Reading[0], -0.512);
    EXPECT_EQ(h.Precision[3], 0.004);
    EXPECT_EQ(h.VarGroup, 4u);

    const CObservation& c = At(3);
    EXPECT_TRUE(c.IsGpsCoordinate());
    EXPECT_TRUE(c.IsSingleStation());
    EXPECT_EQ(c.Station, 4u);
    EXPECT_EQ(c.Target, 0u);
    EXPECT_EQ(c.StationHeight, 1.8);
    EXPECT_EQ(c.Reading[2], 3e6);
    EXPECT_EQ(c.Precision[0], 0.01);
    EXPECT_EQ(c.Precision[2], 0.02);
    EXPECT_EQ(c.Precision[5], 0.03);
    EXPECT_EQ(c.Precision[1] + c.Precision[3] + c.Precision[4], 0.0);
    EXPECT_EQ(c.CentringStation, 0.004);
    EXPECT_EQ(c.HeightErrStation, 0.005);
    EXPECT_EQ(c.VarGroup, 7u);
    EXPECT_EQ(project.TerObserv, 1);
    EXPECT_EQ(project.GPSObserv, 1);
}

TEST_F(Observations, UnknownKindsAreSkippedAndRecordPositionsKept) {
    Records r(5);
    for (unsigned k = 1; k <= 5; ++k) {
        Put<int>(r.bytes(k), 0, k == 2 ? 3 : (k == 4 ? 8 : 4));
        Put<std::uint16_t>(r.bytes(k), 6, 2);
    }
    TakeOverObservations(project, r.pointer(), 5);
    ASSERT_EQ(project.Observations.GetSize(), 4);
    EXPECT_EQ(project.Observations.GetAt(0), nullptr);
    EXPECT_EQ(At(1).Record, 1u);
    EXPECT_EQ(At(2).Record, 3u);
    EXPECT_EQ(At(3).Record, 5u);
    EXPECT_EQ(project.Messages.Count(), 0) << "skipped kinds raise no message";
    EXPECT_EQ(project.RowBound, 15u);
}

TEST_F(Observations, FiveKind4RecordsGiveSixElements) {
    Records r(5);
    for (unsigned k = 1; k <= 5; ++k)
        Put<int>(r.bytes(k), 0, 4);
    TakeOverObservations(project, r.pointer(), 5);
    EXPECT_EQ(project.Observations.GetSize(), 6);
}

TEST_F(Observations, SwitchedOffBaselineCountsAsTerrestrial) {
    Records r(1);
    Put<int>(r.bytes(1), 0, 100);
    Put<std::uint16_t>(r.bytes(1), 4, 1);
    Put<std::uint16_t>(r.bytes(1), 10, 6);
    TakeOverObservations(project, r.pointer(), 1);
    EXPECT_EQ(project.TerObserv, 1);
    EXPECT_EQ(project.GPSObserv, 0);
    EXPECT_EQ(project.GPSCoord, 0) << "with an ellipsoid frame it follows the GPS observations";
}

TEST_F(Observations, NoRecordsClearsThePresenceFlags) {
    TakeOverObservations(project, nullptr, 0);
    EXPECT_EQ(project.TerObserv, 0);
    EXPECT_EQ(project.GPSObserv, 0);
    EXPECT_EQ(project.GPSCoord, 0);
    EXPECT_EQ(project.TerCoord, 1);
    EXPECT_EQ(project.Observations.GetSize(), 1);
    EXPECT_EQ(project.Messages.Count(), 0);
}

TEST_F(Observations, NoRecordsInAFramelessProjectClearsTerrestrialCoordinates) {
    settings->Ellipsoid = ELLIPSOID_FRAME_GEOGRAPHIC;
    InitializeProject(project, *settings);
    TakeOverObservations(project, nullptr, 0);
    EXPECT_EQ(project.TerCoord, 0);
    EXPECT_EQ(project.GPSCoord, 1);
}

TEST_F(Observations, NullArrayWithRecordsStoresNothingAndWarns) {
    TakeOverObservations(project, nullptr, 3);
    EXPECT_EQ(project.Observations.GetSize(), 1);
    ASSERT_EQ(project.Messages.Count(), 1);
    EXPECT_EQ(project.Messages.Messages().GetAt(0)->Class, MSG_WARNING);
}

TEST_F(Observations, DirectionSetsOfEveryStationStartAtZero) {
    Records r(6);
    const unsigned stations[6] = {1, 1, 1, 2, 2, 1};
    const unsigned sets[6] = {3, 4, 7, 5, 5, 2};
    const std::uint16_t types[6] = {1, 1, 1, 1, 1, 2};
    for (unsigned k = 1; k <= 6; ++k) {
        Put<int>(r.bytes(k), 0, 4);
        Put<std::uint16_t>(r.bytes(k), 6, types[k - 1]);
        Put<std::uint16_t>(r.bytes(k), 8, sets[k - 1]);
        Put<unsigned>(r.bytes(k), 10, stations[k - 1]);
    }
    TakeOverObservations(project, r.pointer(), 6);
    EXPECT_EQ(At(1).Sub[0], 0);
    EXPECT_EQ(At(2).Sub[0], 1);
    EXPECT_EQ(At(3).Sub[0], 4);
    EXPECT_EQ(At(4).Sub[0], 0);
    EXPECT_EQ(At(5).Sub[0], 0);
    EXPECT_EQ(At(6).Sub[0], 2) << "a distance's group is not a set number";
}

} // namespace
} // namespace Tavex
