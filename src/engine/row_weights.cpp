#include "engine/row_weights.h"

#include <algorithm>
#include <cmath>

namespace Tavex {

namespace {

double NonNegative(double x) {
    return x > 0.0 ? x : 0.0;
}

double Square(double x) {
    return x * x;
}

} // namespace

double WeightOf(double sigma, double sigma0) {
    const double variance = Square(sigma0) * Square(sigma);
    if (!(variance >= 1e-16))
        return kWeightCap;
    return 1.0 / variance;
}

double Combined(double station, double observation) {
    return std::sqrt(Square(station) + Square(observation));
}

double AngleSigma(const CObservation& o, int slot, double s, double centringFrom,
                  double centringTo) {
    const double linear =
        NonNegative(o.Precision[2 * slot]) + NonNegative(o.Precision[2 * slot + 1]) / s;
    return std::sqrt(Square(linear) + Square(centringFrom / s) + Square(centringTo / s));
}

double ZenithSigma(const CObservation& o, int slot, double s, double heightFrom, double heightTo) {
    return AngleSigma(o, slot, s, heightFrom, heightTo);
}

double DistanceSigma(const CObservation& o, int slot, double s, double centringFrom,
                     double centringTo) {
    const double linear =
        NonNegative(o.Precision[2 * slot]) + NonNegative(o.Precision[2 * slot + 1]) * s;
    return std::sqrt(Square(linear) + Square(centringFrom) + Square(centringTo));
}

double HeightDifferenceSigma(const CObservation& o, int slot, double s) {
    double absolute, perRootLength, perLength = 0.0, length = 0.0;
    if (o.RecordKind == RECORD_ONE_READING_SHORT) {
        absolute = o.Precision[0];
        perRootLength = o.Precision[1];
        perLength = o.Precision[2];
        length = o.Precision[3];
    } else {
        absolute = o.Precision[2 * slot];
        perRootLength = o.Precision[2 * slot + 1];
    }
    if (!(length > 0.0))
        length = s;
    return NonNegative(absolute) + NonNegative(perRootLength) * std::sqrt(length) +
           NonNegative(perLength) * length;
}

double LocalCoordinateSigma(const CObservation& o, int slot, double centringOrHeight) {
    // The record holds the standard deviations at the places of sdX, sdY
    // and sdZ in the precision block.
    constexpr int kPrecisionSlot[3] = {0, 2, 5};
    return std::hypot(NonNegative(o.Precision[kPrecisionSlot[slot]]), centringOrHeight);
}

Covariance3 GpsCovariance(const CObservation& o, const StationGeometry& from,
                          const StationGeometry* to, double centringFrom, double heightFrom,
                          double centringTo, double heightTo) {
    // sdX, rXY, sdY, rXZ, rYZ, sdZ.
    const double sx = o.Precision[0], rxy = o.Precision[1], sy = o.Precision[2];
    const double rxz = o.Precision[3], ryz = o.Precision[4], sz = o.Precision[5];
    Covariance3 cov = {{{sx * sx, sx * sy * rxy, sx * sz * rxz},
                        {sx * sy * rxy, sy * sy, sy * sz * ryz},
                        {sx * sz * rxz, sy * sz * ryz, sz * sz}}};
    // Centring errors act in the horizon of their station, height errors
    // along its up direction.
    const auto add = [&](const StationGeometry& g, double centring, double height) {
        const double n[3] = {-g.sinLat * g.cosLon, -g.sinLat * g.sinLon, g.cosLat};
        const double e[3] = {-g.sinLon, g.cosLon, 0.0};
        const double u[3] = {g.cosLat * g.cosLon, g.cosLat * g.sinLon, g.sinLat};
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                cov.c[r][c] +=
                    Square(centring) * (n[r] * n[c] + e[r] * e[c]) + Square(height) * u[r] * u[c];
    };
    add(from, centringFrom, heightFrom);
    if (to != nullptr)
        add(*to, centringTo, heightTo);
    return cov;
}

bool InvertPositiveDefinite(const Covariance3& in, Covariance3& out) {
    // Cholesky C = G Gᵀ, then C⁻¹ = G⁻ᵀ G⁻¹.
    double g[3][3] = {};
    for (int j = 0; j < 3; ++j) {
        double d = in.c[j][j];
        for (int k = 0; k < j; ++k)
            d -= g[j][k] * g[j][k];
        if (!(d > 0.0))
            return false;
        g[j][j] = std::sqrt(d);
        for (int i = j + 1; i < 3; ++i) {
            double s = in.c[i][j];
            for (int k = 0; k < j; ++k)
                s -= g[i][k] * g[j][k];
            g[i][j] = s / g[j][j];
        }
    }
    double inv[3][3] = {}; // G⁻¹, lower triangular
    for (int j = 0; j < 3; ++j) {
        inv[j][j] = 1.0 / g[j][j];
        for (int i = j + 1; i < 3; ++i) {
            double s = 0.0;
            for (int k = j; k < i; ++k)
                s -= g[i][k] * inv[k][j];
            inv[i][j] = s / g[i][i];
        }
    }
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            double s = 0.0;
            for (int k = std::max(r, c); k < 3; ++k)
                s += inv[k][r] * inv[k][c];
            out.c[r][c] = s;
        }
    return true;
}

} // namespace Tavex
