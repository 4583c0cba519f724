#include "support/synthetic_network.h"

#include "geodesy/ellipsoid.h"
#include "geodesy/projection_factory.h"

#include <cmath>
#include <cstring>
#include <memory>

namespace TavexTest {

namespace {

// The ellipsoid the truth is computed on; it follows the project's.
Tavex::CEllipsoid& Ellipsoid() {
    static Tavex::CEllipsoid ellipsoid(Tavex::ELLIPSOID_GRS80);
    return ellipsoid;
}

struct Frame {
    double n[3], e[3], u[3];
};

Frame FrameAt(double lat, double lon) {
    const double sp = std::sin(lat), cp = std::cos(lat), sl = std::sin(lon), cl = std::cos(lon);
    return {{-sp * cl, -sp * sl, cp}, {-sl, cl, 0.0}, {cp * cl, cp * sl, sp}};
}

std::array<double, 3> Geocentric(const TrueStation& t, double alongUp) {
    double x, y, z;
    Ellipsoid().EllToXYZ(t.lat, t.lon, t.h, x, y, z);
    const Frame f = FrameAt(t.lat, t.lon);
    return {x + alongUp * f.u[0], y + alongUp * f.u[1], z + alongUp * f.u[2]};
}

double Dot(const double* a, const std::array<double, 3>& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

double Wrap(double a) {
    a = std::fmod(a, 2 * M_PI);
    return a < 0 ? a + 2 * M_PI : a;
}

} // namespace

void SyntheticNetwork::SetEllipsoid(int code) {
    ellipsoidCode_ = code;
    settings_->Ellipsoid = code;
    Ellipsoid() = Tavex::CEllipsoid(code);
}

SyntheticNetwork::SyntheticNetwork() : observations_(1) {
    Ellipsoid() = Tavex::CEllipsoid(Tavex::ELLIPSOID_GRS80);
    FillDefaultSettings(*settings_);
    std::memset(static_cast<void*>(observations_.data()), 0, sizeof(Tavex::_OBSERVATION));
    settings_->Dimension = 2;
    settings_->IterMax = 10;
    settings_->Epsilon = 1e-5;
    for (int g = 0; g < 10; ++g) {
        settings_->ScaleFactor[g] = 1.0;
        settings_->RefractionCoef[g] = kRefraction;
    }
}

unsigned SyntheticNetwork::AddStation(const std::string& name, double latDeg, double lonDeg,
                                      double h) {
    truth_.push_back({name, latDeg * M_PI / 180.0, lonDeg * M_PI / 180.0, h});
    Tavex::_STATIONADJ r;
    std::memset(&r, 0, sizeof r);
    std::memcpy(r.Name, name.data(), std::min<std::size_t>(name.size(), 16));
    r.CoordFlags = 0x10 | 0x02;
    r.Presence = 0x03 | 0x08;
    r.Coord1 = truth_.back().lat;
    r.Coord2 = truth_.back().lon;
    r.Height = h;
    stations_.push_back(r);
    return static_cast<unsigned>(truth_.size());
}

unsigned SyntheticNetwork::AddGridStation(const std::string& name, double easting, double northing,
                                          double h) {
    grid_ = true;
    settings_->Projection = Tavex::PROJECTION_LOCAL_STEREOGRAPHIC;
    const unsigned s = AddStation(name, 0.0, 0.0, h);
    trueGrid_.resize(s);
    trueGrid_[s - 1] = {easting, northing};
    Tavex::_STATIONADJ& r = stations_[s - 1];
    r.CoordFlags = 0x20 | 0x02;
    r.Coord1 = easting;
    r.Coord2 = northing;
    return s;
}

void SyntheticNetwork::FixGrid() {
    // The kernel centres the projection on the mean grid position of the
    // known stations with a known position.
    double e = 0, n = 0;
    unsigned count = 0;
    for (std::size_t k = 0; k < stations_.size(); ++k)
        if (stations_[k].CoordStatus == 8 && stations_[k].CoordClass != 10) {
            e += trueGrid_[k][0];
            n += trueGrid_[k][1];
            ++count;
        }
    auto projection = Tavex::pGetNewProjection(Tavex::PROJECTION_LOCAL_STEREOGRAPHIC, 0, 0, 0, 0,
                                               1.0, n / count, e / count, &Ellipsoid());
    for (std::size_t k = 0; k < truth_.size(); ++k)
        projection->XYToLatLon(&truth_[k].lat, &truth_[k].lon, trueGrid_[k][0], trueGrid_[k][1]);
}

void SyntheticNetwork::MakeKnown(unsigned s, int coordClass, double sdHorizontal, double sdHeight) {
    Tavex::_STATIONADJ& r = stations_[s - 1];
    r.CoordStatus = 8;
    r.CoordClass = coordClass;
    r.CovScale = 1.0;
    r.Cov[0] = r.Cov[3] = sdHorizontal * sdHorizontal;
    r.Cov[5] = sdHeight * sdHeight;
}

void SyntheticNetwork::Shift(unsigned s, double north, double east, double up) {
    Tavex::_STATIONADJ& r = stations_[s - 1];
    if (grid_) {
        r.Coord1 += east;
        r.Coord2 += north;
    } else {
        const TrueStation& t = truth_[s - 1];
        r.Coord1 += north / (Ellipsoid().dMRadCurv(t.lat) + t.h);
        r.Coord2 += east / ((Ellipsoid().dNRadCurv(t.lat) + t.h) * std::cos(t.lat));
    }
    r.Height += up;
}

void SyntheticNetwork::Perturb(double metres, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> d(-metres, metres);
    for (unsigned s = 1; s <= Count(); ++s)
        if (stations_[s - 1].CoordStatus != 8)
            Shift(s, d(rng), d(rng), d(rng));
}

SyntheticNetwork::Local SyntheticNetwork::Vector(unsigned from, unsigned to, double hi,
                                                 double ht) const {
    const TrueStation& a = truth_[from - 1];
    const std::array<double, 3> pa = Geocentric(a, hi);
    const std::array<double, 3> pb = Geocentric(truth_[to - 1], ht);
    const std::array<double, 3> d = {pb[0] - pa[0], pb[1] - pa[1], pb[2] - pa[2]};
    const Frame f = FrameAt(a.lat, a.lon);
    return {Dot(f.n, d), Dot(f.e, d), Dot(f.u, d),
            std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2])};
}

