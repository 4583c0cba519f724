#include "geodesy/ellipsoid.h"

#include "tavex/tavex.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace Tavex {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The published ellipsoids: the one place where their constants live.
struct NamedEllipsoid {
    int code;
    double semiMajorAxis;     // a, metres
    double inverseFlattening; // 1/f
    const wchar_t* name;
};

constexpr double kWgs84A = 6378137.0;
constexpr double kWgs84InvF = 298.257223563;

constexpr NamedEllipsoid kNamedEllipsoids[] = {
    {ELLIPSOID_WGS84, kWgs84A, kWgs84InvF, L"WGS 84"},
    {ELLIPSOID_GRS80, 6378137.0, 298.257222101, L"GRS 80"},
    {ELLIPSOID_BESSEL1841, 6377397.155, 299.1528128, L"Bessel 1841"},
    {ELLIPSOID_INTERNATIONAL1924, 6378388.0, 297.0, L"International 1924"},
    {ELLIPSOID_KRASSOVSKY1940, 6378245.0, 298.3, L"Krassovsky 1940"},
    {ELLIPSOID_IAG1975, 6378140.0, 298.257, L"IAG 1975"},
    {ELLIPSOID_CGCS2000, 6378137.0, 298.257222101, L"CGCS2000"},
    {ELLIPSOID_FRAME_GEOGRAPHIC, kWgs84A, kWgs84InvF, L"WGS 84 (geographic frame)"},
    {ELLIPSOID_FRAME_REPLACED, kWgs84A, kWgs84InvF, L"WGS 84 (GPS frame)"},
};

const NamedEllipsoid* FindNamed(int code) {
    for (const NamedEllipsoid& e : kNamedEllipsoids)
        if (e.code == code)
            return &e;
    return nullptr;
}

// Beyond this distance from the centre (metres) the ellipsoid is a point to
// double precision: geodetic and geocentric latitude differ by less than
// f a / d < 1e-17 rad, so the direction of the point is its latitude.
constexpr long double kFarDistance = 1e22L;

// The largest semi-major axis of a user-defined ellipsoid (metres): the
// kernel's bound on input magnitudes, so that squares of coordinates stay
// far inside the range of a double.
constexpr double kLargestSemiMajorAxis = 1e9;

} // namespace

CEllipsoid::CEllipsoid(int code) : code_(code) {
    if (const NamedEllipsoid* named = FindNamed(code))
        SetConstants(named->semiMajorAxis, named->inverseFlattening);
    else
        SetInvalid();
}

CEllipsoid::CEllipsoid(int code, double semiMajorAxis, double inverseFlattening) : code_(code) {
    if (const NamedEllipsoid* named = FindNamed(code)) {
        SetConstants(named->semiMajorAxis, named->inverseFlattening);
        return;
    }
    const bool wellFormed = code == ELLIPSOID_USER_DEFINED && std::isfinite(semiMajorAxis) &&
                            semiMajorAxis > 0 && semiMajorAxis <= kLargestSemiMajorAxis &&
                            std::isfinite(inverseFlattening) &&
                            inverseFlattening > 1;
    if (wellFormed)
        SetConstants(semiMajorAxis, inverseFlattening);
    else
        SetInvalid();
}

void CEllipsoid::SetConstants(double semiMajorAxis, double inverseFlattening) {
    valid_ = true;
    a_ = semiMajorAxis;
    invFlattening_ = inverseFlattening;
    const double f = 1 / inverseFlattening;
    e2_ = f * (2 - f);
}

void CEllipsoid::SetInvalid() {
    valid_ = false;
    a_ = invFlattening_ = e2_ = kNaN;
}

CKZString CEllipsoid::szGetEllipsoidName() const {
    if (!valid_)
        return CKZString(L"Invalid ellipsoid");
    if (const NamedEllipsoid* named = FindNamed(code_))
        return CKZString(named->name);
    return CKZString(L"User-defined ellipsoid");
}

double CEllipsoid::dGetEccentr() const {
    return std::sqrt(e2_);
}

double CEllipsoid::dGetSemiMinAx() const {
    return a_ * (1 - 1 / invFlattening_);
}

double CEllipsoid::dMRadCurv(double lat) const {
    const double s = std::sin(lat);
    const double w2 = 1 - e2_ * s * s; // W^2 = 1 - e^2 sin^2 lat
    return a_ * (1 - e2_) / (w2 * std::sqrt(w2));
}

double CEllipsoid::dNRadCurv(double lat) const {
    const double s = std::sin(lat);
    return a_ / std::sqrt(1 - e2_ * s * s);
}

