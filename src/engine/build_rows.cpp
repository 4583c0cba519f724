#include "engine/build_rows.h"

#include "messages/no_memory.h"
#include "messages/string_loader.h"
#include "project/observation_codes.h"
#include "resources/string_ids.h"

#include <cmath>
#include <new>

namespace Tavex {

namespace {

// Stations closer than this cannot carry an angle or a distance.
constexpr double kCoincidenceMetres = 1e-6;

class RowBuilder {
public:
    RowBuilder(ProjectState& project, std::vector<ObservationRow>& rows, RowCounts& counts)
        : p_(project), rows_(rows), counts_(counts) {}

    void Observation(unsigned index, const CObservation& o);

private:
    void Warn(int id, const CObservation& o) {
        p_.Messages.AddMessage(id, MSG_WARNING, REF_OBSERVATIONS, ObservationMessage(p_, id, o),
                               o.Record);
    }
    void WarnFormatted(int id, const CKZString& text, const CObservation& o) {
        p_.Messages.AddMessage(id, MSG_WARNING, REF_OBSERVATIONS, text, o.Record);
    }
    void Add(unsigned index, const CObservation& o, std::uint16_t kind, std::uint16_t slot,
             std::uint16_t sub, std::uint16_t component = 0, std::uint32_t auxiliary = 0) {
        ObservationRow row;
        row.source = index;
        row.kind = kind;
        row.slot = slot;
        row.sub = sub;
        row.component = component;
        row.auxiliary = auxiliary;
        row.from = o.Station;
        row.to = o.IsSingleStation() ? 0 : o.Target;
        rows_.push_back(row);
        counts_.Count(kind);
    }
    // Whether the three readings are complete components of one GPS
    // observation of the given type; warns with incompleteId when only some
    // are switched on.
    bool CompleteGps(const CObservation& o, std::uint16_t type, int incompleteId);
    void Gps(unsigned index, const CObservation& o);
    void LocalCoordinates(unsigned index, const CObservation& o);
    void Terrestrial(unsigned index, const CObservation& o);
    void Distance(unsigned index, const CObservation& o, int slot, bool hasZenith);
    bool StationsCoincide(const CObservation& o) const;

