#include "geodesy/ellipsoid.h"

#include "geodesy/proj_reference.h"
#include "tavex/tavex.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace Tavex {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kHalfPi = std::numbers::pi / 2;

TEST(Ellipsoid, CodesGiveThePublishedEllipsoids) {
    // Derived constants as published: semi-minor axis b, first eccentricity.
    const CEllipsoid wgs84(ELLIPSOID_WGS84);
    EXPECT_NEAR(wgs84.dGetSemiMinAx(), 6356752.314245, 1e-6);
    EXPECT_NEAR(wgs84.dGetEccentrSq(), 0.00669437999014, 1e-14);
    EXPECT_NEAR(wgs84.dGetEccentr(), 0.0818191908426, 1e-13);
    EXPECT_NEAR(CEllipsoid(ELLIPSOID_GRS80).dGetSemiMinAx(), 6356752.314140, 1e-6);
    EXPECT_NEAR(CEllipsoid(ELLIPSOID_BESSEL1841).dGetSemiMinAx(), 6356078.962818, 1e-6);
    // The frames without map projection lie on WGS 84 but keep their own code.
    for (const int frame : {ELLIPSOID_FRAME_GEOGRAPHIC, ELLIPSOID_FRAME_REPLACED}) {
        const CEllipsoid e(frame);
        EXPECT_EQ(e.nGetEllipsoid(), frame);
        EXPECT_EQ(e.dGetSemiMajAx(), 6378137.0);
        EXPECT_EQ(e.dGetInvFlatt(), 298.257223563);
    }
    // The user-defined code takes the given values; named codes ignore them.
    const CEllipsoid user(ELLIPSOID_USER_DEFINED, 6378000.0, 300.0);
    ASSERT_TRUE(user.IsValid());
    EXPECT_NEAR(user.dGetSemiMinAx(), 6378000.0 * (1 - 1 / 300.0), 1e-6);
    EXPECT_EQ(user.szGetEllipsoidName().wstr(), L"User-defined ellipsoid");
    EXPECT_EQ(CEllipsoid(ELLIPSOID_BESSEL1841, 1.0, 2.0).dGetSemiMajAx(), 6377397.155);
}

TEST(Ellipsoid, IllFormedOrUnknownEllipsoidsAreInvalidAndTheirConversionsFail) {
    const CEllipsoid cases[] = {
        CEllipsoid(ELLIPSOID_USER_DEFINED), // no values given
        CEllipsoid(ELLIPSOID_USER_DEFINED, 0.0, 298.0),
        CEllipsoid(ELLIPSOID_USER_DEFINED, kNaN, 298.0),
        CEllipsoid(ELLIPSOID_USER_DEFINED, kInf, 298.0),
        CEllipsoid(ELLIPSOID_USER_DEFINED, 1e154, 298.0), // its squares overflow
        CEllipsoid(ELLIPSOID_USER_DEFINED, 6378137.0, 1.0),
        CEllipsoid(ELLIPSOID_USER_DEFINED, 6378137.0, 0.0), // a sphere by convention
        CEllipsoid(ELLIPSOID_USER_DEFINED, 6378137.0, kInf),
        CEllipsoid(99, 6378137.0, 298.0), // unknown code
    };
    for (const CEllipsoid& e : cases) {
        EXPECT_FALSE(e.IsValid());
        EXPECT_TRUE(std::isnan(e.dGetSemiMajAx()) && std::isnan(e.dNRadCurv(0.5)));
        double X, Y, Z, lat, lon, h;
        EXPECT_FALSE(e.EllToXYZ(0.5, 0.1, 0.0, X, Y, Z));
        EXPECT_TRUE(std::isnan(X));
        EXPECT_FALSE(e.XYZToEll(4e6, 1e5, 4e6, lat, lon, h));
        EXPECT_TRUE(std::isnan(lat) && std::isnan(h));
        EXPECT_EQ(e.szGetEllipsoidName().wstr(), L"Invalid ellipsoid");
    }
    EXPECT_EQ(CEllipsoid(99).nGetEllipsoid(), 99);
}

