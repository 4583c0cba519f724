// The kernel's station table and known-station table.
#ifndef TAVEX_PROJECT_STATION_H
#define TAVEX_PROJECT_STATION_H

#include "geodesy/kz_string.h"

namespace Tavex {

class CTestBase;

// Where a station's coordinates come from.
enum CoordSource : int { SOURCE_TERRESTRIAL = 1, SOURCE_GPS = 2 };

// Bits of the coordinate flags of a station record.
enum StationCoordFlags : int {
    COORD_FLAG_GPS = 1 << 0,
    COORD_FLAG_TERRESTRIAL = 1 << 1,
    COORD_FLAG_GEOGRAPHIC = 1 << 4,
    COORD_FLAG_GRID = 1 << 5,
};

// Coordinate status and classes of a station record.
inline constexpr int kStatusKnown = 8;
inline constexpr int kClassHeightKnown = 10;
inline constexpr int kClassPositionKnown = 11;
inline constexpr int kClassBothKnown = 12;

// One station; element s of the table is station number s (element 0 unused).
struct StationRec {
    int Excluded = 0;
    CKZString Name;
    int CoordSource = SOURCE_TERRESTRIAL;
    double Lat = 0.0; // radians
    double Lon = 0.0; // radians
    double Height = 0.0;
    double Spare1[3] = {0.0, 0.0, 0.0};
    double Easting = 0.0; // grid coordinates of the record, 0 for geographic input
    double Northing = 0.0;
    double Spare2[3] = {0.0, 0.0, 0.0};
    int HasCoordinates = 0;
    double CentringError = 0.0;
    double HeightError = 0.0;
    CTestBase* Test = nullptr; // the station's test, owned by the test lists

    // Kernel additions: whether the record gave grid coordinates, and whether
    // they could be turned into latitude and longitude.
    bool FromGrid = false;
    bool GridConversionFailed = false;
};

// One known station; entries 1..KnownCount in station order.
struct KnownRec {
    unsigned Station = 0;
    int LatKnown = 0;
    int LonKnown = 0;
    int HeightKnown = 0;
    double SdLat = 0.0;
    double SdLon = 0.0;
    double SdHeight = 0.0;
};

} // namespace Tavex

#endif