Tavex::_OBSERVATION& SyntheticNetwork::NewRecord(int kind) {
    observations_.emplace_back();
    Tavex::_OBSERVATION& o = observations_.back();
    std::memset(&o, 0, sizeof o);
    o.Kind = kind;
    return o;
}

void SyntheticNetwork::Direction(unsigned from, unsigned to, unsigned set, double sigma) {
    Tavex::_OBSERVATION& o = NewRecord(4);
    const Local v = Vector(from, to, 0, 0);
    o.K4.Type = 1;
    o.K4.Sub = static_cast<std::uint16_t>(set);
    o.K4.Station = from;
    o.K4.Target = to;
    o.K4.Reading = Wrap(std::atan2(v.e, v.n) - Orientation(from, set));
    o.K4.Precision[0] = sigma;
}

void SyntheticNetwork::Azimuth(unsigned from, unsigned to, unsigned group, double offset,
                               double sigma) {
    Tavex::_OBSERVATION& o = NewRecord(4);
    const Local v = Vector(from, to, 0, 0);
    o.K4.Type = 4;
    o.K4.Sub = static_cast<std::uint16_t>(group);
    o.K4.Station = from;
    o.K4.Target = to;
    o.K4.Reading = Wrap(std::atan2(v.e, v.n) + offset);
    o.K4.Precision[0] = sigma;
}