TEST(Ellipsoid, RadiiOfCurvatureAtEquatorAndPole) {
    const CEllipsoid grs80(ELLIPSOID_GRS80);
    const double a = 6378137.0, b = grs80.dGetSemiMinAx();
    // Equator: M = b^2 / a, N = a. Pole: M = N = a^2 / b (polar radius of curvature c).
    EXPECT_NEAR(grs80.dMRadCurv(0.0), b * b / a, 1e-6);
    EXPECT_NEAR(grs80.dNRadCurv(0.0), a, 1e-6);
    EXPECT_NEAR(grs80.dMRadCurv(kHalfPi), a * a / b, 1e-6);
    EXPECT_NEAR(grs80.dNRadCurv(kHalfPi), a * a / b, 1e-6);
    EXPECT_NEAR(grs80.dNRadCurv(kHalfPi), 6399593.6259, 1e-4); // published c of GRS 80
    EXPECT_NEAR(grs80.dMRadCurv(0.0), 6335439.3271, 1e-4);     // published M0 of GRS 80
}

TEST(Ellipsoid, GeocentricCoordinatesAgreeWithProj) {
    const reference::ProjReference ref = reference::ReadProjReference();
    ASSERT_EQ(ref.geocentric.size(), 60u);
    for (const reference::GeocentricReference& r : ref.geocentric) {
        SCOPED_TRACE(::testing::Message() << "ellipsoid " << r.ellipsoid << " lat " << r.lat
                                          << " lon " << r.lon << " h " << r.h);
        const CEllipsoid e(r.ellipsoid);
        ASSERT_TRUE(e.IsValid());
        double X, Y, Z;
        ASSERT_TRUE(e.EllToXYZ(r.lat, r.lon, r.h, X, Y, Z));
        EXPECT_NEAR(X, r.X, 1e-8);
        EXPECT_NEAR(Y, r.Y, 1e-8);
        EXPECT_NEAR(Z, r.Z, 1e-8);

        double lat, lon, h;
        ASSERT_TRUE(e.XYZToEll(r.X, r.Y, r.Z, lat, lon, h));
        EXPECT_NEAR(lat, r.lat, 1e-12);
        // Longitude as a distance along the parallel: near the axis the file's
        // 10 decimals of X and Y fix it no better than that.
        const double fromAxis = std::hypot(r.X, r.Y);
        EXPECT_NEAR(std::remainder(lon - r.lon, 2 * std::numbers::pi) * fromAxis, 0.0, 1e-9);
        EXPECT_NEAR(h, r.h, 1e-8);
    }
}

// Round trips are exact up to the rounding of X, Y, Z to doubles, which moves
// h by at most sqrt(3) half-units in the last place of the largest coordinate:
// below 1 nm for points closer to the centre than 8.4e6 m.
TEST(Ellipsoid, XYZToEllInvertsEllToXYZEverywhere) {
    const CEllipsoid wgs84(ELLIPSOID_WGS84);
    const double latitudes[] = {-kHalfPi, -1.5707963, -1.2, -0.6, -1e-9,        0.0,
                                1e-12,    0.3,        0.9,  1.4,  1.5707963267, kHalfPi};
    const double longitudes[] = {-3.1, -1.0, 0.0, 0.5, 2.0, std::numbers::pi};
    const double heights[] = {-6.3e6, -1e6, -4e4, -100.0, 0.0, 1.0, 8848.0, 1e5, 2e7};
    for (const double lat0 : latitudes)
        for (const double lon0 : longitudes)
            for (const double h0 : heights) {
                SCOPED_TRACE(::testing::Message() << lat0 << " " << lon0 << " " << h0);
                double X, Y, Z, lat, lon, h;
                ASSERT_TRUE(wgs84.EllToXYZ(lat0, lon0, h0, X, Y, Z));
                ASSERT_TRUE(wgs84.XYZToEll(X, Y, Z, lat, lon, h));
                const double distance = std::sqrt(X * X + Y * Y + Z * Z);
                const double tolerance =
                    std::fmax(1e-9, 2 * std::numeric_limits<double>::epsilon() * distance);
                EXPECT_NEAR(h, h0, tolerance);
                EXPECT_NEAR(lat, lat0, 1e-12);
                if (std::fabs(lat0) < 1.5707963) { // meaningful away from the poles
                    EXPECT_NEAR(std::remainder(lon - lon0, 2 * std::numbers::pi), 0.0, 1e-12);
                }
            }
}

