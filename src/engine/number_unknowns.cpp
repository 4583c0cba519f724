#include "engine/number_unknowns.h"

#include "engine/geometry_refresh.h"
#include "engine/local_coordinates.h"
#include "engine/observation_model.h"
#include "messages/no_memory.h"
#include "project/settings_check.h"
#include "resources/string_ids.h"

#include <cmath>
#include <cstdio>
#include <new>
#include <numbers>

namespace Tavex {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

void Mark(EngineState& e, unsigned station, std::uint32_t bits) {
    if (station != 0)
        e.flags[station] |= bits;
}

// The bearing the model gives from the first direction of a set, minus that
// direction: the orientation's approximate value in [0, 2π).
double ApproximateOrientation(const ProjectState& p, const EngineState& e,
                              const ObservationRow& row) {
    const CObservation& o = *p.Observations.GetAt(static_cast<int>(row.source));
    RowGeometryInput input;
    input.from = &e.geometry[row.from];
    input.to = &e.geometry[row.to];
    input.instrumentHeight = o.StationHeight;
    input.targetHeight = o.TargetHeight;
    input.meanEarthRadius = p.MeanEarthRadius;
    const RowEvaluation bearing = EvaluateRow(row, input, RowParameters{}, ProjectEllipsoid(p));
    const double orientation = std::fmod(bearing.value - o.Reading[row.slot], kTwoPi);
    return orientation < 0.0 ? orientation + kTwoPi : orientation;
}

class Numbering {
public:
    Numbering(EngineState& e) : e_(e) {}
    std::uint32_t Add(std::uint32_t station, std::uint16_t kind, std::uint16_t sub, double value) {
        e_.unknowns.push_back(UnknownDescriptor{station, kind, sub});
        e_.values.push_back(value);
        return static_cast<std::uint32_t>(e_.unknowns.size() - 1);
    }

private:
    EngineState& e_;
};

// The direction sets measured from every station, each with its first row,
// in row order.
std::vector<std::vector<std::uint32_t>> DirectionSetRows(const EngineState& e,
                                                         unsigned stationCount) {
    std::vector<std::vector<std::uint32_t>> sets(stationCount + 1);
    for (std::uint32_t r = 1; r <= e.observationRows; ++r) {
        const ObservationRow& row = e.rows[r];
        if (row.kind != ROW_DIRECTION)
            continue;
        bool seen = false;
        for (std::uint32_t first : sets[row.from])
            seen |= e.rows[first].sub == row.sub;
        if (!seen)
            sets[row.from].push_back(r);
    }
    return sets;
}

void NumberStations(const ProjectState& p, EngineState& e, Numbering& numbering) {
    const auto sets = DirectionSetRows(e, p.StationCount);
    for (unsigned position = 1; position <= e.order.count; ++position) {
        const unsigned s = e.order.stationAt[position];
        const StationRec& station = p.Stations[s];
        const std::uint32_t flags = e.flags[s];
        if (flags & FLAG_NORTH)
            e.index.north[s] = numbering.Add(s, UNK_NORTH, 0, station.Lat);
        if (flags & FLAG_EAST)
            e.index.east[s] = numbering.Add(s, UNK_EAST, 0, station.Lon);
        if (flags & FLAG_HEIGHT)
            e.index.height[s] = numbering.Add(s, UNK_HEIGHT, 0, station.Height);
        if (p.Dimension == 1)
            continue;
        for (std::uint32_t first : sets[s]) {
            const ObservationRow& row = e.rows[first];
            e.index.orientation[UnknownIndex::OrientationKey(s, row.sub)] =
                numbering.Add(s, UNK_ORIENTATION, row.sub, ApproximateOrientation(p, e, row));
        }
    }
}

void NumberParameters(const ProjectState& p, EngineState& e, Numbering& numbering) {
    const auto parameter = [&](std::uint32_t(&slot)[kParameterGroups],
                               const int(&free)[kGroupCount], const double(&value)[kGroupCount],
                               unsigned group, std::uint16_t kind) {
        if (group < kParameterGroups && slot[group] == 0 && free[group])
            slot[group] = numbering.Add(0, kind, static_cast<std::uint16_t>(group), value[group]);
    };
    for (std::uint32_t r = 1; r <= e.observationRows; ++r) {
        const ObservationRow& row = e.rows[r];
        switch (row.kind) {
        case ROW_DISTANCE:
            parameter(e.index.scale, p.ScaleFactorFree, p.ScaleFactor, row.sub, UNK_SCALE);
            break;
        case ROW_RELATION:
            parameter(e.index.scale, p.ScaleFactorFree, p.ScaleFactor, 0, UNK_SCALE);
            break;
        case ROW_ZENITH:
            parameter(e.index.refraction, p.RefractionCoefFree, p.RefractionCoef, row.sub,
                      UNK_REFRACTION);
            break;
        case ROW_AZIMUTH:
            parameter(e.index.azimuthOffset, p.AzimuthOffsetFree, p.AzimuthOffset, row.sub,
                      UNK_AZIMUTH_OFFSET);
            break;
        default:
            break;
        }
    }
    const int gps = GpsParameterCount(p, e);
    for (int sub = 1; sub <= gps; ++sub)
        e.index.gps[sub] = numbering.Add(0, UNK_GPS_TRANSFORMATION, static_cast<std::uint16_t>(sub),
                                         p.GPSTransfPar[sub]);
    if (e.localFrame.type != 0) {
        double start[kLocalParameterSlots];
        ApproximateLocalParameters(p, e, start);
        const LocalParameterList list = LocalParameters(e.localFrame.type);
        for (int k = 0; k < list.count; ++k)
            e.index.local[list.sub[k]] =
                numbering.Add(0, UNK_ADDITIONAL_TRANSFORMATION, list.sub[k], start[list.sub[k]]);
    }
}

// A distance divides by its group's scale factor, and a free one is
// corrected in proportion to its value: every group a distance uses needs a
// positive scale.
int CheckUsedScaleFactors(ProjectState& p, const EngineState& e) {
    for (std::uint32_t r = 1; r <= e.observationRows; ++r) {
        const ObservationRow& row = e.rows[r];
        if (row.kind != ROW_DISTANCE && row.kind != ROW_RELATION)
            continue;
        const unsigned group = row.kind == ROW_RELATION ? 0u : row.sub;
        if (group < kGroupCount && !(p.ScaleFactor[group] > 0.0)) {
            char name[32];
            std::snprintf(name, sizeof name, "ScaleFactor[%u]", group);
            return SettingOutOfRange(p, name, p.ScaleFactor[group]);
        }
    }
    return 1;
}

void CountUnknowns(EngineState& e) {
    e.unknownCounts = UnknownCounts{};
    UnknownCounts& c = e.unknownCounts;
    for (std::size_t i = 1; i <= e.Unknowns(); ++i) {
        switch (e.unknowns[i].kind) {
        case UNK_NORTH:
        case UNK_EAST:
        case UNK_HEIGHT:
            ++c.coordinates;
            break;
        case UNK_ORIENTATION:
            ++c.orientations;
            break;
        case UNK_SCALE:
            ++c.scaleFactors;
            break;
        case UNK_REFRACTION:
            ++c.refractionCoefficients;
            break;
        case UNK_AZIMUTH_OFFSET:
            ++c.azimuthOffsets;
            break;
        case UNK_GPS_TRANSFORMATION:
            ++c.gpsParameters;
            break;
        case UNK_DEFLECTION_EAST:
        case UNK_DEFLECTION_NORTH:
            ++c.deflections;
            break;
        case UNK_ADDITIONAL_ROTATION:
            ++c.additionalRotations;
            break;
        default:
            ++c.additionalParameters;
            break;
        }
    }
}

} // namespace

