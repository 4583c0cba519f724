#include "network_generator.h"

#include <Eigen/Dense>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <utility>

namespace TavexBench {

namespace {

// Standard deviations of the readings.
constexpr double kDistanceSigmaAbsolute = 0.002;                      // metres
constexpr double kDistanceSigmaRelative = 2e-6;                       // 2 ppm
constexpr double kDirectionSigma = 0.3e-3 * std::numbers::pi / 200.0; // 0.3 mgon in radians
constexpr double kBaselineSigma = 0.003;                              // metres, per component
constexpr double kBaselineSigmaSpread = 0.2;                          // sigmas vary by ±20 %
constexpr double kBaselineCorrelation = 0.3;                          // |correlations| up to this
constexpr double kJitter = 0.2 * kGridSpacing; // station offset from its grid node
// Where the GPS network lies, and the radius that spreads it over the globe.
constexpr double kLatitude = 30.0 * std::numbers::pi / 180.0;
constexpr double kLongitude = 114.0 * std::numbers::pi / 180.0;
constexpr double kEarthRadius = 6371000.0; // metres

struct Point {
    double north = 0.0, east = 0.0, height = 0.0;
};

// The stations on the jittered grid, row by row; station s is element s.
struct Grid {
    unsigned stations = 0;
    unsigned columns = 0;
    std::vector<Point> points;

    // Station number of grid node (row, column), 0 when there is none.
    unsigned At(unsigned row, unsigned column) const {
        if (column >= columns)
            return 0;
        const unsigned s = row * columns + column + 1;
        return s <= stations ? s : 0;
    }
    unsigned Row(unsigned s) const { return (s - 1) / columns; }
    unsigned Column(unsigned s) const { return (s - 1) % columns; }

