#include "geodesy/coord_array.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace Tavex {
namespace {

CKZCoordArr Polygon(std::initializer_list<CKZCoord> points) {
    CKZCoordArr polygon;
    for (const CKZCoord& p : points)
        polygon.Add(&p);
    return polygon;
}

TEST(CoordArray, AddCopiesThePointsInOrder) {
    CKZCoordArr array;
    CKZCoord p(1.5, -2.0);
    EXPECT_EQ(array.Add(&p), 0);
    p.x = 99.0; // the array holds its own copy
    EXPECT_EQ(array.Add(&p), 1);
    EXPECT_EQ(array.Add(nullptr), -1);
    ASSERT_EQ(array.GetSize(), 2);
    EXPECT_EQ(array.GetAt(0).x, 1.5);
    EXPECT_EQ(array.GetAt(0).y, -2.0);
    EXPECT_EQ(array.GetAt(1).x, 99.0);
    EXPECT_TRUE(std::isnan(array.GetAt(2).x));
    EXPECT_TRUE(std::isnan(array.GetAt(-1).y));
}

TEST(CoordArray, TurningDirectionFollowsTheShoelaceSign) {
    // Unit square counter-clockwise (x right, y up), then clockwise.
    EXPECT_EQ(Polygon({{0, 0}, {1, 0}, {1, 1}, {0, 1}}).nDraaiRichting(), 1);
    EXPECT_EQ(Polygon({{0, 0}, {0, 1}, {1, 1}, {1, 0}}).nDraaiRichting(), -1);
    // A non-convex polygon: the arrow head (0,0) (4,2) (0,4) (1,2) has area +6.
    EXPECT_EQ(Polygon({{0, 0}, {4, 2}, {0, 4}, {1, 2}}).nDraaiRichting(), 1);
    EXPECT_EQ(Polygon({{1, 2}, {0, 4}, {4, 2}, {0, 0}}).nDraaiRichting(), -1);
}

TEST(CoordArray, GridCoordinatesInTheMillionsKeepTheirDirection) {
    // A 1 mm triangle at northing 5.4e6: the plain shoelace formula would
    // lose it in cancellation between products of size 1e12.
    const double e = 155000.123, n = 5400000.456;
    EXPECT_EQ(Polygon({{e, n}, {e + 0.001, n}, {e, n + 0.001}}).nDraaiRichting(), 1);
    EXPECT_EQ(Polygon({{e, n}, {e, n + 0.001}, {e + 0.001, n}}).nDraaiRichting(), -1);
}

TEST(CoordArray, DegeneratePolygonsHaveNoDirection) {
    EXPECT_EQ(CKZCoordArr().nDraaiRichting(), 0);
    EXPECT_EQ(Polygon({{0, 0}, {1, 1}}).nDraaiRichting(), 0);
    // Collinear points whose coordinates are not exact binary fractions.
    EXPECT_EQ(Polygon({{0.1, 0.1}, {0.2, 0.2}, {0.3, 0.3}, {0.7, 0.7}}).nDraaiRichting(), 0);
    // A figure eight whose two loops cancel.
    EXPECT_EQ(Polygon({{0, 0}, {1, 1}, {1, 0}, {0, 1}}).nDraaiRichting(), 0);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(Polygon({{0, 0}, {1, 0}, {nan, 1}}).nDraaiRichting(), 0);
}

} // namespace
} // namespace Tavex