// The records carry two settings of the engine that a host cannot set:
// the switch that makes every station of a 3D network three-dimensional
// (off: a station gets the components its rows need) and fixed deflections
// of the vertical (all fixed: no deflection unknowns, and zenith angles use
// the ellipsoidal vertical). Height groups are not carried either, so every
// station has one height unknown.
void SetUnknownFlags(const ProjectState& p, EngineState& e) {
    e.flags.assign(p.StationCount + 1, 0);
    const std::uint32_t horizontal = FLAG_NORTH | FLAG_EAST;
    const std::uint32_t all = horizontal | FLAG_HEIGHT;
    const int dimension = p.Dimension;
    for (std::size_t r = 1; r <= e.observationRows; ++r) {
        const ObservationRow& row = e.rows[r];
        switch (row.kind) {
        case ROW_DIRECTION:
        case ROW_AZIMUTH:
        case ROW_RELATION:
            Mark(e, row.from, horizontal);
            Mark(e, row.to, horizontal);
            break;
        case ROW_DISTANCE: {
            const bool spatial = dimension == 3 && !row.IsHorizontalDistance();
            Mark(e, row.from, spatial ? all : horizontal);
            Mark(e, row.to, spatial ? all : horizontal);
            break;
        }
        case ROW_ZENITH:
        case ROW_GPS_BASELINE:
            Mark(e, row.from, all);
            Mark(e, row.to, all);
            break;
        case ROW_GPS_COORDINATE:
            Mark(e, row.from, all);
            break;
        case ROW_HEIGHT_DIFFERENCE:
        case ROW_TRIG_HEIGHT:
            Mark(e, row.from, FLAG_HEIGHT);
            Mark(e, row.to, FLAG_HEIGHT);
            break;
        case ROW_LOCAL_COORDINATE:
            Mark(e, row.from, row.sub == 2 ? FLAG_HEIGHT : horizontal);
            break;
        default:
            break;
        }
    }
}

