#include "loops/loop_network.h"

#include "engine/geometry_refresh.h"
#include "messages/string_loader.h"
#include "project/observation_codes.h"
#include "resources/string_ids.h"

#include <cmath>

namespace Tavex {

namespace {

constexpr int kValueWidth = 13;
constexpr int kValueDecimals = 4;

} // namespace

LoopNetwork MakeLoopNetwork(const ProjectState& p, double criticalW) {
    LoopNetwork network{p, {}, ProjectEllipsoid(p), criticalW, p.Sigma0 * p.Sigma0, UnitsOf(p)};
    const CEllipsoid& ellipsoid = p.CurrentProjection->GetEllipsoid();
    network.geometry.resize(static_cast<std::size_t>(p.StationCount) + 1);
    for (unsigned s = 1; s <= p.StationCount; ++s) {
        const StationRec& station = p.Stations[s];
        network.geometry[s] =
            StationGeometry::At(ellipsoid, station.Lat, station.Lon, station.Height);
    }
    return network;
}

CKZString LengthText(const LoopNetwork& network, double metres) {
    return LengthField(network.units, metres, kValueWidth, kValueDecimals);
}

CKZString AngleText(const LoopNetwork& network, double radians) {
    return AngleField(network.units, radians, kValueWidth, AngleUse::Direction);
}

TXXML_LOOPOBSERVATION LegObservation(const LoopNetwork& network, std::uint32_t index,
                                     std::uint32_t from, std::uint32_t to, const char* reading) {
    const CObservation& o = network.Observation(index);
    TXXML_LOOPOBSERVATION record;
    record.identification.Format(L"%u", o.Record);
    record.record = o.Record;
    record.fromStation = network.Name(from);
    record.toStation = network.Name(to);
    record.reading = reading;
    return record;
}

TXXML_LOOPOBSERVATION LegMean(const LoopNetwork& network, std::uint32_t from, std::uint32_t to) {
    TXXML_LOOPOBSERVATION record;
    record.identification = CStringL(STR_LABEL_MEAN);
    record.fromStation = network.Name(from);
    record.toStation = network.Name(to);
    record.reading = "legMean";
    return record;
}

void Geocentric(const LoopNetwork& network, std::uint32_t s, double xyz[3]) {
    const StationGeometry& g = network.geometry[s];
    network.project.CurrentProjection->EllToXYZ(g.lat, g.lon, g.h, xyz[0], xyz[1], xyz[2]);
}

void HorizonAxes(double lat, double lon, double axes[3][3]) {
    const double sp = std::sin(lat), cp = std::cos(lat), sl = std::sin(lon), cl = std::cos(lon);
    const double rows[3][3] = {{-sp * cl, -sp * sl, cp}, {-sl, cl, 0.0}, {cp * cl, cp * sl, sp}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            axes[r][c] = rows[r][c];
}

} // namespace Tavex