// The conversions run in extended precision, so that the only errors left
// are the roundings of their double arguments and results: a double's last
// bit of a geocentric coordinate is already 0.5 to 1 nm.
bool CEllipsoid::EllToXYZ(double lat, double lon, double h, double& X, double& Y, double& Z) const {
    X = Y = Z = kNaN;
    const bool inRange = std::isfinite(lat) && std::isfinite(lon) && std::isfinite(h) &&
                         std::fabs(lat) <= std::numbers::pi / 2;
    if (!valid_ || !inRange)
        return false;
    using LD = long double;
    const LD e2 = e2_;
    const LD sinLat = std::sin(static_cast<LD>(lat));
    const LD cosLat = std::cos(static_cast<LD>(lat));
    const LD N = a_ / std::sqrt(1 - e2 * sinLat * sinLat); // prime-vertical radius
    const LD horizontal = (N + h) * cosLat;                // distance from the axis
    X = static_cast<double>(horizontal * std::cos(static_cast<LD>(lon)));
    Y = static_cast<double>(horizontal * std::sin(static_cast<LD>(lon)));
    Z = static_cast<double>((N * (1 - e2) + h) * sinLat);
    return true;
}

// Closed-form solution of H. Vermeille, "Direct transformation from
// geocentric coordinates to geodetic coordinates", J. Geodesy 76 (2002)
// 451-454, written as in C. F. F. Karney's GeographicLib (class Geocentric)
// to avoid cancellation and division by zero: the equations for s and t are
// multiplied by r^3 and r; inside the evolute (discriminant < 0) the real
// root is taken in trigonometric form; k is rearranged so that no two large
// terms are subtracted.
bool CEllipsoid::XYZToEll(double X, double Y, double Z, double& lat, double& lon, double& h) const {
    lat = lon = h = kNaN;
    if (!valid_ || !std::isfinite(X) || !std::isfinite(Y) || !std::isfinite(Z))
        return false;
    using LD = long double;
    const LD a = a_, e2 = e2_, e4 = e2 * e2, e2m = 1 - e2;
    const LD R = std::hypot(static_cast<LD>(X), static_cast<LD>(Y)); // distance from the axis
    const LD z = Z;
    lon = R != 0 ? static_cast<double>(std::atan2(static_cast<LD>(Y), static_cast<LD>(X))) : 0.0;

    LD sinLat, cosLat, height;
    const LD distance = std::hypot(R, z);
    if (distance > kFarDistance) {
        // So far away that the ellipsoid's own shape no longer matters.
        sinLat = z / distance;
        cosLat = R / distance;
        height = distance - a * std::sqrt(e2m / (1 - e2 * cosLat * cosLat));
    } else {
        const LD p = (R / a) * (R / a);
        const LD q = e2m * (z / a) * (z / a);
        const LD r = (p + q - e4) / 6;
        if (!(e4 * q == 0 && r <= 0)) {
            // Root u of Vermeille's cubic.
            const LD S = e4 * p * q / 4; // S = r^3 s
            const LD r2 = r * r, r3 = r * r2;
            const LD disc = S * (2 * r3 + S);
            LD u = r;
            if (disc >= 0) {
                LD T3 = S + r3; // the sign of the root maximises |T3|: no cancellation
                T3 += T3 < 0 ? -std::sqrt(disc) : std::sqrt(disc);
                const LD T = std::cbrt(T3); // T = r t
                u += T + (T != 0 ? r2 / T : 0);
            } else {
                // Inside the evolute: three real roots, take the one without cancellation.
                const LD angle = std::atan2(std::sqrt(-disc), -(S + r3));
                u += 2 * r * std::cos(angle / 3);
            }
            const LD v = std::sqrt(u * u + e4 * q);
            const LD uv = u < 0 ? e4 * q / (v - u) : u + v; // u + v > 0 without cancellation
            const LD w = std::fmax(LD(0), e2 * (uv - q) / (2 * v));
            const LD k = uv / (std::sqrt(uv + w * w) + w);
            const LD D = k * R / (k + e2); // distance from the axis scaled onto the normal
            const LD H = std::hypot(z / k, R / (k + e2));
            sinLat = (z / k) / H;
            cosLat = (R / (k + e2)) / H;
            height = (1 - e2m / k) * std::hypot(D, z);
        } else {
            // On the equatorial disc inside the evolute (R <= a e^2, Z = 0): the
            // foot is where the normal from latitude lat meets the disc,
            // R = N e^2 cos lat, and h = -N (1 - e^2).
            const LD zz = std::sqrt((e4 - p) / e2m);
            const LD xx = std::sqrt(p);
            const LD H = std::hypot(zz, xx); // = e^2 / sqrt(1 - e^2 sin^2 lat)
            sinLat = zz / H;
            cosLat = xx / H;
            height = -a * e2m * H / e2;
        }
    }
    lat = static_cast<double>(std::atan2(sinLat, cosLat));
    h = static_cast<double>(height);
    return true;
}

} // namespace Tavex
