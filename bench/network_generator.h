// Large synthetic networks for the sparse core's benchmarks: the structure
// and plausible numbers of a 2D triangulation and of a 3D GPS network, laid
// out as the engine lays out a real one.
//
// Stations stand on a jittered square grid (spacing kGridSpacing metres) and
// are listed row by row, west to east, south to north. Each station is
// joined to its east, north and north-east neighbour, so the station graph
// is a triangulation with up to six neighbours per station.
//
// Every station has three unknowns, numbered together in the station order
// the caller gives: north, east and then the third unknown — the orientation
// of the station's direction set in the 2D network, the height in the GPS
// network. Unknown numbers are 1-based like every table of the kernel:
// unknown = 3 (position − 1) + component + 1.
//
// Observation rows are listed as a field book lists them, station by station
// in input order, with the datum pseudo-observations at the end; their order
// does not depend on the station order.
#ifndef TAVEX_BENCH_NETWORK_GENERATOR_H
#define TAVEX_BENCH_NETWORK_GENERATOR_H

#include "engine/linear_system.h"
#include "engine/station_order.h"

#include <array>
#include <cstdint>
#include <vector>

namespace TavexBench {

enum class NetworkKind {
    // North and east per station plus one orientation unknown; a relative
    // distance row per line and a direction row from each end.
    Triangulation2D,
    // North, east and height per station; three geocentric rows per baseline
    // with a full 3 x 3 weight block.
    Gps3D,
};

// The third unknown of a station: orientation (2D) or height (GPS).
inline constexpr unsigned kUnknownsPerStation = 3;
enum Component : unsigned { kNorth = 0, kEast = 1, kThird = 2 };

inline constexpr double kGridSpacing = 500.0; // metres
// Weight of a datum pseudo-observation: the kernel's cap on weights.
inline constexpr double kPseudoObservationWeight = 1e16;

// One partial derivative of an observation row: d(row) / d(unknown
// `component` of `station`), in the row's unit per metre (per radian for an
// orientation).
struct Term {
    unsigned station = 0;
    unsigned component = 0;
    double coefficient = 0.0;
};

// One scalar observation equation before its unknowns are numbered.
struct ObservationRow {
    unsigned from = 0; // instrument station (the station itself for a pseudo-observation)
    unsigned to = 0;   // target station
    unsigned termCount = 0;
    std::array<Term, 6> terms{};
};

// The structure and numbers of a network, independent of the station order.
struct Network {
    NetworkKind kind = NetworkKind::Triangulation2D;
    unsigned stations = 0;
    std::vector<ObservationRow> rows; // 0-based list
    // Weight matrix P as consecutive diagonal blocks of 1 or 3 rows, in row
    // order: the size of every block, and the elements of all blocks one
    // after the other (each block row-major, both triangles).
    std::vector<unsigned> blockSize;
    std::vector<double> blockWeights;
    std::vector<double> l; // 0-based reduced observations, in the rows' units
};

// Generates a network of the given kind with `stations` stations (at least 4)
// from the random seed; the same arguments give the same network.
Network GenerateNetwork(NetworkKind kind, unsigned stations, std::uint32_t seed = 1);

// The from- and to-station of every row, in row order: the input of the
// station reordering. A pseudo-observation pairs its station with itself.
std::vector<Tavex::StationPair> RowStations(const Network& network);

// The input order of the stations (1..stations).
Tavex::StationOrder InputOrder(const Network& network);

// The number of unknown `component` of the station at `position`.
inline std::uint32_t UnknownNumber(unsigned position, unsigned component) {
    return kUnknownsPerStation * (position - 1) + component + 1;
}

// At, A, P and l of the network with the unknowns numbered in the given
// station order (which must hold every station); factor, x and Ax empty.
Tavex::LinearSystem LayOut(const Network& network, const Tavex::StationOrder& order);

} // namespace TavexBench

#endif