TEST(Ellipsoid, PolesEquatorAndCentreHaveKnownGeodeticCoordinates) {
    const CEllipsoid wgs84(ELLIPSOID_WGS84);
    const double a = wgs84.dGetSemiMajAx(), b = wgs84.dGetSemiMinAx();
    double lat, lon, h;
    // On the axis: latitude +-90 degrees, longitude 0 by convention, h = |Z| - b.
    ASSERT_TRUE(wgs84.XYZToEll(0.0, 0.0, b + 123.456, lat, lon, h));
    EXPECT_DOUBLE_EQ(lat, kHalfPi);
    EXPECT_EQ(lon, 0.0);
    EXPECT_NEAR(h, 123.456, 1e-9);
    ASSERT_TRUE(wgs84.XYZToEll(-0.0, 0.0, -(b - 5000.0), lat, lon, h));
    EXPECT_DOUBLE_EQ(lat, -kHalfPi);
    EXPECT_EQ(lon, 0.0);
    EXPECT_NEAR(h, -5000.0, 1e-9);
    // 1 mm from the axis near the pole: the latitude is 90 degrees less
    // 1 mm over the polar radius of curvature.
    ASSERT_TRUE(wgs84.XYZToEll(1e-3, 0.0, b, lat, lon, h));
    EXPECT_NEAR(kHalfPi - lat, 1e-3 / (a * a / b), 1e-15);
    EXPECT_NEAR(h, 0.0, 1e-9);
    // On the equator: latitude 0, h = distance - a.
    ASSERT_TRUE(wgs84.XYZToEll(0.0, -(a + 250.0), 0.0, lat, lon, h));
    EXPECT_EQ(lat, 0.0);
    EXPECT_DOUBLE_EQ(lon, -kHalfPi);
    EXPECT_NEAR(h, 250.0, 1e-9);
    // The centre: nearest surface points are the poles, at distance b.
    ASSERT_TRUE(wgs84.XYZToEll(0.0, 0.0, 0.0, lat, lon, h));
    EXPECT_DOUBLE_EQ(std::fabs(lat), kHalfPi);
    EXPECT_NEAR(h, -b, 1e-9);
}

// Distance from the meridian-plane point (R, Z) to the ellipse, by brute force:
// a dense scan of the parametric angle followed by golden-section refinement.
// Independent of the closed form; accurate to about a nanometre.
long double DistanceToEllipse(long double R, long double Z, long double a, long double b) {
    using LD = long double;
    const auto distance = [&](LD t) {
        return std::hypot(R - a * std::cos(t), Z - b * std::sin(t));
    };
    const LD pi = std::numbers::pi_v<LD>;
    constexpr int kSamples = 20000;
    LD bestT = 0, best = distance(0);
    for (int i = 1; i < kSamples; ++i) {
        const LD t = -pi + 2 * pi * i / kSamples;
        if (distance(t) < best) {
            best = distance(t);
            bestT = t;
        }
    }
    LD lo = bestT - 2 * pi / kSamples, hi = bestT + 2 * pi / kSamples;
    const LD ratio = (std::sqrt(LD(5)) - 1) / 2;
    for (int i = 0; i < 200 && hi - lo > 1e-18L; ++i) {
        const LD m1 = hi - ratio * (hi - lo), m2 = lo + ratio * (hi - lo);
        if (distance(m1) < distance(m2))
            hi = m2;
        else
            lo = m1;
    }
    return distance((lo + hi) / 2);
}