void SyntheticNetwork::TotalStation(unsigned from, unsigned to, unsigned set, bool direction,
                                    bool distance, bool zenith, double hi, double ht) {
    Tavex::_OBSERVATION& o = NewRecord(100);
    const Local v = Vector(from, to, hi, ht);
    auto& r = o.K100;
    r.Station = from;
    r.Target = to;
    r.StationHeight = hi;
    r.TargetHeight = ht;
    r.Type[0] = 1;
    r.Type[1] = 2;
    r.Type[2] = 3;
    r.Sub[0] = static_cast<std::uint16_t>(set);
    r.Off[0] = direction ? 0 : 1;
    r.Off[1] = distance ? 0 : 1;
    r.Off[2] = zenith ? 0 : 1;
    r.Reading[0] = Wrap(std::atan2(v.e, v.n) - Orientation(from, set));
    r.Reading[2] = std::atan2(std::hypot(v.n, v.e), v.u) - kRefraction * v.slant / (2 * kRadius);
    if (zenith) {
        r.Reading[1] = v.slant; // reduced by the kernel with the zenith angle
    } else {
        // A horizontal distance in the horizon of the line's middle.
        const TrueStation& a = truth_[from - 1];
        const TrueStation& b = truth_[to - 1];
        const Frame fa = FrameAt(a.lat, a.lon), fb = FrameAt(b.lat, b.lon);
        const std::array<double, 3> pa = Geocentric(a, hi), pb = Geocentric(b, ht);
        const std::array<double, 3> d = {pb[0] - pa[0], pb[1] - pa[1], pb[2] - pa[2]};
        double m[3] = {fa.u[0] + fb.u[0], fa.u[1] + fb.u[1], fa.u[2] + fb.u[2]};
        const double norm = std::sqrt(m[0] * m[0] + m[1] * m[1] + m[2] * m[2]);
        const double vertical = Dot(m, d) / norm;
        r.Reading[1] = std::sqrt(v.slant * v.slant - vertical * vertical);
    }
    r.Precision[0] = 1e-5;  // direction: 1e-5 rad
    r.Precision[2] = 0.002; // distance: 2 mm + 2 ppm
    r.Precision[3] = 2e-6;
    r.Precision[4] = 1e-5; // zenith angle
}

void SyntheticNetwork::SlantTotalStation(unsigned from, unsigned to, unsigned set, bool direction) {
    Tavex::_OBSERVATION& o = NewRecord(6);
    const Local v = Vector(from, to, 1.5, 1.3);
    auto& r = o.K6;
    r.Station = from;
    r.Target = to;
    r.StationHeight = 1.5;
    r.TargetHeight = 1.3;
    r.Type[0] = 1;
    r.Type[1] = 2;
    r.Type[2] = 3;
    r.Sub[0] = static_cast<std::uint16_t>(set);
    r.Off[0] = direction ? 0 : 1;
    r.Reading[0] = Wrap(std::atan2(v.e, v.n) - Orientation(from, set));
    r.Reading[1] = v.slant;
    r.Reading[2] = std::atan2(std::hypot(v.n, v.e), v.u) - kRefraction * v.slant / (2 * kRadius);
    r.Precision[0] = 1e-5;
    r.Precision[2] = 0.002;
    r.Precision[3] = 2e-6;
    r.Precision[4] = 1e-5;
}

void SyntheticNetwork::HorizontalDistance(unsigned from, unsigned to, double scale) {
    TotalStation(from, to, 0, false, true, false, 0.0, 0.0);
    observations_.back().K100.Reading[1] /= scale;
}

void SyntheticNetwork::HeightDifference(unsigned from, unsigned to, double sigma) {
    Tavex::_OBSERVATION& o = NewRecord(5);
    o.K5.Type = 5;
    o.K5.Station = from;
    o.K5.Target = to;
    o.K5.Reading = truth_[to - 1].h - truth_[from - 1].h;
    o.K5.Precision[0] = sigma;
}

void SyntheticNetwork::TrigonometricPair(unsigned from, unsigned to, double k) {
    // The zenith angle whose trigonometric height difference
    // s cos z + (1 − k)(s sin z)² / (2R) + hi − ht is the true height
    // difference, found by Newton's method on z.
    const double hi = 1.5, ht = 1.3;
    const Local v = Vector(from, to, hi, ht);
    const double dh = truth_[to - 1].h - truth_[from - 1].h;
    const double s = v.slant;
    double z = std::atan2(std::hypot(v.n, v.e), v.u);
    for (int i = 0; i < 20; ++i) {
        const double c = (1 - k) / (2 * kRadius);
        const double f = s * std::cos(z) + c * std::pow(s * std::sin(z), 2) + hi - ht - dh;
        const double df = -s * std::sin(z) + 2 * c * s * s * std::sin(z) * std::cos(z);
        z -= f / df;
    }
    Tavex::_OBSERVATION& o = NewRecord(100);
    auto& r = o.K100;
    r.Station = from;
    r.Target = to;
    r.StationHeight = hi;
    r.TargetHeight = ht;
    r.Type[0] = 1;
    r.Type[1] = 2;
    r.Type[2] = 3;
    r.Off[0] = 1;
    r.Reading[1] = s;
    r.Reading[2] = z;
    r.Precision[2] = 0.002;
    r.Precision[4] = 1e-5;
}

