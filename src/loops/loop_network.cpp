#include "loops/loop_network.h"

#include "engine/geometry_refresh.h"
#include "messages/string_loader.h"
#include "project/observation_codes.h"
#include "resources/string_ids.h"

#include <cmath>
#include <utility>

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
        network.meanLat += station.Lat / p.StationCount;
        network.meanLon += station.Lon / p.StationCount;
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

void AddLegMean(CLoopResults& loop, const LoopNetwork& network, std::uint32_t from,
                std::uint32_t to, const double* values, int count) {
    TXXML_LOOPOBSERVATION record;
    record.identification = CStringL(STR_LABEL_MEAN);
    record.fromStation = network.Name(from);
    record.toStation = network.Name(to);
    record.reading = "legMean";
    SetValues(record, network, values, count);
    AddObservation(loop, std::move(record));
}

void FinishHeightLoop(CLoopResults& loop, const LoopNetwork& network, double misclosure,
                      double variance) {
    SetMisclosure(loop, SLOT_HEIGHT, misclosure, network.varianceFactor * variance);
    loop.Tolerance = network.criticalW * loop.Sd[SLOT_HEIGHT];
    SetCentre(network, loop);
}

void SetValues(TXXML_LOOPOBSERVATION& record, const LoopNetwork& network, const double* values,
               int count, bool angle) {
    record.valueCount = count;
    record.unit = angle ? kXmlUnitRadian : kXmlUnitMetre;
    CKZString* texts[3] = {&record.value1, &record.value2, &record.value3};
    for (int i = 0; i < count && i < 3; ++i) {
        record.values[i] = values[i];
        *texts[i] = angle ? AngleText(network, values[i]) : LengthText(network, values[i]);
    }
}

double SpatialDistance(const LoopNetwork& network, std::uint32_t a, std::uint32_t b) {
    double x[3], y[3];
    Geocentric(network, a, x);
    Geocentric(network, b, y);
    return std::sqrt((x[0] - y[0]) * (x[0] - y[0]) + (x[1] - y[1]) * (x[1] - y[1]) +
                     (x[2] - y[2]) * (x[2] - y[2]));
}

bool HasMapProjection(const LoopNetwork& network) {
    return network.project.ProjectionType > 0 && network.project.CurrentProjection != nullptr;
}

bool GridPosition(const LoopNetwork& network, std::uint32_t s, double& easting, double& northing) {
    if (!HasMapProjection(network))
        return false;
    const StationGeometry& g = network.geometry[s];
    return network.project.CurrentProjection->LatLonToXY(g.lat, g.lon, &easting, &northing);
}

void SetCentre(const LoopNetwork& network, CLoopResults& loop) {
    double sum[2] = {0.0, 0.0};
    for (int s : loop.Stations) {
        double x = 0.0, y = 0.0;
        if (!GridPosition(network, static_cast<std::uint32_t>(s), x, y))
            return;
        sum[0] += x;
        sum[1] += y;
    }
    if (loop.Stations.empty())
        return;
    loop.Centre[0] = sum[0] / static_cast<double>(loop.Stations.size());
    loop.Centre[1] = sum[1] / static_cast<double>(loop.Stations.size());
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
