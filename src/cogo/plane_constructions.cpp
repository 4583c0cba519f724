#include "cogo/plane_constructions.h"

#include <cmath>

namespace Tavex {

namespace {

constexpr double kTwoPi = 2.0 * M_PI;
// Below this sine two sight lines count as one line: 1e-9 rad is a
// ten-thousandth of a second of arc.
constexpr double kSmallSine = 1e-9;
// Relative tolerance of a cosine beyond 1 that is still rounding (tangent
// circles).
constexpr double kCosineRounding = 1e-9;

double Cross(double ax, double ay, double bx, double by) {
    return ax * by - ay * bx;
}

} // namespace

double NormalizedAngle(double angle) {
    double a = std::fmod(angle, kTwoPi);
    if (a < 0.0)
        a += kTwoPi;
    return a >= kTwoPi ? 0.0 : a;
}

double SignedAngle(double angle) {
    double a = NormalizedAngle(angle);
    return a > M_PI ? a - kTwoPi : a;
}

double Bearing(const PlanePoint& a, const PlanePoint& b) {
    return NormalizedAngle(std::atan2(b.e - a.e, b.n - a.n));
}

double PlaneDistance(const PlanePoint& a, const PlanePoint& b) {
    return std::hypot(b.e - a.e, b.n - a.n);
}

PlanePoint Polar(const PlanePoint& a, double bearing, double distance) {
    return {a.e + distance * std::sin(bearing), a.n + distance * std::cos(bearing)};
}

double OrientationOf(const PlanePoint& s, const PlanePoint& t, double r) {
    return NormalizedAngle(Bearing(s, t) - r);
}

bool CircleIntersections(const PlanePoint& a, double ra, const PlanePoint& b, double rb,
                         PlanePoint& left, PlanePoint& right) {
    const double c = PlaneDistance(a, b);
    if (!(c > 0.0) || !(ra > 0.0) || !(rb > 0.0))
        return false;
    // Angle at a between the line to b and the line to the point (cosine
    // rule), then the polar points on both sides of a → b.
    double cosA = (ra * ra + c * c - rb * rb) / (2.0 * ra * c);
    if (std::fabs(cosA) > 1.0 + kCosineRounding)
        return false;
    cosA = std::fmax(-1.0, std::fmin(1.0, cosA));
    const double angle = std::acos(cosA);
    const double t = Bearing(a, b);
    left = Polar(a, t - angle, ra);
    right = Polar(a, t + angle, ra);
    return true;
}

bool ForwardIntersection(const PlanePoint& a, double ta, const PlanePoint& b, double tb,
                         PlanePoint& p) {
    // a + u·(sin ta, cos ta) = b + v·(sin tb, cos tb), solved for u.
    const double ua = std::sin(ta), va = std::cos(ta);
    const double ub = std::sin(tb), vb = std::cos(tb);
    const double det = Cross(ua, va, ub, vb);
    if (std::fabs(det) < kSmallSine)
        return false;
    const double u = Cross(b.e - a.e, b.n - a.n, ub, vb) / det;
    p = {a.e + u * ua, a.n + u * va};
    return true;
}

bool Trilateration(const PlanePoint& a, double ra, const PlanePoint& b, double rb,
                   const PlanePoint& c, double rc, PlanePoint& p) {
    // Relative to a: |p|² − ra² = 0 and |p − b'|² − rb² = 0 give
    // 2 b'·p = |b'|² + ra² − rb², and likewise for c': Cramer's rule on the
    // two rows (2b'ₑ, 2b'ₙ) and (2c'ₑ, 2c'ₙ).
    const double be = b.e - a.e, bn = b.n - a.n, ce = c.e - a.e, cn = c.n - a.n;
    const double det = 4.0 * Cross(be, bn, ce, cn);
    const double scale = (be * be + bn * bn) + (ce * ce + cn * cn);
    if (!(std::fabs(det) > kSmallSine * scale))
        return false;
    const double k1 = be * be + bn * bn + ra * ra - rb * rb;
    const double k2 = ce * ce + cn * cn + ra * ra - rc * rc;
    p = {a.e + (k1 * 2.0 * cn - k2 * 2.0 * bn) / det, a.n + (2.0 * be * k2 - 2.0 * ce * k1) / det};
    return true;
}

namespace {

// Centre of the circle through a and b on which the chord is seen under the
// anticlockwise angle phi.
bool InscribedCentre(const PlanePoint& a, const PlanePoint& b, double phi, PlanePoint& centre) {
    const double s = std::sin(phi);
    if (std::fabs(s) < kSmallSine)
        return false;
    const double k = 0.5 * std::cos(phi) / s;
    const double ve = b.e - a.e, vn = b.n - a.n;
    // The chord turned a quarter anticlockwise: (e, n) → (−n, e).
    centre = {0.5 * (a.e + b.e) - k * vn, 0.5 * (a.n + b.n) + k * ve};
    return true;
}

} // namespace

bool ResectionThreeDirections(const PlanePoint& a, double ra, const PlanePoint& b, double rb,
                              const PlanePoint& c, double rc, PlanePoint& p) {
    PlanePoint o1, o2;
    if (!InscribedCentre(a, b, -(rb - ra), o1) || !InscribedCentre(b, c, -(rc - rb), o2))
        return false;
    // b mirrored in the line o1 o2.
    const double de = o2.e - o1.e, dn = o2.n - o1.n;
    const double d2 = de * de + dn * dn;
    const double size = PlaneDistance(a, b) + PlaneDistance(b, c);
    if (!(d2 > 1e-12 * size * size))
        return false; // the danger circle
    const double t = ((b.e - o1.e) * de + (b.n - o1.n) * dn) / d2;
    const PlanePoint foot = {o1.e + t * de, o1.n + t * dn};
    p = {2.0 * foot.e - b.e, 2.0 * foot.n - b.n};
    // A station on a target is no solution (the targets and the station on
    // one circle leave only b itself).
    return PlaneDistance(p, b) > 1e-6 * size;
}

} // namespace Tavex
