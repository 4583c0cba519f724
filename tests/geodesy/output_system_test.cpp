#include "geodesy/output_system.h"

#include "geodesy/projection_factory.h"
#include "geodesy/projection_none.h"
#include "geodesy/projection_stereographic.h"
#include "tavex/tavex.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace Tavex {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(ProjectionFactory, BuildsTheTwoKernelSystemsAsTheInitialisationCallsThem) {
    const CEllipsoid grs80(ELLIPSOID_GRS80);
    const auto none = pGetNewProjection(PROJECTION_NONE, 0, 0, 0, 0, 1.0, 0, 0, &grs80);
    ASSERT_NE(none, nullptr);
    EXPECT_NE(dynamic_cast<const CProjection_NONE*>(none.get()), nullptr);
    EXPECT_EQ(none->nGetProjection(), PROJECTION_NONE);
    EXPECT_EQ(none->nGetEllipsoid(), ELLIPSOID_GRS80);

    const auto local =
        pGetNewProjection(PROJECTION_LOCAL_STEREOGRAPHIC, 0, 0, 0, 0, 1.0, 0, 0, &grs80);
    ASSERT_NE(local, nullptr);
    EXPECT_NE(dynamic_cast<const CProjection_STEREOGRAPHIC*>(local.get()), nullptr);
    EXPECT_EQ(local->nGetProjection(), PROJECTION_LOCAL_STEREOGRAPHIC);
}

TEST(ProjectionFactory, RefusesUnknownCodesBadEllipsoidsAndBadConstants) {
    const CEllipsoid wgs84(ELLIPSOID_WGS84);
    const CEllipsoid invalid(ELLIPSOID_USER_DEFINED, -1.0, 298.0);
    EXPECT_EQ(pGetNewProjection(1, 0, 0, 0, 0, 1.0, 0, 0, &wgs84), nullptr);
    EXPECT_EQ(pGetNewProjection(-1, 0, 0, 0, 0, 1.0, 0, 0, &wgs84), nullptr);
    EXPECT_EQ(pGetNewProjection(6, 0, 0, 0, 0, 1.0, 0, 0, nullptr), nullptr);
    EXPECT_EQ(pGetNewProjection(0, 0, 0, 0, 0, 1.0, 0, 0, &invalid), nullptr);
    EXPECT_EQ(pGetNewProjection(6, 0, 0, 0, 0, 1.0, 0, 0, &invalid), nullptr);
    // Every double must be finite, also the ones a projection does not use.
    EXPECT_EQ(pGetNewProjection(0, 0, 0, kNaN, 0, 1.0, 0, 0, &wgs84), nullptr);
    EXPECT_EQ(pGetNewProjection(6, 0, 0, 0, 0, 1.0, kInf, 0, &wgs84), nullptr);
    EXPECT_EQ(pGetNewProjection(6, 0, 0, 0, 0, 1.0, 0, kNaN, &wgs84), nullptr);
    // Stereographic constants out of range.
    EXPECT_EQ(pGetNewProjection(6, 1.6, 0, 0, 0, 1.0, 0, 0, &wgs84), nullptr);
    EXPECT_EQ(pGetNewProjection(6, 0, 0, 0, 0, 0.0, 0, 0, &wgs84), nullptr);
    EXPECT_EQ(pGetNewProjection(6, 0, 0, 0, 0, -1.0, 0, 0, &wgs84), nullptr);
}

