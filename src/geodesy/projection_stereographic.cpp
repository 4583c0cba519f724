#include "geodesy/projection_stereographic.h"

#include "tavex/tavex.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace Tavex {

namespace {

using LD = long double;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr LD kPi = std::numbers::pi_v<LD>;

// tan of the conformal latitude from tau = tan(lat) (Karney 2011, eq. 7):
//   tau' = tau sqrt(1 + sigma^2) - sigma sqrt(1 + tau^2),
//   sigma = sinh(e atanh(e tau / sqrt(1 + tau^2))).
// The isometric latitude is asinh(tau').
LD TauPrime(LD tau, LD e) {
    const LD tau1 = std::hypot(LD(1), tau);
    const LD sigma = std::sinh(e * std::atanh(e * tau / tau1));
    return std::hypot(LD(1), sigma) * tau - sigma * tau1;
}

// Inverse of TauPrime by Newton's method (Karney 2011, eqs. 8-9). The start
// is within 3e-6 rad of the latitude everywhere, so one step reaches 1e-17 rad
// and two the extended precision; six bound the loop.
LD Tau(LD tauPrime, LD e) {
    constexpr int kMaxSteps = 6;
    const LD eps = std::numeric_limits<LD>::epsilon();
    const LD e2m = 1 - e * e;
    const LD tauMax = 2 / std::sqrt(eps);
    // Near the poles tau' / tau tends to exp(-e atanh(e)).
    LD tau = std::fabs(tauPrime) > 70 ? tauPrime * std::exp(e * std::atanh(e)) : tauPrime / e2m;
    if (!(std::fabs(tau) < tauMax))
        return tau; // already exact at this size; also passes infinities and NaN
    const LD tolerance = std::sqrt(eps) / 10 * std::fmax(LD(1), std::fabs(tauPrime));
    for (int step = 0; step < kMaxSteps; ++step) {
        const LD tauPrimeHere = TauPrime(tau, e);
        // d tau' / d tau = (1 - e^2) sqrt(1 + tau'^2) sqrt(1 + tau^2) / (1 + (1 - e^2) tau^2)
        const LD correction = (tauPrime - tauPrimeHere) * (1 + e2m * tau * tau) /
                              (e2m * std::hypot(LD(1), tau) * std::hypot(LD(1), tauPrimeHere));
        tau += correction;
        if (!(std::fabs(correction) >= tolerance))
            break;
    }
    return tau;
}

// Isometric latitude of the ellipsoid, psi = asinh(tau').
LD Isometric(LD lat, LD e) {
    return std::asinh(TauPrime(std::tan(lat), e));
}

bool IsFinite(double a, double b) {
    return std::isfinite(a) && std::isfinite(b);
}

} // namespace

std::unique_ptr<CProjection_STEREOGRAPHIC>
CProjection_STEREOGRAPHIC::Create(const CEllipsoid& ellipsoid, double latOrigin, double lonOrigin,
                                  double scaleFactor, double falseEasting, double falseNorthing) {
    const bool valid = ellipsoid.IsValid() && IsFinite(latOrigin, lonOrigin) &&
                       IsFinite(falseEasting, falseNorthing) && std::isfinite(scaleFactor) &&
                       std::fabs(latOrigin) <= std::numbers::pi / 2 && scaleFactor > 0;
    if (!valid)
        return nullptr;
    ProjectionParameters parameters;
    parameters.latOrigin = latOrigin;
    parameters.lonOrigin = lonOrigin;
    parameters.scaleFactor = scaleFactor;
    parameters.falseEasting = falseEasting;
    parameters.falseNorthing = falseNorthing;
    return std::unique_ptr<CProjection_STEREOGRAPHIC>(
        new CProjection_STEREOGRAPHIC(ellipsoid, parameters));
}

CProjection_STEREOGRAPHIC::CProjection_STEREOGRAPHIC(const CEllipsoid& ellipsoid,
                                                     const ProjectionParameters& parameters)
    : COutputSystem(ellipsoid, PROJECTION_LOCAL_STEREOGRAPHIC, parameters) {
    const LD a = ellipsoid.dGetSemiMajAx();
    const LD e2 = ellipsoid.dGetEccentrSq();
    const LD ep2 = e2 / (1 - e2); // second eccentricity squared
    const LD lat0 = parameters.latOrigin;
    const LD sinLat0 = std::sin(lat0), cosLat0 = std::cos(lat0);
    const LD cos2 = cosLat0 * cosLat0;

    e_ = std::sqrt(e2);
    n_ = std::sqrt(1 + ep2 * cos2 * cos2);
    // Origin on the sphere:
    //   sin chi0 = sin lat0 / n, cos chi0 = cos lat0 sqrt(1 + e'^2 cos^2 lat0) / n.
    sinChi0_ = sinLat0 / n_;
    cosChi0_ = cosLat0 * std::sqrt(1 + ep2 * cos2) / n_;
    logK_ = std::asinh(sinChi0_ / cosChi0_) - n_ * Isometric(lat0, e_);
    // R = sqrt(M0 N0) = a sqrt(1 - e^2) / (1 - e^2 sin^2 lat0).
    const LD R = a * std::sqrt(1 - e2) / (1 - e2 * sinLat0 * sinLat0);
    twoRk0_ = 2 * R * static_cast<LD>(parameters.scaleFactor);
}