    // The east, north and north-east neighbours: the lines that start at s.
    std::vector<unsigned> ForwardNeighbours(unsigned s) const {
        std::vector<unsigned> result;
        const unsigned r = Row(s), c = Column(s);
        for (unsigned t : {At(r, c + 1), At(r + 1, c), At(r + 1, c + 1)})
            if (t != 0)
                result.push_back(t);
        return result;
    }
    // Every neighbour of s (up to six).
    std::vector<unsigned> AllNeighbours(unsigned s) const {
        std::vector<unsigned> result = ForwardNeighbours(s);
        const unsigned r = Row(s), c = Column(s);
        if (c > 0)
            result.push_back(At(r, c - 1));
        if (r > 0) {
            result.push_back(At(r - 1, c));
            if (c > 0)
                result.push_back(At(r - 1, c - 1));
        }
        return result;
    }
};

Grid JitteredGrid(unsigned stations, std::mt19937& rng) {
    std::uniform_real_distribution<double> jitter(-kJitter, kJitter);
    std::uniform_real_distribution<double> height(50.0, 500.0);
    Grid grid;
    grid.stations = stations;
    grid.columns = static_cast<unsigned>(std::ceil(std::sqrt(static_cast<double>(stations))));
    grid.points.resize(stations + 1);
    for (unsigned s = 1; s <= stations; ++s) {
        Point& p = grid.points[s];
        p.north = grid.Row(s) * kGridSpacing + jitter(rng);
        p.east = grid.Column(s) * kGridSpacing + jitter(rng);
        p.height = height(rng);
    }
    return grid;
}

// Grid bearing from a to b, clockwise from north, in radians.
double Bearing(const Point& a, const Point& b) {
    return std::atan2(b.east - a.east, b.north - a.north);
}

void AddSingleWeight(Network& network, double sigma, double reduced) {
    network.blockSize.push_back(1);
    network.blockWeights.push_back(1.0 / (sigma * sigma));
    network.l.push_back(reduced);
}

// A coordinate pseudo-observation of the datum: d(row)/d(unknown) = 1.
void AddPseudoObservation(Network& network, unsigned station, unsigned component) {
    ObservationRow row;
    row.from = row.to = station;
    row.terms[row.termCount++] = {station, component, 1.0};
    network.rows.push_back(row);
    network.blockSize.push_back(1);
    network.blockWeights.push_back(kPseudoObservationWeight);
    network.l.push_back(0.0);
}

// Direction from i to t: r = t(i, t) − o(i), with the grid bearing
// t = atan2(ΔE, ΔN), so dt/dN(t) = −ΔE/d², dt/dE(t) = ΔN/d² and the opposite
// signs at i; −1 on the orientation unknown of i's set.
ObservationRow DirectionRow(const Grid& grid, unsigned i, unsigned t) {
    const Point& a = grid.points[i];
    const Point& b = grid.points[t];
    const double dn = b.north - a.north, de = b.east - a.east;
    const double d2 = dn * dn + de * de;
    ObservationRow row;
    row.from = i;
    row.to = t;
    row.terms = {{{i, kNorth, de / d2},
                  {i, kEast, -dn / d2},
                  {i, kThird, -1.0},
                  {t, kNorth, -de / d2},
                  {t, kEast, dn / d2}}};
    row.termCount = 5;
    return row;
}

// Distance from i to t as a relative observation: (dd/dx) / d with
// dd/dN(t) = ΔN/d, dd/dE(t) = ΔE/d and the opposite signs at i.
ObservationRow DistanceRow(const Grid& grid, unsigned i, unsigned t, double& length) {
    const Point& a = grid.points[i];
    const Point& b = grid.points[t];
    const double dn = b.north - a.north, de = b.east - a.east;
    const double d2 = dn * dn + de * de;
    length = std::sqrt(d2);
    ObservationRow row;
    row.from = i;
    row.to = t;
    row.terms = {
        {{i, kNorth, -dn / d2}, {i, kEast, -de / d2}, {t, kNorth, dn / d2}, {t, kEast, de / d2}}};
    row.termCount = 4;
    return row;
}

// Each station: its direction set (every neighbour, clockwise from north),
// then the distances of the lines that start at it. Stations 1 and n carry
// the datum.
void TriangulationRows(const Grid& grid, std::mt19937& rng, Network& network) {
    std::normal_distribution<double> unit(0.0, 1.0);
    for (unsigned s = 1; s <= grid.stations; ++s) {
        std::vector<unsigned> targets = grid.AllNeighbours(s);
        const Point& here = grid.points[s];
        // Clockwise from north, as the set is observed.
        const auto clockwise = [&](unsigned t) {
            const double bearing = Bearing(here, grid.points[t]);
            return bearing < 0.0 ? bearing + 2.0 * std::numbers::pi : bearing;
        };
        std::sort(targets.begin(), targets.end(),
                  [&](unsigned a, unsigned b) { return clockwise(a) < clockwise(b); });
        for (unsigned t : targets) {
            network.rows.push_back(DirectionRow(grid, s, t));
            AddSingleWeight(network, kDirectionSigma, kDirectionSigma * unit(rng));
        }
        for (unsigned t : grid.ForwardNeighbours(s)) {
            double length = 0.0;
            network.rows.push_back(DistanceRow(grid, s, t, length));
            // σ = 2 mm + 2 ppm, relative to the length like the row.
            const double sigma =
                (kDistanceSigmaAbsolute + kDistanceSigmaRelative * length) / length;
            AddSingleWeight(network, sigma, sigma * unit(rng));
        }
    }
    for (unsigned s : {1u, grid.stations}) {
        AddPseudoObservation(network, s, kNorth);
        AddPseudoObservation(network, s, kEast);
    }
}

// Unit vectors of a station's north, east and up directions in geocentric
// X, Y, Z: n = (−sinφ cosλ, −sinφ sinλ, cosφ), e = (−sinλ, cosλ, 0),
// u = (cosφ cosλ, cosφ sinλ, sinφ).
Eigen::Matrix3d LocalAxes(const Point& p) {
    const double phi = kLatitude + p.north / kEarthRadius;
    const double lambda = kLongitude + p.east / (kEarthRadius * std::cos(kLatitude));
    const double sp = std::sin(phi), cp = std::cos(phi);
    const double sl = std::sin(lambda), cl = std::cos(lambda);
    Eigen::Matrix3d axes;           // columns: north, east, up
    axes << -sp * cl, -sl, cp * cl, //
        -sp * sl, cl, cp * sl,      //
        cp, 0.0, sp;
    return axes;
}

// A baseline's covariance: sigmas around kBaselineSigma, correlations up to
// kBaselineCorrelation (positive definite, as a diagonally dominant
// correlation matrix is).
Eigen::Matrix3d BaselineCovariance(std::mt19937& rng) {
    std::uniform_real_distribution<double> spread(1.0 - kBaselineSigmaSpread,
                                                  1.0 + kBaselineSigmaSpread);
    std::uniform_real_distribution<double> correlation(-kBaselineCorrelation, kBaselineCorrelation);
    const Eigen::Vector3d sigma(kBaselineSigma * spread(rng), kBaselineSigma * spread(rng),
                                kBaselineSigma * spread(rng));
    Eigen::Matrix3d r = Eigen::Matrix3d::Identity();
    r(1, 0) = r(0, 1) = correlation(rng);
    r(2, 0) = r(0, 2) = correlation(rng);
    r(2, 1) = r(1, 2) = correlation(rng);
    return sigma.asDiagonal() * r * sigma.asDiagonal();
}

// Each station: the baselines of the lines that start at it, three rows
// ΔX, ΔY, ΔZ each, d(ΔX)/d(north of t) = n_X(t) and so on, the opposite at
// i. Station 1 carries the datum.
void GpsRows(const Grid& grid, std::mt19937& rng, Network& network) {
    std::normal_distribution<double> unit(0.0, 1.0);
    std::vector<Eigen::Matrix3d> axes(grid.stations + 1);
    for (unsigned s = 1; s <= grid.stations; ++s)
        axes[s] = LocalAxes(grid.points[s]);
    for (unsigned s = 1; s <= grid.stations; ++s)
        for (unsigned t : grid.ForwardNeighbours(s)) {
            for (int xyz = 0; xyz < 3; ++xyz) {
                ObservationRow row;
                row.from = s;
                row.to = t;
                for (unsigned c = 0; c < kUnknownsPerStation; ++c) {
                    // The east axis has no Z component: no entry.
                    if (axes[s](xyz, c) != 0.0)
                        row.terms[row.termCount++] = {s, c, -axes[s](xyz, c)};
                    if (axes[t](xyz, c) != 0.0)
                        row.terms[row.termCount++] = {t, c, axes[t](xyz, c)};
                }
                network.rows.push_back(row);
            }
            const Eigen::Matrix3d covariance = BaselineCovariance(rng);
            const Eigen::Matrix3d weight = covariance.inverse();
            const Eigen::Vector3d noise =
                covariance.llt().matrixL() * Eigen::Vector3d(unit(rng), unit(rng), unit(rng));
            network.blockSize.push_back(3);
            for (int r = 0; r < 3; ++r) {
                for (int c = 0; c < 3; ++c)
                    network.blockWeights.push_back(weight(r, c));
                network.l.push_back(noise(r));
            }
        }
    for (unsigned c = 0; c < kUnknownsPerStation; ++c)
        AddPseudoObservation(network, 1, c);
}

} // namespace

Network GenerateNetwork(NetworkKind kind, unsigned stations, std::uint32_t seed) {
    std::mt19937 rng(seed);
    const Grid grid = JitteredGrid(std::max(stations, 4u), rng);
    Network network;
    network.kind = kind;
    network.stations = grid.stations;
    if (kind == NetworkKind::Triangulation2D)
        TriangulationRows(grid, rng, network);
    else
        GpsRows(grid, rng, network);
    return network;
}

std::vector<Tavex::StationPair> RowStations(const Network& network) {
    std::vector<Tavex::StationPair> pairs;
    pairs.reserve(network.rows.size());
    for (const ObservationRow& row : network.rows)
        pairs.emplace_back(row.from, row.to);
    return pairs;
}

Tavex::StationOrder InputOrder(const Network& network) {
    std::vector<unsigned> stations(network.stations);
    for (unsigned s = 1; s <= network.stations; ++s)
        stations[s - 1] = s;
    return Tavex::StationOrder::FromStations(stations, network.stations);
}

Tavex::LinearSystem LayOut(const Network& network, const Tavex::StationOrder& order) {
    const std::size_t m = network.rows.size();
    const std::size_t u = std::size_t{kUnknownsPerStation} * network.stations;
    Tavex::LinearSystem system;

    // A by observation row, each row's unknowns ascending.
    Tavex::CompressedRowsBuilder a(m, u, m * 6);
    std::vector<std::pair<std::uint32_t, double>> entries;
    for (const ObservationRow& row : network.rows) {
        entries.clear();
        for (unsigned t = 0; t < row.termCount; ++t) {
            const Term& term = row.terms[t];
            entries.emplace_back(UnknownNumber(order.positionOf[term.station], term.component),
                                 term.coefficient);
        }
        std::sort(entries.begin(), entries.end());
        for (const auto& [unknown, coefficient] : entries)
            a.Append(unknown, coefficient);
        a.EndRow();
    }
    system.A = a.Finish();
    system.At = Tavex::Transpose(system.A);

    // P from its diagonal blocks.
    Tavex::CompressedRowsBuilder p(m, m, network.blockWeights.size());
    std::size_t first = 1, element = 0;
    for (unsigned size : network.blockSize) {
        for (unsigned r = 0; r < size; ++r) {
            for (unsigned c = 0; c < size; ++c)
                p.Append(static_cast<std::uint32_t>(first + c), network.blockWeights[element++]);
            p.EndRow();
        }
        first += size;
    }
    system.P = p.Finish();

    system.l.assign(m + 1, 0.0);
    std::copy(network.l.begin(), network.l.end(), system.l.begin() + 1);
    return system;
}

} // namespace TavexBench