int GpsParameterCount(const ProjectState& p, const EngineState& e) {
    // Adjustment modes 6 and 9 take the GPS coordinates as the network's
    // frame: no transformation is set up.
    if (p.AdjMode == 6 || p.AdjMode == 9)
        return 0;
    if (e.counts.gpsCoordinates > 0)
        return kGpsParameters;
    if (e.counts.gpsBaselines > 0)
        return GPS_SCALE; // the three rotations and the scale
    return 0;
}

int NumberUnknowns(ProjectState& p, EngineState& e) {
    try {
        e.index = UnknownIndex{};
        e.index.north.assign(p.StationCount + 1, 0);
        e.index.east.assign(p.StationCount + 1, 0);
        e.index.height.assign(p.StationCount + 1, 0);
        e.unknowns.assign(1, UnknownDescriptor{});
        e.values.assign(1, 0.0);
        RefreshGeometry(p, e);
        if (!CheckUsedScaleFactors(p, e) || !SetUpLocalFrame(p, e))
            return 0;
        Numbering numbering(e);
        NumberStations(p, e, numbering);
        NumberParameters(p, e, numbering);
        CountUnknowns(e);
    } catch (const std::bad_alloc&) {
        return ReportNoMemory(p.Messages, STR_NO_MEMORY_ALLOCATE, STR_OBJECT_UNKNOWNS_AND_ROWS);
    }
    return 1;
}

void ApplyCorrections(EngineState& e, const std::vector<double>& c) {
    for (std::size_t i = 1; i <= e.Unknowns(); ++i) {
        const UnknownDescriptor& unknown = e.unknowns[i];
        switch (unknown.kind) {
        case UNK_NORTH:
            e.values[i] += c[i] / e.geometry[unknown.station].NorthScale();
            break;
        case UNK_EAST:
            e.values[i] += c[i] / e.geometry[unknown.station].EastScale();
            break;
        case UNK_SCALE:
            e.values[i] += c[i] * e.values[i];
            break;
        default:
            e.values[i] += c[i];
            break;
        }
    }
}

double FixedScale(const ProjectState& p, unsigned group) {
    return group < kGroupCount ? p.ScaleFactor[group] : 1.0;
}
double FixedRefraction(const ProjectState& p, unsigned group) {
    return group < kGroupCount ? p.RefractionCoef[group] : 0.0;
}
double FixedAzimuthOffset(const ProjectState& p, unsigned group) {
    return group < kGroupCount ? p.AzimuthOffset[group] : 0.0;
}

} // namespace Tavex