TEST(Ellipsoid, PointsDeepInsideGetTheNearestFootOfTheNormal) {
    // Near the centre several normals pass through a point; the result must
    // be a foot (EllToXYZ reproduces the point) at the smallest distance.
    const CEllipsoid wgs84(ELLIPSOID_WGS84);
    const double a = wgs84.dGetSemiMajAx(), b = wgs84.dGetSemiMinAx();
    const double e2 = wgs84.dGetEccentrSq();
    const double points[][2] = {{1000.0, 0.0},      {30000.0, 0.0}, {42000.0, 1.0},
                                {30000.0, 20000.0}, {0.0, 1000.0},  {20000.0, -35000.0},
                                {5e4, 1e5},         {3e6, -2e6},    {1e-3, 1e-3}};
    for (const auto& p : points) {
        SCOPED_TRACE(::testing::Message() << "R " << p[0] << " Z " << p[1]);
        double lat, lon, h;
        ASSERT_TRUE(wgs84.XYZToEll(p[0], 0.0, p[1], lat, lon, h));
        double X, Y, Z;
        ASSERT_TRUE(wgs84.EllToXYZ(lat, lon, h, X, Y, Z));
        EXPECT_NEAR(X, p[0], 1e-8);
        EXPECT_NEAR(Z, p[1], 1e-8);
        EXPECT_NEAR(-h, static_cast<double>(DistanceToEllipse(p[0], p[1], a, b)), 1e-8);
    }
    // On the equatorial disc inside the evolute the normal from latitude lat
    // meets the disc at R = N e^2 cos lat, with h = -N (1 - e^2).
    double lat, lon, h;
    ASSERT_TRUE(wgs84.XYZToEll(20000.0, 0.0, 0.0, lat, lon, h));
    const double N = wgs84.dNRadCurv(lat);
    EXPECT_NEAR(N * e2 * std::cos(lat), 20000.0, 1e-8);
    EXPECT_NEAR(h, -N * (1 - e2), 1e-8);
    EXPECT_GT(lat, 0.0); // the northern of the two feet
}

TEST(Ellipsoid, NonFiniteOrOutOfRangeInputFails) {
    const CEllipsoid wgs84(ELLIPSOID_WGS84);
    double X, Y, Z, lat, lon, h;
    EXPECT_FALSE(wgs84.EllToXYZ(kNaN, 0.0, 0.0, X, Y, Z));
    EXPECT_FALSE(wgs84.EllToXYZ(0.1, kInf, 0.0, X, Y, Z));
    EXPECT_FALSE(wgs84.EllToXYZ(0.1, 0.2, kNaN, X, Y, Z));
    EXPECT_FALSE(wgs84.EllToXYZ(kHalfPi + 1e-9, 0.0, 0.0, X, Y, Z));
    EXPECT_TRUE(std::isnan(X) && std::isnan(Y) && std::isnan(Z));
    EXPECT_FALSE(wgs84.XYZToEll(kNaN, 0.0, 0.0, lat, lon, h));
    EXPECT_FALSE(wgs84.XYZToEll(0.0, 0.0, -kInf, lat, lon, h));
    EXPECT_TRUE(std::isnan(lat) && std::isnan(lon) && std::isnan(h));
    // Far away the result is still finite and sensible.
    ASSERT_TRUE(wgs84.XYZToEll(1e300, 0.0, 1e300, lat, lon, h));
    EXPECT_NEAR(lat, std::numbers::pi / 4, 1e-15);
    EXPECT_NEAR(h / (std::sqrt(2.0) * 1e300), 1.0, 1e-15);
}

} // namespace
} // namespace Tavex