void SyntheticNetwork::SecondFace() {
    Tavex::_OBSERVATION& o = observations_.back();
    double readings[3];
    if (o.Kind == 100) {
        std::memcpy(readings, o.K100.Reading, sizeof readings);
        readings[2] = 2 * M_PI - readings[2];
        std::memcpy(o.K100.Reading, readings, sizeof readings);
    } else {
        std::memcpy(readings, o.K6.Reading, sizeof readings);
        readings[2] = 2 * M_PI - readings[2];
        std::memcpy(o.K6.Reading, readings, sizeof readings);
    }
}

void SyntheticNetwork::LocalCoordinates(unsigned s, unsigned origin, const LocalSystem& system,
                                        bool plane, bool height, double sigma) {
    const double hi = 0.5;
    const TrueStation& o = truth_[origin - 1];
    // Plane coordinates of the foot point on the ellipsoid; the spatial
    // system takes the instrument point.
    TrueStation foot = truth_[s - 1];
    if (!system.spatial)
        foot.h = 0.0;
    const std::array<double, 3> po = Geocentric(o, 0.0);
    const std::array<double, 3> ps = Geocentric(foot, system.spatial ? hi : 0.0);
    const std::array<double, 3> d = {ps[0] - po[0], ps[1] - po[1], ps[2] - po[2]};
    const Frame f = FrameAt(o.lat, o.lon);
    double t[3] = {Dot(f.e, d), Dot(f.n, d), Dot(f.u, d)};
    double local[3];
    if (system.spatial) {
        // Rx about east, then Ry about north, then Rz about up.
        const double ca = std::cos(system.rotationEast), sa = std::sin(system.rotationEast);
        const double cb = std::cos(system.rotationNorth), sb = std::sin(system.rotationNorth);
        const double cg = std::cos(system.rotation), sg = std::sin(system.rotation);
        const double x1[3] = {t[0], ca * t[1] - sa * t[2], sa * t[1] + ca * t[2]};
        const double x2[3] = {cb * x1[0] + sb * x1[2], x1[1], -sb * x1[0] + cb * x1[2]};
        const double x3[3] = {cg * x2[0] - sg * x2[1], sg * x2[0] + cg * x2[1], x2[2]};
        local[0] = system.shiftEast + system.scale * x3[0];
        local[1] = system.shiftNorth + system.scale * x3[1];
        local[2] = system.shiftUp + system.scale * x3[2];
    } else {
        const double c = std::cos(system.rotation), sn = std::sin(system.rotation);
        local[0] = system.shiftEast + system.scale * (c * t[0] - sn * t[1]);
        local[1] = system.shiftNorth + system.scale * (sn * t[0] + c * t[1]);
        local[2] = truth_[s - 1].h + hi + system.heightShift;
    }
    Tavex::_OBSERVATION& record = NewRecord(7);
    auto& r = record.K7;
    r.Station = s;
    r.StationHeight = hi;
    for (std::uint16_t c = 0; c < 3; ++c) {
        const bool on = c == 2 ? height : plane;
        r.Type[c] = on ? 10 : 0;
        r.Sub[c] = on ? c : 0;
        r.Reading[c] = on ? local[c] : 0.0;
    }
    r.Precision1 = r.Precision3 = r.Precision6 = sigma;
}

void SyntheticNetwork::GpsBaseline(unsigned from, unsigned to, double sigma, bool correlated) {
    Tavex::_OBSERVATION& o = NewRecord(6);
    const std::array<double, 3> a = Geocentric(truth_[from - 1], 0);
    const std::array<double, 3> b = Geocentric(truth_[to - 1], 0);
    auto& r = o.K6;
    r.Station = from;
    r.Target = to;
    for (std::uint16_t c = 0; c < 3; ++c) {
        r.Type[c] = 6;
        r.Sub[c] = c;
        r.Reading[c] = b[c] - a[c];
    }
    r.Precision[0] = r.Precision[2] = r.Precision[5] = sigma;
    r.Precision[1] = correlated ? 0.2 : 0.0;
    r.Precision[3] = correlated ? -0.1 : 0.0;
    r.Precision[4] = correlated ? 0.3 : 0.0;
}

