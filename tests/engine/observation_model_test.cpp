#include "engine/observation_model.h"
#include "geodesy/ellipsoid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace Tavex {
namespace {

const CEllipsoid kGrs80(2);
const EllipsoidConstants kConstants{kGrs80.dGetSemiMajAx(), kGrs80.dGetEccentrSq()};

StationGeometry Station(double latDeg, double lonDeg, double h) {
    return StationGeometry::At(kGrs80, latDeg * M_PI / 180.0, lonDeg * M_PI / 180.0, h);
}

// The station moved by a metric displacement in its own horizon, exactly as
// corrections are applied.
StationGeometry Moved(const StationGeometry& g, int component, double metres) {
    double lat = g.lat, lon = g.lon, h = g.h;
    if (component == 0)
        lat += metres / g.NorthScale();
    else if (component == 1)
        lon += metres / g.EastScale();
    else
        h += metres;
    return StationGeometry::At(kGrs80, lat, lon, h);
}

struct Case {
    ObservationRow row;
    RowParameters parameters;
};

// Central differences of the model's value against its analytic
// derivatives, for both stations' displacements and the row's parameters.
void ExpectDerivativesMatch(const Case& c, const StationGeometry& from, const StationGeometry& to) {
    RowGeometryInput input;
    input.from = &from;
    input.to = c.row.to ? &to : nullptr;
    input.instrumentHeight = 1.55;
    input.targetHeight = 1.3;
    const RowEvaluation analytic = EvaluateRow(c.row, input, c.parameters, kConstants);
    const auto value = [&](const StationGeometry& f, const StationGeometry& t,
                           const RowParameters& p) {
        RowGeometryInput moved = input;
        moved.from = &f;
        moved.to = c.row.to ? &t : nullptr;
        return EvaluateRow(c.row, moved, p, kConstants).value;
    };
    // Geocentric coordinates carry about 1e-9 m of rounding, so the steps are
    // long and Richardson's extrapolation of two central differences removes
    // the truncation error instead.
    const auto difference = [](const std::function<double(double)>& f) {
        const double h = 1.0;
        const double wide = (f(h) - f(-h)) / (2 * h);
        const double narrow = (f(h / 2) - f(-h / 2)) / h;
        return (4 * narrow - wide) / 3;
    };
    // The rounding of the geocentric coordinates, about 3e-9 m, bounds what
    // the differences can resolve: that much for lengths, that much over the
    // line's length for angles.
    const bool angle =
        c.row.kind == ROW_DIRECTION || c.row.kind == ROW_AZIMUTH || c.row.kind == ROW_ZENITH;
    const double floor = angle ? 5e-12 : 3e-9;
    for (int k = 0; k < 3; ++k) {
        const double dFrom =
            difference([&](double m) { return value(Moved(from, k, m), to, c.parameters); });
        EXPECT_NEAR(analytic.from[k], dFrom, 1e-7 * std::abs(dFrom) + floor)
            << "row kind " << c.row.kind << " from component " << k;
        if (c.row.to) {
            const double dTo =
                difference([&](double m) { return value(from, Moved(to, k, m), c.parameters); });
            EXPECT_NEAR(analytic.to[k], dTo, 1e-7 * std::abs(dTo) + floor)
                << "row kind " << c.row.kind << " to component " << k;
        }
    }
    const auto parameterDifference = [&](std::function<void(RowParameters&, double)> set,
                                         double h) {
        RowParameters plus = c.parameters, minus = c.parameters;
        set(plus, h);
        set(minus, -h);
        return (value(from, to, plus) - value(from, to, minus)) / (2 * h);
    };
    switch (c.row.kind) {
    case ROW_DIRECTION:
        EXPECT_NEAR(
            analytic.parameter,
            parameterDifference([](RowParameters& p, double h) { p.orientation += h; }, 1e-6),
            1e-6);
        break;
    case ROW_DISTANCE:
        EXPECT_NEAR(analytic.parameter,
                    parameterDifference([](RowParameters& p, double h) { p.scale += h; }, 1e-7),
                    1e-3);
        break;
    case ROW_ZENITH:
        EXPECT_NEAR(
            analytic.parameter,
            parameterDifference([](RowParameters& p, double h) { p.refraction += h; }, 1e-4), 1e-9);
        break;
    case ROW_AZIMUTH:
        EXPECT_NEAR(
            analytic.parameter,
            parameterDifference([](RowParameters& p, double h) { p.azimuthOffset += h; }, 1e-6),
            1e-6);
        break;
    case ROW_GPS_BASELINE:
    case ROW_GPS_COORDINATE:
        for (int sub = 1; sub <= kGpsParameters; ++sub) {
            const double h = sub >= GPS_TRANSLATION_X ? 1e-3 : 1e-8;
            const double numeric =
                parameterDifference([sub](RowParameters& p, double d) { p.gps[sub] += d; }, h);
            EXPECT_NEAR(analytic.gps[sub], numeric, 1e-6 * (std::abs(numeric) + 1.0))
                << "GPS parameter " << sub;
        }
        break;
    default:
        break;
    }
}

ObservationRow Row(std::uint16_t kind, std::uint16_t sub = 0, std::uint32_t auxiliary = 0,
                   bool twoStations = true) {
    ObservationRow row;
    row.kind = kind;
    row.sub = sub;
    row.auxiliary = auxiliary;
    row.from = 1;
    row.to = twoStations ? 2 : 0;
    return row;
}

TEST(ObservationModel, AnalyticDerivativesAgreeWithCentralDifferences) {
    const StationGeometry a = Station(52.1, 5.2, 12.0);
    const std::pair<StationGeometry, StationGeometry> lines[] = {
        {a, Station(52.104, 5.207, 48.5)}, // about 650 m north-east, uphill
        {a, Station(52.05, 5.15, -3.0)},   // about 6.6 km south-west
        {Station(-33.9, 151.2, 80.0), Station(-33.905, 151.199, 20.0)},
    };
    RowParameters parameters;
    parameters.orientation = 1.234;
    parameters.scale = 1.00002;
    parameters.refraction = 0.13;
    parameters.azimuthOffset = 0.0001;
    for (int sub = 1; sub <= kGpsParameters; ++sub)
        parameters.gps[sub] = sub == GPS_SCALE ? 3e-6 : (sub >= GPS_TRANSLATION_X ? 0.8 : 2e-6);
    const Case cases[] = {
        {Row(ROW_DIRECTION), parameters},
        {Row(ROW_AZIMUTH), parameters},
        {Row(ROW_DISTANCE, 0, DISTANCE_SLANT), parameters},
        {Row(ROW_DISTANCE, 0, DISTANCE_HORIZONTAL), parameters},
        {Row(ROW_DISTANCE, 0, DISTANCE_REDUCED), parameters},
        {Row(ROW_RELATION, 11), parameters},
        {Row(ROW_ZENITH), parameters},
        {Row(ROW_HEIGHT_DIFFERENCE), parameters},
        {Row(ROW_TRIG_HEIGHT), parameters},
        {Row(ROW_GPS_BASELINE, 0), parameters},
        {Row(ROW_GPS_BASELINE, 1), parameters},
        {Row(ROW_GPS_BASELINE, 2), parameters},
        {Row(ROW_GPS_COORDINATE, 0, 0, false), parameters},
        {Row(ROW_GPS_COORDINATE, 2, 0, false), parameters},
    };
    for (const auto& [from, to] : lines)
        for (const Case& c : cases)
            ExpectDerivativesMatch(c, from, to);
}

TEST(ObservationModel, ValuesFollowTheirDefinitions) {
    // A point 1000 m due north and 20 m higher, by geocentric construction.
    const StationGeometry a = Station(45.0, 10.0, 100.0);
    double xa, ya, za;
    kGrs80.EllToXYZ(a.lat, a.lon, a.h, xa, ya, za);
    const double north[3] = {-a.sinLat * a.cosLon, -a.sinLat * a.sinLon, a.cosLat};
    const double up[3] = {a.cosLat * a.cosLon, a.cosLat * a.sinLon, a.sinLat};
    const double x = xa + 1000 * north[0] + 20 * up[0];
    const double y = ya + 1000 * north[1] + 20 * up[1];
    const double z = za + 1000 * north[2] + 20 * up[2];
    double lat, lon, h;
    kGrs80.XYZToEll(x, y, z, lat, lon, h);
    const StationGeometry b = StationGeometry::At(kGrs80, lat, lon, h);
    RowGeometryInput input;
    input.from = &a;
    input.to = &b;
    RowParameters p;
    p.refraction = 0.0;
    const auto value = [&](const ObservationRow& row) {
        return EvaluateRow(row, input, p, kConstants).value;
    };
    EXPECT_NEAR(std::remainder(value(Row(ROW_DIRECTION)), 2 * M_PI), 0.0, 5e-12);
    EXPECT_NEAR(value(Row(ROW_DISTANCE, 0, DISTANCE_SLANT)), std::hypot(1000.0, 20.0), 1e-8);
    EXPECT_NEAR(value(Row(ROW_ZENITH)), std::atan2(1000.0, 20.0), 5e-12);
    EXPECT_NEAR(value(Row(ROW_GPS_BASELINE, 2)), z - za, 1e-8);
    p.orientation = 0.5;
    EXPECT_NEAR(value(Row(ROW_DIRECTION)), 2 * M_PI - 0.5, 1e-12) << "brought into [0, 2π)";
    p.scale = 1.0001;
    EXPECT_NEAR(value(Row(ROW_DISTANCE, 0, DISTANCE_SLANT)), std::hypot(1000.0, 20.0) / 1.0001,
                1e-8);
    p.refraction = 0.13;
    EXPECT_NEAR(value(Row(ROW_ZENITH)),
                std::atan2(1000.0, 20.0) - 0.13 * std::hypot(1000.0, 20.0) / (2 * 6371000.0),
                5e-12);
}

TEST(ObservationModel, GpsTransformationRotatesAndScalesTheNetworksVectors) {
    const StationGeometry a = Station(10.0, 20.0, 0.0);
    const StationGeometry b = Station(10.01, 20.02, 0.0);
    RowGeometryInput input;
    input.from = &a;
    input.to = &b;
    double xa, ya, za, xb, yb, zb;
    kGrs80.EllToXYZ(a.lat, a.lon, a.h, xa, ya, za);
    kGrs80.EllToXYZ(b.lat, b.lon, b.h, xb, yb, zb);
    const double d[3] = {xb - xa, yb - ya, zb - za};
    RowParameters p;
    p.gps[GPS_ROTATION_Z] = 1e-5;
    p.gps[GPS_SCALE] = 2e-6;
    // x_GPS = (1 + μ)(x + ε × x): about Z, x gains −εz·y and y gains εz·x.
    const double expectedX = (1 + 2e-6) * (d[0] - 1e-5 * d[1]);
    const double expectedY = (1 + 2e-6) * (d[1] + 1e-5 * d[0]);
    EXPECT_NEAR(EvaluateRow(Row(ROW_GPS_BASELINE, 0), input, p, kConstants).value, expectedX, 1e-8);
    EXPECT_NEAR(EvaluateRow(Row(ROW_GPS_BASELINE, 1), input, p, kConstants).value, expectedY, 1e-8);
    p.gps[GPS_TRANSLATION_Y] = 12.5;
    EXPECT_NEAR(EvaluateRow(Row(ROW_GPS_BASELINE, 1), input, p, kConstants).value, expectedY, 1e-8)
        << "translations cancel in a baseline";
    EXPECT_NEAR(EvaluateRow(Row(ROW_GPS_COORDINATE, 1, 0, false), input, p, kConstants).value,
                (1 + 2e-6) * (ya + 1e-5 * xa) + 12.5, 1e-6);
}

TEST(ObservationModel, ReductionsOfSlantDistances) {
    // With no refraction and R → ∞ the reduction is s sin z.
    const ReducedDistance flat = ReduceToHorizontal(1000.0, 1.5, 1.0, 6371000.0);
    EXPECT_NEAR(flat.value, 1000.0 * std::sin(1.5), 1e-9);
    const ReducedDistance r = ReduceToHorizontal(1000.0, 1.5, 0.13, 6371000.0);
    const double h = 1e-4;
    EXPECT_NEAR(r.dS,
                (ReduceToHorizontal(1000.0 + h, 1.5, 0.13, 6371000.0).value -
                 ReduceToHorizontal(1000.0 - h, 1.5, 0.13, 6371000.0).value) /
                    (2 * h),
                1e-8);
    EXPECT_NEAR(r.dZ,
                (ReduceToHorizontal(1000.0, 1.5 + 1e-7, 0.13, 6371000.0).value -
                 ReduceToHorizontal(1000.0, 1.5 - 1e-7, 0.13, 6371000.0).value) /
                    2e-7,
                1e-4);
    const ReducedDistance t = TrigonometricHeight(500.0, 1.55, 0.13, 6371000.0, 1.6, 1.4);
    EXPECT_NEAR(t.value,
                500 * std::cos(1.55) + 0.87 * std::pow(500 * std::sin(1.55), 2) / (2 * 6371000.0) +
                    0.2,
                1e-9);
}

} // namespace
} // namespace Tavex
