#include "engine/observation_model.h"

#include "engine/dual.h"

#include <cmath>
#include <numbers>

namespace Tavex {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Parameter layout of the dual numbers: the from-station's north, east and
// up displacement, the to-station's, the row's own parameter, then the seven
// GPS parameters.
constexpr int kFrom = 0;
constexpr int kTo = 3;
constexpr int kParameter = 6;
constexpr int kGps = 6; // GPS rows have no own parameter: GPS sub s is kGps + s

template <int N>
struct V3 {
    Dual<N> x, y, z;
};
template <int N>
V3<N> operator-(const V3<N>& a, const V3<N>& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
template <int N>
V3<N> operator+(const V3<N>& a, const V3<N>& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
template <int N>
V3<N> operator*(const Dual<N>& s, const V3<N>& a) {
    return {s * a.x, s * a.y, s * a.z};
}
template <int N>
Dual<N> Dot(const V3<N>& a, const V3<N>& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
template <int N>
V3<N> Cross(const V3<N>& a, const V3<N>& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// A station's latitude, longitude and height as functions of its metric
// displacement (parameters offset .. offset + 2), linear in the displacement
// exactly as corrections are applied: φ + n / (M + h), λ + e / ((N + h) cos φ),
// h + u. offset < 0 gives constants.
template <int N>
struct Place {
    Dual<N> lat, lon, h;
    Dual<N> sinLat, cosLat, sinLon, cosLon;
};

template <int N>
Place<N> PlaceOf(const StationGeometry& g, int offset) {
    Place<N> p;
    p.lat = Dual<N>(g.lat);
    p.lon = Dual<N>(g.lon);
    p.h = Dual<N>(g.h);
    if (offset >= 0) {
        p.lat.d[offset] = 1.0 / g.NorthScale();
        p.lon.d[offset + 1] = 1.0 / g.EastScale();
        p.h.d[offset + 2] = 1.0;
    }
    p.sinLat = sin(p.lat);
    p.cosLat = cos(p.lat);
    p.sinLon = sin(p.lon);
    p.cosLon = cos(p.lon);
    return p;
}

template <int N>
V3<N> Geocentric(const Place<N>& p, const EllipsoidConstants& el) {
    const Dual<N> radius = el.a / sqrt(1.0 - el.e2 * p.sinLat * p.sinLat); // N(φ)
    const Dual<N> r = (radius + p.h) * p.cosLat;
    return {r * p.cosLon, r * p.sinLon, (radius * (1.0 - el.e2) + p.h) * p.sinLat};
}

template <int N>
V3<N> North(const Place<N>& p) {
    return {-(p.sinLat * p.cosLon), -(p.sinLat * p.sinLon), p.cosLat};
}
template <int N>
V3<N> East(const Place<N>& p) {
    return {-p.sinLon, p.cosLon, Dual<N>(0.0)};
}
template <int N>
V3<N> Up(const Place<N>& p) {
    return {p.cosLat * p.cosLon, p.cosLat * p.sinLon, p.sinLat};
}

// Everything a terrestrial row is computed from.
template <int N>
struct LineGeometry {
    Place<N> from, to;
    V3<N> d;         // instrument point to target point, geocentric
    Dual<N> n, e, u; // d in the from-station's horizon
};

template <int N>
LineGeometry<N> Line(const RowGeometryInput& in, const EllipsoidConstants& el) {
    LineGeometry<N> g;
    g.from = PlaceOf<N>(*in.from, kFrom);
    g.to = PlaceOf<N>(*in.to, kTo);
    const V3<N> instrument = Geocentric(g.from, el) + Dual<N>(in.instrumentHeight) * Up(g.from);
    const V3<N> target = Geocentric(g.to, el) + Dual<N>(in.targetHeight) * Up(g.to);
    g.d = target - instrument;
    g.n = Dot(g.d, North(g.from));
    g.e = Dot(g.d, East(g.from));
    g.u = Dot(g.d, Up(g.from));
    return g;
}

double NormalisedAngle(double a) {
    a = std::fmod(a, kTwoPi);
    return a < 0.0 ? a + kTwoPi : a;
}

template <int N>
void Store(const Dual<N>& f, bool hasTo, RowEvaluation& out) {
    out.value = f.v;
    for (int i = 0; i < 3; ++i) {
        out.from[i] = f.d[kFrom + i];
        out.to[i] = hasTo ? f.d[kTo + i] : 0.0;
    }
}

// The horizontal part of d, perpendicular to the mean up direction of both
// stations.
template <int N>
Dual<N> HorizontalLength(const LineGeometry<N>& g) {
    const V3<N> sum = Up(g.from) + Up(g.to);
    const Dual<N> vertical = Dot(g.d, sum) / sqrt(Dot(sum, sum));
    return sqrt(Dot(g.d, g.d) - vertical * vertical);
}

RowEvaluation Terrestrial(const ObservationRow& row, const RowGeometryInput& in,
                          const RowParameters& p, const EllipsoidConstants& el) {
    constexpr int N = 7;
    const LineGeometry<N> g = Line<N>(in, el);
    RowEvaluation out;
    Dual<N> f;
    switch (row.kind) {
    case ROW_DIRECTION: {
        const Dual<N> orientation = Dual<N>::Variable(p.orientation, kParameter);
        f = atan2(g.e, g.n) - orientation;
        f.v = NormalisedAngle(f.v);
        break;
    }
    case ROW_AZIMUTH: {
        const Dual<N> offset = Dual<N>::Variable(p.azimuthOffset, kParameter);
        f = atan2(g.e, g.n) + offset;
        f.v = NormalisedAngle(f.v);
        break;
    }
    case ROW_DISTANCE:
    case ROW_RELATION: {
        const Dual<N> scale = Dual<N>::Variable(p.scale, kParameter);
        const bool horizontal = row.kind == ROW_RELATION || row.IsHorizontalDistance();
        f = (horizontal ? HorizontalLength(g) : sqrt(Dot(g.d, g.d))) / scale;
        break;
    }
    case ROW_ZENITH: {
        const Dual<N> k = Dual<N>::Variable(p.refraction, kParameter);
        const Dual<N> s = sqrt(Dot(g.d, g.d));
        f = atan2(sqrt(g.n * g.n + g.e * g.e), g.u) - k * s / (2.0 * in.meanEarthRadius);
        // A reading in the second face is computed in that face.
        if (in.secondFace)
            f = kTwoPi - f;
        break;
    }
    case ROW_HEIGHT_DIFFERENCE:
        f = (g.to.h + in.targetHeight) - (g.from.h + in.instrumentHeight);
        break;
    case ROW_TRIG_HEIGHT:
        f = g.to.h - g.from.h;
        break;
    default:
        return out;
    }
    Store(f, true, out);
    out.parameter = f.d[kParameter];
    return out;
}

RowEvaluation Gps(const ObservationRow& row, const RowGeometryInput& in, const RowParameters& p,
                  const EllipsoidConstants& el) {
    constexpr int N = kGps + kGpsParameters + 1;
    const bool baseline = row.kind == ROW_GPS_BASELINE;
    const Place<N> from = PlaceOf<N>(*in.from, kFrom);
    V3<N> x = Geocentric(from, el) + Dual<N>(in.instrumentHeight) * Up(from);
    if (baseline) {
        const Place<N> to = PlaceOf<N>(*in.to, kTo);
        x = (Geocentric(to, el) + Dual<N>(in.targetHeight) * Up(to)) - x;
    }
    const auto param = [&](int sub) { return Dual<N>::Variable(p.gps[sub], kGps + sub); };
    const V3<N> rotation = {param(GPS_ROTATION_X), param(GPS_ROTATION_Y), param(GPS_ROTATION_Z)};
    V3<N> y = (1.0 + param(GPS_SCALE)) * (x + Cross(rotation, x));
    if (!baseline)
        y = y + V3<N>{param(GPS_TRANSLATION_X), param(GPS_TRANSLATION_Y), param(GPS_TRANSLATION_Z)};
    const Dual<N>& f = row.sub == 0 ? y.x : (row.sub == 1 ? y.y : y.z);
    RowEvaluation out;
    Store(f, baseline, out);
    for (int sub = 1; sub <= kGpsParameters; ++sub)
        out.gps[sub] = f.d[kGps + sub];
    return out;
}

RowEvaluation LocalCoordinate(const ObservationRow& row, const RowGeometryInput& in,
                              const RowParameters& p, const EllipsoidConstants& el) {
    constexpr int kFirstParameter = 3;
    constexpr int N = kFirstParameter + 7;
    const LocalFrame& frame = *p.local;
    const LocalParameterList list = LocalParameters(frame.type);
    Dual<N> c[kLocalParameterSlots];
    for (int k = 0; k < list.count; ++k)
        c[list.sub[k]] = Dual<N>::Variable(p.localValue[list.sub[k]], kFirstParameter + k);
    const Place<N> at = PlaceOf<N>(*in.from, kFrom);
    // Plane coordinates are those of the station's foot point on the
    // ellipsoid, so that they do not change with height, as a site grid's or
    // a map's do not; the spatial similarity takes the point itself.
    Place<N> foot = at;
    foot.h = Dual<N>(0.0);
    const V3<N> x = frame.type == LOCAL_SPATIAL
                        ? Geocentric(at, el) + Dual<N>(in.instrumentHeight) * Up(at)
                        : Geocentric(foot, el);
    const V3<N> d =
        x - V3<N>{Dual<N>(frame.origin[0]), Dual<N>(frame.origin[1]), Dual<N>(frame.origin[2])};
    const auto axis = [&](int k) {
        return V3<N>{Dual<N>(frame.axis[k][0]), Dual<N>(frame.axis[k][1]),
                     Dual<N>(frame.axis[k][2])};
    };
    const Dual<N> te = Dot(d, axis(0)), tn = Dot(d, axis(1)), tu = Dot(d, axis(2));
    Dual<N> f;
    if (frame.type == LOCAL_SPATIAL) {
        // Rz(c16) Ry(c15) Rx(c14) t, then scale and shift.
        const Dual<N> ca = cos(c[SPATIAL_ROTATION_EAST]), sa = sin(c[SPATIAL_ROTATION_EAST]);
        const Dual<N> cb = cos(c[SPATIAL_ROTATION_NORTH]), sb = sin(c[SPATIAL_ROTATION_NORTH]);
        const Dual<N> cg = cos(c[SPATIAL_ROTATION_UP]), sg = sin(c[SPATIAL_ROTATION_UP]);
        const Dual<N> n1 = ca * tn - sa * tu, u1 = sa * tn + ca * tu; // about east
        const Dual<N> e2 = cb * te + sb * u1, u2 = cb * u1 - sb * te; // about north
        const Dual<N> e3 = cg * e2 - sg * n1, n3 = sg * e2 + cg * n1; // about up
        const Dual<N>& m = c[SPATIAL_SCALE];
        switch (row.sub) {
        case 0:
            f = c[SPATIAL_SHIFT_EAST] + m * e3;
            break;
        case 1:
            f = c[SPATIAL_SHIFT_NORTH] + m * n3;
            break;
        default:
            f = c[SPATIAL_SHIFT_UP] + m * u2;
            break;
        }
    } else if (row.sub == 2) {
        f = at.h + in.instrumentHeight + c[LOCAL_HEIGHT_SHIFT];
    } else {
        const Dual<N> ct = cos(c[LOCAL_ROTATION]), st = sin(c[LOCAL_ROTATION]);
        const Dual<N>& m = c[LOCAL_SCALE];
        f = row.sub == 0 ? c[LOCAL_SHIFT_EAST] + m * (ct * te - st * tn)
                         : c[LOCAL_SHIFT_NORTH] + m * (st * te + ct * tn);
    }
    RowEvaluation out;
    Store(f, false, out);
    for (int k = 0; k < list.count; ++k)
        out.local[list.sub[k]] = f.d[kFirstParameter + k];
    return out;
}

} // namespace

RowEvaluation EvaluateRow(const ObservationRow& row, const RowGeometryInput& input,
                          const RowParameters& parameters, const EllipsoidConstants& ellipsoid) {
    if (row.kind == ROW_GPS_BASELINE || row.kind == ROW_GPS_COORDINATE)
        return Gps(row, input, parameters, ellipsoid);
    if (row.kind == ROW_LOCAL_COORDINATE)
        return LocalCoordinate(row, input, parameters, ellipsoid);
    return Terrestrial(row, input, parameters, ellipsoid);
}

bool IsSecondFace(double zenith) {
    return zenith > std::numbers::pi;
}

double FirstFaceZenith(double zenith) {
    return IsSecondFace(zenith) ? kTwoPi - zenith : zenith;
}

double SlantDistance(const RowGeometryInput& input, const EllipsoidConstants& ellipsoid) {
    const LineGeometry<7> g = Line<7>(input, ellipsoid);
    return std::sqrt(Dot(g.d, g.d).v);
}

ReducedDistance ReduceToHorizontal(double s, double z, double k, double radius) {
    const double c = (1.0 - k) / (2.0 * radius);
    const double angle = z - c * s;
    return {s * std::sin(angle), std::sin(angle) - s * std::cos(angle) * c, s * std::cos(angle)};
}

ReducedDistance TrigonometricHeight(double s, double z, double k, double radius,
                                    double instrumentHeight, double targetHeight) {
    const double c = (1.0 - k) / (2.0 * radius);
    const double horizontal = s * std::sin(z);
    return {s * std::cos(z) + c * horizontal * horizontal + instrumentHeight - targetHeight,
            std::cos(z) + 2.0 * c * horizontal * std::sin(z),
            -s * std::sin(z) + 2.0 * c * horizontal * s * std::cos(z)};
}

} // namespace Tavex