TEST(OutputSystem, ExposesItsConstantsAndCopiesItsEllipsoid) {
    auto bessel = std::make_unique<CEllipsoid>(ELLIPSOID_BESSEL1841);
    const auto grid =
        pGetNewProjection(6, 0.91, 0.094, 0, 0, 0.9999079, 463000.0, 155000.0, bessel.get());
    ASSERT_NE(grid, nullptr);
    bessel.reset(); // the system keeps its own copy
    EXPECT_EQ(grid->dGetLatOrigin(), 0.91);
    EXPECT_EQ(grid->dGetLonOriginCM(), 0.094);
    EXPECT_EQ(grid->dGetProjScaleFac(), 0.9999079);
    EXPECT_EQ(grid->dGetFalseNorthing(), 463000.0);
    EXPECT_EQ(grid->dGetFalseEasting(), 155000.0);
    EXPECT_EQ(grid->dGetInvFlatt(), 299.1528128);
    EXPECT_NEAR(grid->dGetEccentr(), 0.0816968312, 1e-10); // published e of Bessel 1841
    EXPECT_EQ(grid->nGetEllipsoid(), ELLIPSOID_BESSEL1841);

    const std::unique_ptr<CEllipsoid> copy = grid->pGetNewEllipsoid();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->dGetSemiMajAx(), 6377397.155);
    EXPECT_EQ(grid->szGetTavexProjectionName().wstr(), L"Local oblique stereographic");
    EXPECT_EQ(grid->szGetTavexEllipsoidName().wstr(), L"Bessel 1841");
}

TEST(OutputSystem, ForwardsTheEllipsoidOperations) {
    const CEllipsoid wgs84(ELLIPSOID_WGS84);
    const auto grid = pGetNewProjection(6, 0.5, 0.5, 0, 0, 1.0, 0, 0, &wgs84);
    double X, Y, Z, lat, lon, h;
    ASSERT_TRUE(grid->EllToXYZ(0.0, 0.0, 10.0, X, Y, Z));
    EXPECT_DOUBLE_EQ(X, 6378147.0);
    ASSERT_TRUE(grid->XYZToEll(0.0, 6378137.0, 0.0, lat, lon, h));
    EXPECT_DOUBLE_EQ(lon, std::numbers::pi / 2);
    EXPECT_NEAR(h, 0.0, 1e-9);
    EXPECT_DOUBLE_EQ(grid->dNRadCurv(0.0), 6378137.0);
    EXPECT_DOUBLE_EQ(grid->dMRadCurv(0.3), wgs84.dMRadCurv(0.3));
}

TEST(OutputSystem, CopiesBehaveLikeTheOriginal) {
    const CEllipsoid grs80(ELLIPSOID_GRS80);
    const auto grid = pGetNewProjection(6, -0.6, 0.3, 0, 0, 0.9996, 1e6, 5e4, &grs80);
    const std::unique_ptr<COutputSystem> copy = grid->pCopy();
    ASSERT_NE(copy, nullptr);
    double x1, y1, x2, y2;
    ASSERT_TRUE(grid->LatLonToXY(-0.601, 0.302, &x1, &y1));
    ASSERT_TRUE(copy->LatLonToXY(-0.601, 0.302, &x2, &y2));
    EXPECT_EQ(x1, x2);
    EXPECT_EQ(y1, y2);
    EXPECT_EQ(copy->nGetProjection(), PROJECTION_LOCAL_STEREOGRAPHIC);

    const CProjection_NONE none(ELLIPSOID_FRAME_REPLACED);
    const std::unique_ptr<COutputSystem> noneCopy = none.pCopy();
    EXPECT_EQ(noneCopy->nGetProjection(), PROJECTION_NONE);
    EXPECT_EQ(noneCopy->nGetEllipsoid(), ELLIPSOID_FRAME_REPLACED);
}

TEST(OutputSystem, WithoutMapProjectionThereIsNoGrid) {
    const CProjection_NONE none(ELLIPSOID_FRAME_GEOGRAPHIC);
    EXPECT_EQ(none.szGetProjectionName().wstr(), L"No map projection");
    EXPECT_EQ(none.szGetEllipsoidName().wstr(), L"WGS 84 (geographic frame)");
    EXPECT_EQ(none.dGetProjScaleFac(), 1.0);
    double x = 0, y = 0, lat = 0, lon = 0;
    EXPECT_FALSE(none.LatLonToXY(0.5, 0.1, &x, &y));
    EXPECT_TRUE(std::isnan(x) && std::isnan(y));
    EXPECT_FALSE(none.XYToLatLon(&lat, &lon, 1000.0, 2000.0));
    EXPECT_TRUE(std::isnan(lat) && std::isnan(lon));
    // The ellipsoid still works.
    double X, Y, Z;
    EXPECT_TRUE(none.EllToXYZ(0.5, 0.1, 0.0, X, Y, Z));
}

} // namespace
} // namespace Tavex
