#include "geodesy/projection_stereographic.h"

#include "geodesy/proj_reference.h"
#include "geodesy/projection_factory.h"
#include "tavex/tavex.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace Tavex {
namespace {

using reference::DegToRad;
constexpr double kPi = std::numbers::pi;

std::unique_ptr<COutputSystem> Stereographic(int ellipsoidCode, double lat0, double lon0, double k0,
                                             double falseEasting, double falseNorthing) {
    const CEllipsoid ellipsoid(ellipsoidCode);
    // The factory's order: d5 scale, d6 false northing, d7 false easting.
    return pGetNewProjection(PROJECTION_LOCAL_STEREOGRAPHIC, lat0, lon0, 0, 0, k0, falseNorthing,
                             falseEasting, &ellipsoid);
}

TEST(Stereographic, AgreesWithProjForwardAndInverse) {
    // PROJ's own values carry a few nanometres of rounding (10 decimals in
    // the file, longitudes near 180 degrees); the inverse is compared in
    // radians, where that is a few 1e-16.
    const reference::ProjReference ref = reference::ReadProjReference();
    ASSERT_EQ(ref.stereographic.size(), 175u);
    for (const reference::StereographicReference& r : ref.stereographic) {
        SCOPED_TRACE(::testing::Message()
                     << "origin " << r.lat0 << " " << r.lon0 << " point " << r.lat << " " << r.lon);
        const auto grid =
            Stereographic(r.ellipsoid, r.lat0, r.lon0, r.k0, r.falseEasting, r.falseNorthing);
        ASSERT_NE(grid, nullptr);
        double x, y;
        ASSERT_TRUE(grid->LatLonToXY(r.lat, r.lon, &x, &y));
        EXPECT_NEAR(x, r.easting, 1e-8);
        EXPECT_NEAR(y, r.northing, 1e-8);
        double lat, lon;
        ASSERT_TRUE(grid->XYToLatLon(&lat, &lon, r.easting, r.northing));
        EXPECT_NEAR(lat, r.lat, 1e-14);
        EXPECT_NEAR(std::remainder(lon - r.lon, 2 * kPi), 0.0, 1e-14);
    }
}

struct Origin {
    int ellipsoid;
    double lat0, lon0; // radians
    double k0, falseEasting, falseNorthing;
};

// The kernel's default local origin, mid and high latitudes in both
// hemispheres, and a grid whose coordinates are in the millions.
const Origin kOrigins[] = {
    {ELLIPSOID_WGS84, 0.0, 0.0, 1.0, 0.0, 0.0},
    {ELLIPSOID_WGS84, 0.0, 0.0, 1.0, 155000.0, 463000.0},
    {ELLIPSOID_BESSEL1841, DegToRad(52.156160556), DegToRad(5.387638889), 0.9999079, 155000.0,
     463000.0},
    {ELLIPSOID_GRS80, DegToRad(-33.9), DegToRad(18.4), 1.0, 50000.0, 1000000.0},
    {ELLIPSOID_GRS80, DegToRad(45.0), DegToRad(-75.0), 0.9999, 300000.0, 5000000.0},
    {ELLIPSOID_WGS84, DegToRad(70.0), DegToRad(25.0), 0.9996, 500000.0, 7000000.0},
    {ELLIPSOID_WGS84, DegToRad(-85.0), DegToRad(-60.0), 1.0, 0.0, 0.0},
    {ELLIPSOID_KRASSOVSKY1940, DegToRad(89.0), DegToRad(120.0), 1.0, 0.0, 0.0},
};

// A grid round trip is as good as the doubles allow: grid values stay below
// 8.4e6 m, where their last bit is 0.93 nm, and the last bit of a latitude
// near 1.2 rad is 1.4 nm on the ground.
TEST(Stereographic, RoundTripsWithin100KilometresOfTheOrigin) {
    for (const Origin& o : kOrigins) {
        SCOPED_TRACE(::testing::Message() << "origin " << o.lat0 << " " << o.lon0);
        const auto grid =
            Stereographic(o.ellipsoid, o.lat0, o.lon0, o.k0, o.falseEasting, o.falseNorthing);
        ASSERT_NE(grid, nullptr);
        // Grid points on circles of 0 to 100 km around the origin.
        for (const double radius : {0.0, 0.37, 950.0, 25000.0, 70000.0, 100000.0})
            for (int step = 0; step < 16; ++step) {
                const double azimuth = step * kPi / 8 + 0.1;
                const double x0 = o.falseEasting + radius * std::sin(azimuth);
                const double y0 = o.falseNorthing + radius * std::cos(azimuth);
                double lat, lon, x, y;
                ASSERT_TRUE(grid->XYToLatLon(&lat, &lon, x0, y0));
                ASSERT_TRUE(grid->LatLonToXY(lat, lon, &x, &y));
                EXPECT_NEAR(x, x0, 1e-9);
                EXPECT_NEAR(y, y0, 1e-9);
                // And from geodetic: 1e-12 rad is 6 micrometres on the ground.
                double lat2, lon2;
                ASSERT_TRUE(grid->XYToLatLon(&lat2, &lon2, x, y));
                EXPECT_NEAR(lat2, lat, 1e-12);
                EXPECT_NEAR(lon2, lon, 1e-12);
            }
    }
}

// Local scale in the north and east directions at (lat, lon), from central
// differences of 1 m on the ground, and the angle between the two images.
struct LocalScale {
    double north, east, cosAngle, orientation;
};

LocalScale ScaleAt(const COutputSystem& grid, double lat, double lon) {
    const double dLat = 1.0 / grid.dMRadCurv(lat);
    const double dLon = 1.0 / (grid.dNRadCurv(lat) * std::cos(lat));
    double xn1, yn1, xn2, yn2, xe1, ye1, xe2, ye2;
    grid.LatLonToXY(lat + dLat, lon, &xn1, &yn1);
    grid.LatLonToXY(lat - dLat, lon, &xn2, &yn2);
    grid.LatLonToXY(lat, lon + dLon, &xe1, &ye1);
    grid.LatLonToXY(lat, lon - dLon, &xe2, &ye2);
    const double nx = (xn1 - xn2) / 2, ny = (yn1 - yn2) / 2; // image of 1 m north
    const double ex = (xe1 - xe2) / 2, ey = (ye1 - ye2) / 2; // image of 1 m east
    const double north = std::hypot(nx, ny), east = std::hypot(ex, ey);
    return {north, east, (nx * ex + ny * ey) / (north * east),
            (ex * ny - ey * nx) / (north * east)};
}

TEST(Stereographic, IsConformalWithTheScaleFactorAtTheOrigin) {
    for (const Origin& o : kOrigins) {
        SCOPED_TRACE(::testing::Message() << "origin " << o.lat0 << " " << o.lon0);
        const auto grid =
            Stereographic(o.ellipsoid, o.lat0, o.lon0, o.k0, o.falseEasting, o.falseNorthing);
        const double R = std::sqrt(grid->dMRadCurv(o.lat0) * grid->dNRadCurv(o.lat0));
        for (const double radius : {0.0, 30000.0, 100000.0})
            for (int step = 0; step < 8; ++step) {
                const double azimuth = step * kPi / 4 + 0.3;
                double lat, lon;
                ASSERT_TRUE(grid->XYToLatLon(&lat, &lon,
                                             o.falseEasting + radius * std::sin(azimuth),
                                             o.falseNorthing + radius * std::cos(azimuth)));
                const LocalScale s = ScaleAt(*grid, lat, lon);
                // Same scale north and east, images at right angles, east a
                // quarter turn clockwise from north (the map is not mirrored).
                EXPECT_NEAR(s.north / s.east, 1.0, 1e-8);
                EXPECT_NEAR(s.cosAngle, 0.0, 1e-8);
                EXPECT_NEAR(s.orientation, 1.0, 1e-8);
                // Stereographic scale on the sphere: k0 (1 + d^2 / (4 R^2)) with
                // d the grid distance over k0; the ellipsoid adds less than 1e-7
                // at 100 km and nothing at the origin.
                const double d = radius / o.k0;
                EXPECT_NEAR(s.north / (o.k0 * (1 + d * d / (4 * R * R))), 1.0,
                            radius == 0 ? 1e-9 : 1e-7);
            }
    }
}

TEST(Stereographic, KernelCentringPutsTheMeanGridPointOnTheOrigin) {
    // The kernel centres its local grid as (6, 0, 0, 0, 0, 1, meanNorthing, meanEasting).
    const CEllipsoid bessel(ELLIPSOID_BESSEL1841);
    const double meanNorthing = 463123.25, meanEasting = 155678.5;
    const auto grid = pGetNewProjection(6, 0, 0, 0, 0, 1.0, meanNorthing, meanEasting, &bessel);
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->dGetFalseNorthing(), meanNorthing);
    EXPECT_EQ(grid->dGetFalseEasting(), meanEasting);
    double lat, lon;
    ASSERT_TRUE(grid->XYToLatLon(&lat, &lon, meanEasting, meanNorthing));
    EXPECT_NEAR(lat, 0.0, 1e-15);
    EXPECT_NEAR(lon, 0.0, 1e-15);
    // x is the easting: a station 1 km east of the centre lies east of the origin.
    ASSERT_TRUE(grid->XYToLatLon(&lat, &lon, meanEasting + 1000.0, meanNorthing));
    EXPECT_NEAR(lat, 0.0, 1e-15);
    EXPECT_NEAR(lon * bessel.dGetSemiMajAx(), 1000.0, 1e-3);
    ASSERT_TRUE(grid->XYToLatLon(&lat, &lon, meanEasting, meanNorthing + 1000.0));
    EXPECT_NEAR(lat * bessel.dMRadCurv(0.0), 1000.0, 1e-3);
    EXPECT_NEAR(lon, 0.0, 1e-15);
}