void SyntheticNetwork::GpsCoordinate(unsigned s, double sigma) {
    Tavex::_OBSERVATION& o = NewRecord(7);
    const std::array<double, 3> p = Geocentric(truth_[s - 1], 0);
    auto& r = o.K7;
    r.Station = s;
    for (std::uint16_t c = 0; c < 3; ++c) {
        r.Type[c] = 7;
        r.Sub[c] = c;
        r.Reading[c] = p[c];
    }
    r.Precision1 = r.Precision3 = r.Precision6 = sigma;
}

void SyntheticNetwork::AddNoise(unsigned seed, double angle, double length) {
    std::mt19937 rng(seed);
    std::normal_distribution<double> a(0.0, angle), l(0.0, length);
    for (std::size_t k = 1; k < observations_.size(); ++k) {
        Tavex::_OBSERVATION& o = observations_[k];
        if (o.Kind == 4 || o.Kind == 5) {
            const int type = o.Kind == 4 ? o.K4.Type : o.K5.Type;
            const double noise = (type == 1 || type == 3 || type == 4) ? a(rng) : l(rng);
            if (o.Kind == 4)
                o.K4.Reading += noise;
            else
                o.K5.Reading += noise;
            continue;
        }
        // The readings sit unaligned in the packed record: copy them out.
        void* readingAt = o.Kind == 100 ? static_cast<void*>(o.K100.Reading)
                                        : (o.Kind == 6 ? static_cast<void*>(o.K6.Reading)
                                                       : static_cast<void*>(o.K7.Reading));
        const void* typeAt = o.Kind == 100 ? static_cast<const void*>(o.K100.Type)
                                           : (o.Kind == 6 ? static_cast<const void*>(o.K6.Type)
                                                          : static_cast<const void*>(o.K7.Type));
        double reading[3];
        std::uint16_t type[3];
        std::memcpy(reading, readingAt, sizeof reading);
        std::memcpy(type, typeAt, sizeof type);
        for (int i = 0; i < 3; ++i)
            reading[i] += (type[i] == 1 || type[i] == 3) ? a(rng) : l(rng);
        std::memcpy(readingAt, reading, sizeof reading);
    }
}

void SyntheticNetwork::Load() {
    Tavex::Initialize(*settings_);
    Tavex::SetStations(stations_.data(), Count());
    Tavex::SetObservations(observations_.data(), static_cast<unsigned>(observations_.size() - 1));
}

int SyntheticNetwork::Adjust(Tavex::_STATISTICS& statistics) {
    Load();
    return Tavex::Adjust(statistics, nullptr);
}

std::array<double, 3> SyntheticNetwork::Error(unsigned s) const {
    const TrueStation& t = truth_[s - 1];
    const Tavex::_STATIONADJ& r = stations_[s - 1];
    if (grid_)
        return {r.Coord2 - trueGrid_[s - 1][1], r.Coord1 - trueGrid_[s - 1][0], r.Height - t.h};
    const double M = Ellipsoid().dMRadCurv(t.lat), N = Ellipsoid().dNRadCurv(t.lat);
    return {(r.Coord1 - t.lat) * (M + t.h), (r.Coord2 - t.lon) * (N + t.h) * std::cos(t.lat),
            r.Height - t.h};
}

double SyntheticNetwork::LargestHorizontalError() const {
    double largest = 0;
    for (unsigned s = 1; s <= Count(); ++s) {
        const auto e = Error(s);
        largest = std::max(largest, std::hypot(e[0], e[1]));
    }
    return largest;
}

double SyntheticNetwork::LargestHeightError() const {
    double largest = 0;
    for (unsigned s = 1; s <= Count(); ++s)
        largest = std::max(largest, std::abs(Error(s)[2]));
    return largest;
}

double SyntheticNetwork::GridError(unsigned s) const {
    const auto e = Error(s);
    return std::hypot(e[0], e[1]);
}

std::vector<int> SyntheticNetwork::MessageCodes() {
    std::vector<int> codes;
    for (const Tavex::_MESSAGE& m : settings_->Messages)
        codes.push_back(+m.Code);
    return codes;
}

std::string SyntheticNetwork::AllMessages() {
    std::string all;
    for (const Tavex::_MESSAGE& m : settings_->Messages)
        all += std::to_string(+m.Code) + ": " + m.Text + "\n";
    return all;
}

std::string SyntheticNetwork::MessageText(int code) {
    for (const Tavex::_MESSAGE& m : settings_->Messages)
        if (m.Code == code)
            return m.Text;
    return {};
}

} // namespace TavexTest
