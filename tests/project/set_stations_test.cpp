#include "geodesy/projection_factory.h"
#include "project/initialize.h"
#include "project/set_stations.h"
#include "support/records.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace Tavex {
namespace {

using TavexTest::FillDefaultSettings;
using TavexTest::SettingsRecord;

_STATIONADJ GridStation(const char* name, double easting, double northing, double height) {
    _STATIONADJ r;
    std::memset(&r, 0, sizeof r);
    std::memcpy(r.Name, name, std::min(sizeof r.Name, std::strlen(name)));
    r.CoordFlags = COORD_FLAG_GRID | COORD_FLAG_TERRESTRIAL;
    r.Coord1 = easting;
    r.Coord2 = northing;
    r.Height = height;
    return r;
}

_STATIONADJ GeographicStation(const char* name, double lat, double lon, double height) {
    _STATIONADJ r;
    std::memset(&r, 0, sizeof r);
    std::memcpy(r.Name, name, std::min(sizeof r.Name, std::strlen(name)));
    r.CoordFlags = COORD_FLAG_GEOGRAPHIC | COORD_FLAG_GPS;
    r.Coord1 = lat;
    r.Coord2 = lon;
    r.Height = height;
    return r;
}

void MakeKnown(_STATIONADJ& r, int coordClass, double c11, double c22, double c33, double scale) {
    r.CoordStatus = kStatusKnown;
    r.CoordClass = coordClass;
    r.CovScale = scale;
    r.Cov[0] = c11;
    r.Cov[3] = c22;
    r.Cov[5] = c33;
}

class Stations : public ::testing::Test {
protected:
    void Init(int projection) {
        FillDefaultSettings(*settings);
        settings->Projection = projection;
        InitializeProject(project, *settings);
    }
    SettingsRecord settings;
    ProjectState project;
};

TEST_F(Stations, GeographicStationsAreTakenAsGiven) {
    Init(PROJECTION_NONE);
    _STATIONADJ records[2] = {GeographicStation("A", 0.9, 0.1, 45.0),
                              GeographicStation("a-very-long-station-name", -0.5, 2.0, -3.0)};
    TakeOverStations(project, records, 2);
    ASSERT_EQ(project.StationCount, 2u);
    ASSERT_EQ(project.Stations.size(), 3u);
    const StationRec& a = project.Stations[1];
    EXPECT_EQ(a.Name.wstr(), L"A");
    EXPECT_EQ(a.Lat, 0.9);
    EXPECT_EQ(a.Lon, 0.1);
    EXPECT_EQ(a.Height, 45.0);
    EXPECT_EQ(a.CoordSource, SOURCE_GPS);
    EXPECT_EQ(a.HasCoordinates, 1);
    EXPECT_EQ(a.Easting, 0.0);
    EXPECT_EQ(project.Stations[2].Name.wstr(), L"a-very-long-stati") << "17 characters kept";
    EXPECT_EQ(project.NoKnownStations, 1);
    EXPECT_EQ(project.StationRecords, records);
}

TEST_F(Stations, CoordinateSourceCarriesOverFromThePreviousStation) {
    Init(PROJECTION_NONE);
    _STATIONADJ records[3] = {GeographicStation("A", 0.9, 0.1, 0),
                              GeographicStation("B", 0.9, 0.1, 0),
                              GeographicStation("C", 0.9, 0.1, 0)};
    records[1].CoordFlags = COORD_FLAG_GEOGRAPHIC; // neither source bit
    records[2].CoordFlags = COORD_FLAG_GEOGRAPHIC | COORD_FLAG_TERRESTRIAL;
    TakeOverStations(project, records, 3);
    EXPECT_EQ(project.Stations[1].CoordSource, SOURCE_GPS);
    EXPECT_EQ(project.Stations[2].CoordSource, SOURCE_GPS);
    EXPECT_EQ(project.Stations[3].CoordSource, SOURCE_TERRESTRIAL);
}

TEST_F(Stations, KnownStationClassesGiveTheirComponents) {
    Init(PROJECTION_NONE);
    _STATIONADJ records[3] = {GeographicStation("H", 0.9, 0.1, 10),
                              GeographicStation("P", 0.9, 0.1, 0),
                              GeographicStation("B", 0.9, 0.1, 5)};
    MakeKnown(records[0], kClassHeightKnown, 4e-6, 9e-6, 0.0004, 2.0);
    records[0].Presence = 0x04;
    MakeKnown(records[1], kClassPositionKnown, 4e-6, 9e-6, 0.0004, 1.0);
    MakeKnown(records[2], kClassBothKnown, 1e-6, 1e-6, 1e-6, 1.0);
    TakeOverStations(project, records, 3);
    ASSERT_EQ(project.KnownCount, 3u);
    ASSERT_EQ(project.Known.size(), 4u);
    const KnownRec& h = project.Known[1];
    EXPECT_EQ(h.Station, 1u);
    EXPECT_EQ(h.HeightKnown, 1);
    EXPECT_EQ(h.LatKnown + h.LonKnown, 0);
    EXPECT_DOUBLE_EQ(h.SdHeight, 0.02 * 2.0);
    EXPECT_EQ(h.SdLat, 0.0);
    const KnownRec& pos = project.Known[2];
    EXPECT_EQ(pos.LatKnown + pos.LonKnown, 2);
    EXPECT_EQ(pos.HeightKnown, 0);
    EXPECT_DOUBLE_EQ(pos.SdLat, 0.002);
    EXPECT_DOUBLE_EQ(pos.SdLon, 0.003);
    EXPECT_EQ(project.Known[3].LatKnown + project.Known[3].HeightKnown, 2);
    EXPECT_EQ(project.HeightKind, 4);
    EXPECT_EQ(project.NoKnownStations, 0);
}

TEST_F(Stations, WithoutKnownStationsTheLastHeightKindSeenIsKept) {
    Init(PROJECTION_NONE);
    _STATIONADJ records[2] = {GeographicStation("A", 0.9, 0.1, 0),
                              GeographicStation("B", 0.9, 0.1, 0)};
    records[0].Presence = 0x08;
    records[1].Presence = 0x04 | 0x03;
    TakeOverStations(project, records, 2);
    EXPECT_EQ(project.HeightKind, 4);
}

TEST_F(Stations, StationWithoutCoordinateBitsStaysEmptyButNamed) {
    Init(PROJECTION_NONE);
    _STATIONADJ record = GeographicStation("N1", 0.9, 0.1, 12);
    record.CoordFlags = COORD_FLAG_TERRESTRIAL;
    TakeOverStations(project, &record, 1);
    EXPECT_EQ(project.Stations[1].HasCoordinates, 0);
    EXPECT_EQ(project.Stations[1].Lat, 0.0);
    EXPECT_EQ(project.Stations[1].Height, 0.0);
    EXPECT_EQ(project.Stations[1].Name.wstr(), L"N1");
}

TEST_F(Stations, LocalGridIsCentredOnTheMeanOfAllGridStations) {
    Init(PROJECTION_LOCAL_STEREOGRAPHIC);
    _STATIONADJ records[3] = {GridStation("A", 1000, 5000, 0), GridStation("B", 3000, 5000, 0),
                              GridStation("C", 2000, 8000, 0)};
    TakeOverStations(project, records, 3);
    ASSERT_NE(project.CurrentProjection, nullptr);
    EXPECT_DOUBLE_EQ(project.CurrentProjection->dGetFalseEasting(), 2000.0);
    EXPECT_DOUBLE_EQ(project.CurrentProjection->dGetFalseNorthing(), 6000.0);
    // Every station keeps its grid position through the new projection.
    for (unsigned s = 1; s <= 3; ++s) {
        const StationRec& st = project.Stations[s];
        double e = 0, n = 0;
        ASSERT_TRUE(project.CurrentProjection->LatLonToXY(st.Lat, st.Lon, &e, &n));
        EXPECT_NEAR(e, records[s - 1].Coord1, 1e-6);
        EXPECT_NEAR(n, records[s - 1].Coord2, 1e-6);
        EXPECT_FALSE(st.GridConversionFailed);
    }
    // The centre is the origin: a station there sits on the origin's latitude.
    const CEllipsoid ellipsoid(ELLIPSOID_GRS80);
    auto reference =
        pGetNewProjection(PROJECTION_LOCAL_STEREOGRAPHIC, 0, 0, 0, 0, 1.0, 6000, 2000, &ellipsoid);
    double lat = 0, lon = 0;
    ASSERT_TRUE(reference->XYToLatLon(&lat, &lon, 1000, 5000));
    EXPECT_NEAR(project.Stations[1].Lat, lat, 1e-12);
    EXPECT_NEAR(project.Stations[1].Lon, lon, 1e-12);
}

TEST_F(Stations, LocalGridIsCentredOnKnownStationsWithAKnownPosition) {
    Init(PROJECTION_LOCAL_STEREOGRAPHIC);
    _STATIONADJ records[4] = {GridStation("A", 1000, 5000, 0), GridStation("B", 3000, 7000, 0),
                              GridStation("C", 9000, 9000, 0), GridStation("D", 0, 0, 0)};
    MakeKnown(records[0], kClassBothKnown, 0, 0, 0, 1);
    MakeKnown(records[1], kClassPositionKnown, 0, 0, 0, 1);
    MakeKnown(records[2], kClassHeightKnown, 0, 0, 0, 1); // height only: not averaged
    TakeOverStations(project, records, 4);
    EXPECT_DOUBLE_EQ(project.CurrentProjection->dGetFalseEasting(), 2000.0);
    EXPECT_DOUBLE_EQ(project.CurrentProjection->dGetFalseNorthing(), 6000.0);
}

TEST_F(Stations, LocalGridWithOnlyHeightKnownStationsUsesAllGridStations) {
    Init(PROJECTION_LOCAL_STEREOGRAPHIC);
    _STATIONADJ records[2] = {GridStation("A", 1000, 5000, 0), GridStation("B", 3000, 7000, 0)};
    MakeKnown(records[0], kClassHeightKnown, 0, 0, 0, 1);
    TakeOverStations(project, records, 2);
    EXPECT_DOUBLE_EQ(project.CurrentProjection->dGetFalseEasting(), 2000.0);
    EXPECT_DOUBLE_EQ(project.CurrentProjection->dGetFalseNorthing(), 6000.0);
}

TEST_F(Stations, CentringLeavesGeographicStationsWhereTheyAre) {
    Init(PROJECTION_LOCAL_STEREOGRAPHIC);
    _STATIONADJ records[2] = {GridStation("A", 1000, 5000, 0),
                              GeographicStation("G", 0.01, 0.02, 0)};
    TakeOverStations(project, records, 2);
    EXPECT_EQ(project.Stations[2].Lat, 0.01);
    EXPECT_EQ(project.Stations[2].Lon, 0.02);
}

TEST_F(Stations, GridStationsWithoutAProjectionAreMarked) {
    Init(PROJECTION_NONE);
    _STATIONADJ record = GridStation("A", 1000, 5000, 0);
    TakeOverStations(project, &record, 1);
    EXPECT_TRUE(project.Stations[1].GridConversionFailed);
    EXPECT_EQ(project.Stations[1].Easting, 1000.0);
}

TEST_F(Stations, NullArrayStoresNothingAndWarns) {
    Init(PROJECTION_NONE);
    TakeOverStations(project, nullptr, 5);
    EXPECT_EQ(project.StationCount, 0u);
    ASSERT_EQ(project.Messages.Count(), 1);
    EXPECT_EQ(project.Messages.Messages().GetAt(0)->Class, MSG_WARNING);
}

TEST_F(Stations, NullArrayAfterStationsKeepsThem) {
    Init(PROJECTION_NONE);
    _STATIONADJ records[2] = {GridStation("A", 1000, 5000, 0), GridStation("B", 1100, 5000, 0)};
    ASSERT_EQ(TakeOverStations(project, records, 2), 1);
    EXPECT_EQ(TakeOverStations(project, nullptr, 5), 0);
    EXPECT_EQ(project.StationCount, 2u);
    EXPECT_EQ(project.StationRecords, records);
}

} // namespace
} // namespace Tavex
