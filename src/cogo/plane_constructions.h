// The plane constructions of the approximate-coordinate computation, on
// easting and northing in metres. Bearings are grid bearings in radians,
// clockwise from grid north: the bearing of (dE, dN) is atan2(dE, dN).
// Observed directions are clockwise too, so the angle at a station from
// target A to target B is r_B − r_A.
//
// Every construction returns false where the geometry does not fix the
// point (parallel lines, circles that do not meet, a station on the danger
// circle); the caller then leaves the station for a later round.
//
// Example: the polar point from (0, 0) at bearing π/2 and distance 10 is
// (10, 0).
#ifndef TAVEX_COGO_PLANE_CONSTRUCTIONS_H
#define TAVEX_COGO_PLANE_CONSTRUCTIONS_H

#include "cogo/plane_point.h"

namespace Tavex {

// Grid bearing from a to b in [0, 2π).
double Bearing(const PlanePoint& a, const PlanePoint& b);
double PlaneDistance(const PlanePoint& a, const PlanePoint& b);
// An angle reduced to [0, 2π).
double NormalizedAngle(double angle);
// An angle reduced to (−π, π].
double SignedAngle(double angle);

// The point at the given bearing and distance from a.
PlanePoint Polar(const PlanePoint& a, double bearing, double distance);

// The two points at distance ra from a and rb from b: `left` lies to the
// left of the line from a to b, `right` to its right. False when the
// circles do not meet (the cosine of the angle at a exceeds 1 in magnitude
// by more than rounding) or a and b coincide.
bool CircleIntersections(const PlanePoint& a, double ra, const PlanePoint& b, double rb,
                         PlanePoint& left, PlanePoint& right);

// The intersection of the lines from a at bearing ta and from b at bearing
// tb. False for (nearly) parallel lines.
bool ForwardIntersection(const PlanePoint& a, double ta, const PlanePoint& b, double tb,
                         PlanePoint& p);

// The point at distances ra, rb, rc from a, b, c: the differences of the
// circle equations give two linear equations, exact for consistent
// distances. False when the three centres are (nearly) collinear.
bool Trilateration(const PlanePoint& a, double ra, const PlanePoint& b, double rb,
                   const PlanePoint& c, double rc, PlanePoint& p);

// The station that observed directions ra, rb, rc (one set, clockwise) to
// a, b, c. Each angle at the station puts it on a circle through two
// targets, whose centre follows from the inscribed-angle theorem: for the
// chord from a to b seen under the anticlockwise angle φ = −(r_b − r_a) the
// centre is the chord's middle + (cot φ / 2) · (the chord turned a quarter
// anticlockwise). Both circles pass through b; the station is the second
// intersection, b mirrored in the line of the two centres. False when an
// angle is 0 or π (the targets seen in one line) or the four points lie on
// one circle (the danger circle: the centres coincide).
bool ResectionThreeDirections(const PlanePoint& a, double ra, const PlanePoint& b, double rb,
                              const PlanePoint& c, double rc, PlanePoint& p);

// The orientation of a set at station s from one of its directions r to a
// target t: the bearing from s to t minus r, in [0, 2π).
double OrientationOf(const PlanePoint& s, const PlanePoint& t, double r);

} // namespace Tavex

#endif
