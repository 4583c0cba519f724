#include "prerun/coinciding_stations.h"

#include "messages/string_loader.h"
#include "output/report_format.h"
#include "resources/string_ids.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace Tavex {

namespace {

constexpr double kSamePoint = 1e-6; // metres
constexpr int kDistanceWidth = 10;
constexpr int kDistanceDecimals = 3;

struct CellHash {
    std::size_t operator()(const std::array<long long, 3>& c) const {
        // Unsigned, so that the products of far cells wrap instead of overflowing.
        const auto u = [](long long v) { return static_cast<std::uint64_t>(v); };
        return static_cast<std::size_t>(u(c[0]) * 73856093u ^ u(c[1]) * 19349663u ^
                                        u(c[2]) * 83492791u);
    }
};

// The grid cell of one coordinate. Coordinates far outside the Earth (or not
// numbers at all) share the outermost cells: they are still compared with
// each other, and the conversion stays within the integer's range.
long long CellIndex(double coordinate) {
    constexpr double kOutermost = 1e15; // cells; far beyond any station
    const double cell = std::floor(coordinate / kCoincidingDistance);
    return static_cast<long long>(std::isnan(cell) ? kOutermost
                                                   : std::clamp(cell, -kOutermost, kOutermost));
}

struct Pair {
    unsigned i, j;
    double d;
};

// Every pair i < j of stations not excluded closer than 2 m, in (i, j)
// order.
std::vector<Pair> ClosePairs(const ProjectState& p) {
    const CEllipsoid& ellipsoid = p.CurrentProjection->GetEllipsoid();
    std::vector<std::array<double, 3>> xyz(p.StationCount + 1);
    std::unordered_map<std::array<long long, 3>, std::vector<unsigned>, CellHash> cells;
    const auto cellOf = [](const std::array<double, 3>& x) {
        return std::array<long long, 3>{CellIndex(x[0]), CellIndex(x[1]), CellIndex(x[2])};
    };
    for (unsigned s = 1; s <= p.StationCount; ++s) {
        const StationRec& st = p.Stations[s];
        if (st.Excluded)
            continue;
        ellipsoid.EllToXYZ(st.Lat, st.Lon, st.Height, xyz[s][0], xyz[s][1], xyz[s][2]);
        cells[cellOf(xyz[s])].push_back(s);
    }
    std::vector<Pair> pairs;
    for (unsigned i = 1; i <= p.StationCount; ++i) {
        if (p.Stations[i].Excluded)
            continue;
        const std::array<long long, 3> c = cellOf(xyz[i]);
        for (long long a = -1; a <= 1; ++a)
            for (long long b = -1; b <= 1; ++b)
                for (long long e = -1; e <= 1; ++e) {
                    const auto at = cells.find({c[0] + a, c[1] + b, c[2] + e});
                    if (at == cells.end())
                        continue;
                    for (const unsigned j : at->second) {
                        if (j <= i)
                            continue;
                        const double d =
                            std::max(std::hypot(xyz[j][0] - xyz[i][0], xyz[j][1] - xyz[i][1],
                                                xyz[j][2] - xyz[i][2]),
                                     1e-32);
                        if (d < kCoincidingDistance)
                            pairs.push_back({i, j, d});
                    }
                }
    }
    std::sort(pairs.begin(), pairs.end(),
              [](const Pair& x, const Pair& y) { return x.i != y.i ? x.i < y.i : x.j < y.j; });
    return pairs;
}

} // namespace

void CheckCoincidingStations(const ProjectState& p, CVelnikResultsPtrArray& results) {
    const std::vector<Pair> pairs = ClosePairs(p);
    if (pairs.empty())
        return;
    const ReportUnits units = UnitsOf(p);
    CVelnikChecks& block =
        results.AddBlock(CHECK_COINCIDING_STATIONS, 0, STR_HEADING_COINCIDING_STATIONS);
    std::vector<char> marked(p.StationCount + 1, 0);
    for (const Pair& pair : pairs) {
        if (marked[pair.j])
            continue;
        auto* record = new TXXML_PRERUNCOINCIDING;
        record->station1 = p.Stations[pair.i].Name;
        record->station2 = p.Stations[pair.j].Name;
        record->stationNumber1 = pair.i;
        record->stationNumber2 = pair.j;
        record->distanceValue = pair.d;
        record->distance = LengthField(units, pair.d, kDistanceWidth, kDistanceDecimals);
        record->unit = units.linearName;
        block.coinciding.Add(record);
        // The same point: later pairs with it are the first station's.
        if (pair.d <= kSamePoint)
            marked[pair.j] = 1;
    }
}

} // namespace Tavex