TEST(Stereographic, FarPointsPolesAndTheAntipode) {
    const auto grid = Stereographic(ELLIPSOID_WGS84, DegToRad(60.0), DegToRad(10.0), 1.0, 0, 0);
    double x, y, lat, lon;
    // The north pole lies straight up the central meridian and returns to the pole.
    ASSERT_TRUE(grid->LatLonToXY(kPi / 2, 1.234, &x, &y));
    EXPECT_NEAR(x, 0.0, 1e-8); // pi / 2 as a double is 0.4 nm short of the pole
    EXPECT_GT(y, 3.3e6);
    ASSERT_TRUE(grid->XYToLatLon(&lat, &lon, x, y));
    EXPECT_NEAR(lat, kPi / 2, 1e-12);
    // A point half the globe away still round-trips.
    ASSERT_TRUE(grid->LatLonToXY(DegToRad(-20.0), DegToRad(100.0), &x, &y));
    ASSERT_TRUE(grid->XYToLatLon(&lat, &lon, x, y));
    EXPECT_NEAR(lat, DegToRad(-20.0), 1e-12);
    EXPECT_NEAR(lon, DegToRad(100.0), 1e-12);
    // The antipode of the kernel's default origin has no image, nor has any
    // point more than pi / n in longitude away (n = 1.00336 at the equator).
    const auto local = Stereographic(ELLIPSOID_WGS84, 0.0, 0.0, 1.0, 0, 0);
    EXPECT_FALSE(local->LatLonToXY(0.0, kPi, &x, &y));
    EXPECT_TRUE(std::isnan(x) && std::isnan(y));
    EXPECT_FALSE(local->LatLonToXY(0.5, -3.135, &x, &y));
    EXPECT_TRUE(local->LatLonToXY(0.5, -3.130, &x, &y));
}

TEST(Stereographic, BadInputFailsWithNaN) {
    const auto grid = Stereographic(ELLIPSOID_GRS80, 0.9, 0.1, 1.0, 1000.0, 2000.0);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    double x, y, lat, lon;
    EXPECT_FALSE(grid->LatLonToXY(nan, 0.1, &x, &y));
    EXPECT_FALSE(grid->LatLonToXY(kPi / 2 + 1e-6, 0.1, &x, &y));
    EXPECT_TRUE(std::isnan(x) && std::isnan(y));
    EXPECT_FALSE(grid->XYToLatLon(&lat, &lon, 0.0, -inf));
    EXPECT_TRUE(std::isnan(lat) && std::isnan(lon));
    EXPECT_FALSE(grid->LatLonToXY(0.9, 0.1, nullptr, &y));
    EXPECT_FALSE(grid->XYToLatLon(&lat, nullptr, 0.0, 0.0));
    // Huge but finite grid coordinates still give a position or a clear failure.
    const bool far = grid->XYToLatLon(&lat, &lon, 1e300, -1e300);
    EXPECT_TRUE(far ? std::isfinite(lat) && std::isfinite(lon) : std::isnan(lat));
}

} // namespace
} // namespace Tavex
