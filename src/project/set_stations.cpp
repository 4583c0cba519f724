#include "project/set_stations.h"

#include "geodesy/projection_factory.h"
#include "geodesy/text_encoding.h"
#include "messages/string_loader.h"
#include "project/setter_failure.h"
#include "resources/string_ids.h"

#include <cmath>
#include <memory>
#include <new>
#include <vector>

namespace Tavex {

namespace {

constexpr int kHeightBits = 0x0C;
constexpr int kDefaultHeightKind = 8;
constexpr int kStationNameLength = 17;

// Running mean of a sequence: mean_k = mean_(k-1) (k-1)/k + value/k.
struct RunningMean {
    double value = 0.0;
    unsigned count = 0;
    void Add(double x) {
        ++count;
        value = value * (count - 1) / count + x / count;
    }
};

struct GridMeans {
    RunningMean northing;
    RunningMean easting;
};

// Converts a station's grid coordinates with the projection; marks the
// station when no projection can do it.
void ConvertGrid(const COutputSystem* projection, StationRec& station) {
    double lat = 0.0, lon = 0.0;
    if (projection != nullptr &&
        projection->XYToLatLon(&lat, &lon, station.Easting, station.Northing)) {
        station.Lat = lat;
        station.Lon = lon;
        station.GridConversionFailed = false;
    } else {
        station.Lat = station.Lon = 0.0;
        station.GridConversionFailed = true;
    }
}

// The tables a call builds before it replaces the project's.
struct StationTables {
    std::vector<StationRec> stations;
    std::vector<KnownRec> known;
    unsigned knownCount = 0;
    int heightKind = kDefaultHeightKind;
    std::unique_ptr<COutputSystem> centredProjection; // the local projection, when rebuilt
};

void TakeOverStation(const COutputSystem* projection, const _STATIONADJ& record,
                     StationRec& station, int& previousSource, GridMeans& means) {
    if (record.CoordFlags & COORD_FLAG_GPS)
        previousSource = SOURCE_GPS;
    else if (record.CoordFlags & COORD_FLAG_TERRESTRIAL)
        previousSource = SOURCE_TERRESTRIAL;
    // Name and exclusion are taken from every record, so that messages can
    // name a station even when it came without coordinates.
    station.Excluded = (record.Exclusion & 1) ? 1 : 0;
    station.Name =
        CKZString(FromHostField(record.Name, sizeof record.Name)).Left(kStationNameLength);
    const bool geographic = (record.CoordFlags & COORD_FLAG_GEOGRAPHIC) != 0;
    const bool grid = !geographic && (record.CoordFlags & COORD_FLAG_GRID) != 0;
    if (!geographic && !grid)
        return; // neither bit: no coordinates, and the source stays as built
    station.CoordSource = previousSource;
    station.Height = record.Height;
    station.HasCoordinates = 1;
    if (geographic) {
        station.Lat = record.Coord1;
        station.Lon = record.Coord2;
        return;
    }
    station.FromGrid = true;
    station.Easting = record.Coord1;
    station.Northing = record.Coord2;
    ConvertGrid(projection, station);
    means.northing.Add(station.Northing);
    means.easting.Add(station.Easting);
}

void TakeOverKnownStation(StationTables& t, const _STATIONADJ& record, unsigned stationNumber) {
    if (record.Presence & kHeightBits)
        t.heightKind = record.Presence & kHeightBits;
    KnownRec known;
    known.Station = stationNumber;
    const double scale = record.CovScale;
    if (record.CoordClass == kClassPositionKnown || record.CoordClass == kClassBothKnown) {
        known.LatKnown = known.LonKnown = 1;
        known.SdLat = std::sqrt(record.Cov[0]) * scale;
        known.SdLon = std::sqrt(record.Cov[3]) * scale;
    }
    if (record.CoordClass == kClassBothKnown || record.CoordClass == kClassHeightKnown) {
        known.HeightKnown = 1;
        known.SdHeight = std::sqrt(record.Cov[5]) * scale;
    }
    t.known[++t.knownCount] = known;
}

// Centre of the local stereographic projection: the mean grid position of
// the known stations with a known horizontal position, or, when none has
// one, of all grid stations. Only stations given in grid coordinates take
// part: a geographic station has no grid position to average.
void CentreOfNetwork(const StationTables& t, const GridMeans& all, double& northing,
                     double& easting) {
    RunningMean knownNorthing, knownEasting;
    for (unsigned k = 1; k <= t.knownCount; ++k) {
        const KnownRec& known = t.known[k];
        const StationRec& station = t.stations[known.Station];
        if (known.LatKnown && known.LonKnown && station.FromGrid) {
            knownNorthing.Add(station.Northing);
            knownEasting.Add(station.Easting);
        }
    }
    const bool fromKnown = knownNorthing.count > 0;
    northing = fromKnown ? knownNorthing.value : all.northing.value;
    easting = fromKnown ? knownEasting.value : all.easting.value;
}

// Rebuilds the local projection with its origin at the network's centre and
// converts the grid stations again.
void CentreLocalProjection(const COutputSystem& current, StationTables& t, const GridMeans& means) {
    double northing = 0.0, easting = 0.0;
    CentreOfNetwork(t, means, northing, easting);
    const CEllipsoid ellipsoid(current.nGetEllipsoid(), current.dGetSemiMajAx(),
                               current.dGetInvFlatt());
    t.centredProjection = pGetNewProjection(PROJECTION_LOCAL_STEREOGRAPHIC, 0, 0, 0, 0, 1.0,
                                            northing, easting, &ellipsoid);
    for (StationRec& station : t.stations)
        if (station.FromGrid)
            ConvertGrid(t.centredProjection.get(), station);
}

// Reads the n records into tables of their own; throws std::bad_alloc when
// memory runs out, leaving the project untouched.
StationTables ReadStations(const ProjectState& p, const _STATIONADJ* records, unsigned n) {
    StationTables t;
    t.stations.assign(std::size_t{n} + 1, StationRec{});
    t.known.assign(std::size_t{n} + 1, KnownRec{});
    int previousSource = SOURCE_TERRESTRIAL;
    int lastHeightKind = 0;
    GridMeans means;
    for (unsigned k = 0; k < n; ++k) {
        const _STATIONADJ& record = records[k];
        TakeOverStation(p.CurrentProjection.get(), record, t.stations[k + 1], previousSource,
                        means);
        if (record.Presence & kHeightBits)
            lastHeightKind = record.Presence & kHeightBits;
        if (record.CoordStatus == kStatusKnown)
            TakeOverKnownStation(t, record, k + 1);
    }
    t.known.resize(t.knownCount + 1);
    if (t.knownCount == 0)
        t.heightKind = lastHeightKind != 0 ? lastHeightKind : kDefaultHeightKind;
    if (p.CurrentProjection &&
        p.CurrentProjection->nGetProjection() == PROJECTION_LOCAL_STEREOGRAPHIC)
        CentreLocalProjection(*p.CurrentProjection, t, means);
    return t;
}

} // namespace

int TakeOverStations(ProjectState& p, _STATIONADJ* records, unsigned n) {
    if (records == nullptr && n > 0) {
        // Nothing to read: the project stays as it was.
        p.Messages.AddMessage(STR_NULL_RECORD_ARRAY, MSG_WARNING, REF_NONE,
                              CStringL(STR_NULL_RECORD_ARRAY));
        return 0;
    }
    if (n > kMaxStations)
        return RefuseRecordCount(p, n, kMaxStations);
    StationTables t;
    std::unique_ptr<CEllipsoid> auxiliary;
    try {
        t = ReadStations(p, records, n);
        auxiliary = std::make_unique<CEllipsoid>(ELLIPSOID_FRAME_REPLACED);
    } catch (const std::bad_alloc&) {
        return RefuseForMemory(p, STR_OBJECT_STATION_TABLE);
    }
    p.StationRecords = records;
    p.StationCount = n;
    p.Stations = std::move(t.stations);
    p.Known = std::move(t.known);
    p.KnownCount = t.knownCount;
    p.HeightKind = t.heightKind;
    p.NoKnownStations = t.knownCount == 0 ? 1 : 0;
    if (t.centredProjection)
        p.CurrentProjection = std::move(t.centredProjection);
    if (p.CurrentProjection) {
        p.ProjectionType = p.CurrentProjection->nGetProjection();
        p.EllipsoidCode = p.CurrentProjection->nGetEllipsoid();
    }
    p.MeanEarthRadius = kMeanEarthRadius;
    p.AuxEllipsoid = std::move(auxiliary);
    return 1;
}

} // namespace Tavex