    ProjectState& p_;
    std::vector<ObservationRow>& rows_;
    RowCounts& counts_;
};

bool RowBuilder::StationsCoincide(const CObservation& o) const {
    const StationRec& a = p_.Stations[o.Station];
    const StationRec& b = p_.Stations[o.Target];
    const CEllipsoid& ellipsoid = p_.CurrentProjection->GetEllipsoid();
    double xa, ya, za, xb, yb, zb;
    ellipsoid.EllToXYZ(a.Lat, a.Lon, a.Height, xa, ya, za);
    ellipsoid.EllToXYZ(b.Lat, b.Lon, b.Height, xb, yb, zb);
    return std::hypot(xa - xb, ya - yb, za - zb) < kCoincidenceMetres;
}

bool RowBuilder::CompleteGps(const CObservation& o, std::uint16_t type, int incompleteId) {
    int on = 0;
    for (int i = 0; i < 3; ++i)
        if (o.Type[i] == type && o.Off[i] == 0 && o.Sub[i] == i)
            ++on;
    if (on == 3)
        return true;
    if (on > 0 || o.Off[0] == 0)
        Warn(incompleteId, o);
    return false;
}

void RowBuilder::Gps(unsigned index, const CObservation& o) {
    const bool baseline = o.Type[0] == OBS_GPS_BASELINE;
    if (!CompleteGps(o, o.Type[0],
                     baseline ? STR_INCOMPLETE_BASELINE : STR_INCOMPLETE_GPS_COORDINATE))
        return;
    if (p_.Dimension == 1) {
        Warn(baseline ? STR_NO_GPS_1D : STR_NO_COORDINATE_1D, o);
        return;
    }
    if (!baseline && p_.Dimension == 2) {
        Warn(STR_NO_COORDINATE_2D, o);
        return;
    }
    for (std::uint16_t c = 0; c < 3; ++c)
        Add(index, o, baseline ? ROW_GPS_BASELINE : ROW_GPS_COORDINATE, c, c, c + 1);
}

void RowBuilder::LocalCoordinates(unsigned index, const CObservation& o) {
    // Local coordinates come as east, north, height.
    constexpr std::uint16_t kComponent[3] = {2, 1, 3};
    for (std::uint16_t c = 0; c < 3; ++c) {
        if (o.Type[c] != OBS_LOCAL_COORDINATE || o.Off[c] != 0)
            continue;
        const bool height = c == 2;
        if (p_.Dimension == 2 && height)
            Warn(STR_NO_LOCAL_HEIGHT_2D, o);
        else if (p_.Dimension == 1 && !height)
            Warn(STR_NO_LOCAL_XY_1D, o);
        else
            Add(index, o, ROW_LOCAL_COORDINATE, c, c, kComponent[c]);
    }
}

void RowBuilder::Distance(unsigned index, const CObservation& o, int slot, bool hasZenith) {
    const std::uint16_t group = o.Sub[slot];
    const std::uint16_t code = o.DistanceCode;
    const bool horizontal = code == DISTANCE_HORIZONTAL || code == DISTANCE_REDUCED;
    switch (p_.Dimension) {
    case 1:
        // A distance serves a height network only with its zenith angle, as
        // a trigonometric height difference.
        if (hasZenith)
            Add(index, o, ROW_TRIG_HEIGHT, static_cast<std::uint16_t>(slot), 0, 3);
        else
            Warn(STR_NO_DISTANCE_WITHOUT_ZENITH_1D, o);
        return;
    case 2:
        if (horizontal)
            Add(index, o, ROW_DISTANCE, static_cast<std::uint16_t>(slot), group, 0, code);
        else if (hasZenith) // a slant distance reduced to the horizontal with its zenith angle
            Add(index, o, ROW_DISTANCE, static_cast<std::uint16_t>(slot), group, 0,
                DISTANCE_REDUCED);
        else
            Warn(STR_NO_SLANT_DISTANCE_2D, o);
        return;
    default:
        Add(index, o, ROW_DISTANCE, static_cast<std::uint16_t>(slot), group, 0, code);
        return;
    }
}

void RowBuilder::Terrestrial(unsigned index, const CObservation& o) {
    bool hasDistance = false, hasZenith = false;
    for (int i = 0; i < 3; ++i) {
        if (o.Off[i] != 0)
            continue;
        hasDistance |= o.Type[i] == OBS_DISTANCE;
        hasZenith |= o.Type[i] == OBS_ZENITH;
    }
    const int dimension = p_.Dimension;
    // Angles and distances divide by the distance between the stations; so
    // does a zenith angle's standard deviation in every dimension (in 1D it
    // is part of the trigonometric height difference's).
    bool needsSeparation = false;
    for (int i = 0; i < 3; ++i) {
        if (o.Off[i] != 0)
            continue;
        const std::uint16_t t = o.Type[i];
        needsSeparation |= t == OBS_DIRECTION || t == OBS_AZIMUTH || t == OBS_GEOMETRIC_RELATION ||
                           (t == OBS_DISTANCE && dimension != 1) || t == OBS_ZENITH;
    }
    if (needsSeparation && StationsCoincide(o)) {
        CKZString text;
        text.Format(CStringL(STR_ZERO_DISTANCE).c_str(), o.Record);
        WarnFormatted(STR_ZERO_DISTANCE, text, o);
        return;
    }
    for (int i = 0; i < 3; ++i) {
        if (o.Off[i] != 0 || o.Type[i] == OBS_NONE)
            continue;
        const auto slot = static_cast<std::uint16_t>(i);
        // A parameter group beyond the ten the settings hold has no scale,
        // refraction or offset: the reading is left out with warning 471.
        const bool grouped =
            o.Type[i] == OBS_DISTANCE || o.Type[i] == OBS_ZENITH || o.Type[i] == OBS_AZIMUTH;
        if (grouped && o.Sub[i] >= kParameterGroups) {
            ObservationCode(o.Type[i], o.Sub[i], &p_.Messages);
            continue;
        }
        switch (o.Type[i]) {
        case OBS_DIRECTION:
            if (dimension == 1)
                Warn(STR_NO_DIRECTIONS_1D, o);
            else
                Add(index, o, ROW_DIRECTION, slot, o.Sub[i]);
            break;
        case OBS_DISTANCE:
            Distance(index, o, i, hasZenith);
            break;
        case OBS_ZENITH:
            if (!hasDistance)
                Warn(dimension == 1 ? STR_NO_ZENITH_WITHOUT_DISTANCE_1D
                                    : STR_NO_ZENITH_WITHOUT_DISTANCE_2D,
                     o);
            else if (dimension == 3)
                Add(index, o, ROW_ZENITH, slot, o.Sub[i]);
            // In 2D it reduces its distance, in 1D it forms the
            // trigonometric height difference with it.
            break;
        case OBS_AZIMUTH:
            if (dimension == 1)
                Warn(STR_NO_AZIMUTH_1D, o);
            else
                Add(index, o, ROW_AZIMUTH, slot, o.Sub[i]);
            break;
        case OBS_HEIGHT_DIFFERENCE:
            if (dimension == 2)
                Warn(STR_NO_HEIGHT_DIFFERENCE_2D, o);
            else
                Add(index, o, ROW_HEIGHT_DIFFERENCE, slot, 0, 3);
            break;
        case OBS_GEOMETRIC_RELATION:
            if (dimension == 1) {
                Warn(STR_NO_RELATION_1D, o);
            } else if (o.Sub[i] == RELATION_DOUBLE_DISTANCE ||
                       o.Sub[i] == RELATION_TAPE_DISTANCE) {
                // Double and tape distances name only the two stations.
                Add(index, o, ROW_RELATION, slot, o.Sub[i]);
            } else {
                CKZString text;
                text.Format(CStringL(STR_RELATION_NEEDS_STATIONS).c_str(),
                            ObservationLabel(o.Type[i], o.Sub[i]).c_str(), o.Record);
                WarnFormatted(STR_RELATION_NEEDS_STATIONS, text, o);
            }
            break;
        default:
            ObservationCode(o.Type[i], o.Sub[i], &p_.Messages); // warns 471
            break;
        }
    }
}

void RowBuilder::Observation(unsigned index, const CObservation& o) {
    if (!o.IsSingleStation() && o.Station == o.Target) {
        CKZString text;
        text.Format(CStringL(STR_SAME_STATION).c_str(), o.Record);
        WarnFormatted(STR_SAME_STATION, text, o);
        return;
    }
    switch (o.Form) {
    case RecordForm::GpsBaseline:
    case RecordForm::GpsCoordinate:
        Gps(index, o);
        break;
    case RecordForm::LocalCoordinates:
        LocalCoordinates(index, o);
        break;
    case RecordForm::OneReading:
    case RecordForm::TotalStation:
        Terrestrial(index, o);
        break;
    case RecordForm::Invalid:
        break; // refused by the run's input check before any row is built
    }
}

} // namespace

CKZString ObservationMessage(const ProjectState& project, int id, const CObservation& o) {
    CKZString text = CStringL(id);
    text += L" ";
    text += project.Stations[o.Station].Name;
    if (!o.IsSingleStation() && o.Target <= project.StationCount) {
        text += L" - ";
        text += project.Stations[o.Target].Name;
    }
    return text;
}

int BuildRows(ProjectState& p, const Participation& participation, EngineState& e) {
    try {
        std::vector<unsigned> used;
        for (unsigned s = 1; s <= p.StationCount; ++s)
            if (participation.station[s])
                used.push_back(s);
        e.order = StationOrder::FromStations(used, p.StationCount);
        e.known.clear();
        for (unsigned k = 1; k <= p.KnownCount; ++k)
            if (participation.station[p.Known[k].Station])
                e.known.push_back(k);
        e.rows.assign(1, ObservationRow{});
        e.rows.reserve(p.RowBound + 3 * (e.known.size() + 5) + 1);
        e.counts = RowCounts{};
        RowBuilder builder(p, e.rows, e.counts);
        for (int k = 1; k < p.Observations.GetSize(); ++k)
            if (participation.observation[static_cast<std::size_t>(k)])
                builder.Observation(static_cast<unsigned>(k), *p.Observations.GetAt(k));
        e.observationRows = static_cast<unsigned>(e.Rows());
    } catch (const std::bad_alloc&) {
        return ReportNoMemory(p.Messages, STR_NO_MEMORY_ALLOCATE, STR_OBJECT_UNKNOWNS_AND_ROWS);
    }
    return 1;
}

int BuildRecordRows(ProjectState& p, unsigned index, std::vector<ObservationRow>& rows) {
    try {
        RowCounts counts;
        RowBuilder(p, rows, counts)
            .Observation(index, *p.Observations.GetAt(static_cast<int>(index)));
    } catch (const std::bad_alloc&) {
        return ReportNoMemory(p.Messages, STR_NO_MEMORY_ALLOCATE, STR_OBJECT_UNKNOWNS_AND_ROWS);
    }
    return 1;
}

std::vector<StationPair> RowStationPairs(const EngineState& e) {
    std::vector<StationPair> pairs;
    pairs.reserve(e.Rows());
    for (std::size_t r = 1; r <= e.observationRows; ++r) {
        const ObservationRow& row = e.rows[r];
        if (row.kind == ROW_GPS_COORDINATE || row.kind == ROW_RELATION ||
            row.kind == ROW_LOCAL_COORDINATE || row.to == 0)
            continue;
        pairs.emplace_back(row.from, row.to);
    }
    return pairs;
}

} // namespace Tavex