std::unique_ptr<COutputSystem> CProjection_STEREOGRAPHIC::pCopy() const {
    return std::unique_ptr<COutputSystem>(new CProjection_STEREOGRAPHIC(*this));
}

LD CProjection_STEREOGRAPHIC::SphereIsometric(LD lat) const {
    return n_ * Isometric(lat, e_) + logK_;
}

LD CProjection_STEREOGRAPHIC::GeodeticLatitude(LD sphereIsometric) const {
    const LD isometric = (sphereIsometric - logK_) / n_;
    return std::atan(Tau(std::sinh(isometric), e_));
}

bool CProjection_STEREOGRAPHIC::EllToProjection(double lat, double lon, double& x,
                                                double& y) const {
    x = y = kNaN;
    if (!IsFinite(lat, lon) || std::fabs(lat) > std::numbers::pi / 2)
        return false;

    // Ellipsoid to conformal sphere.
    const LD psi = SphereIsometric(lat);
    const LD sinChi = std::tanh(psi);
    const LD cosChi = 1 / std::cosh(psi);
    const LD dLon = std::remainder(static_cast<LD>(lon) - dGetLonOriginCM(), 2 * kPi);
    const LD dL = n_ * dLon; // longitude on the sphere from the origin's meridian
    if (std::fabs(dL) > kPi)
        return false; // would overlap the other side of the sphere
    const LD sinDL = std::sin(dL), cosDL = std::cos(dL);

    // Sphere to plane, from the antipode of the origin.
    const LD B = 1 + sinChi * sinChi0_ + cosChi * cosChi0_ * cosDL;
    if (!(B > 0))
        return false; // the antipode of the origin (guarded above already)
    const LD easting = twoRk0_ * cosChi * sinDL / B;
    const LD northing = twoRk0_ * (sinChi * cosChi0_ - cosChi * sinChi0_ * cosDL) / B;
    x = static_cast<double>(dGetFalseEasting() + easting);
    y = static_cast<double>(dGetFalseNorthing() + northing);
    if (!IsFinite(x, y)) {
        x = y = kNaN;
        return false;
    }
    return true;
}

bool CProjection_STEREOGRAPHIC::ProjectionToEll(double x, double y, double& lat,
                                                double& lon) const {
    lat = lon = kNaN;
    if (!IsFinite(x, y))
        return false;

    // Plane to sphere: with (u, v) the grid offsets over 2 R k0 and
    // rho^2 = u^2 + v^2 = tan^2 of half the arc from the origin,
    //   sin chi          = ((1 - rho^2) sin chi0 + 2 v cos chi0) / (1 + rho^2),
    //   cos chi cos dL   = ((1 - rho^2) cos chi0 - 2 v sin chi0) / (1 + rho^2),
    //   cos chi sin dL   = 2 u / (1 + rho^2).
    const LD u = (static_cast<LD>(x) - dGetFalseEasting()) / twoRk0_;
    const LD v = (static_cast<LD>(y) - dGetFalseNorthing()) / twoRk0_;
    const LD rho2 = u * u + v * v;
    const LD sinChi = (1 - rho2) * sinChi0_ + 2 * v * cosChi0_; // times (1 + rho^2)
    const LD meridianPart = (1 - rho2) * cosChi0_ - 2 * v * sinChi0_;
    const LD cosChi = std::hypot(2 * u, meridianPart); // times (1 + rho^2)
    const LD dL = (u == 0 && meridianPart == 0) ? LD(0) : std::atan2(2 * u, meridianPart);

    // Sphere to ellipsoid.
    const LD latitude = cosChi == 0 ? std::copysign(kPi / 2, sinChi)
                                    : GeodeticLatitude(std::asinh(sinChi / cosChi));
    lat = static_cast<double>(latitude);
    lon = static_cast<double>(dGetLonOriginCM() + dL / n_);
    if (!IsFinite(lat, lon)) {
        lat = lon = kNaN;
        return false;
    }
    return true;
}

CKZString CProjection_STEREOGRAPHIC::szGetProjectionName() const {
    return CKZString(L"Local oblique stereographic");
}

} // namespace Tavex
