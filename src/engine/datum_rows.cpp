#include "engine/datum_rows.h"

#include "engine/normal_rows.h"
#include "messages/string_loader.h"
#include "resources/string_ids.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Tavex {

namespace {

// The datum defect the network's dimension and frame leave: how many
// stations must give their north and east, and how many their height.
struct Defect {
    unsigned horizontalStations = 0;
    unsigned heightStations = 0;
};

bool HasHeightUnknowns(const EngineState& e) {
    for (unsigned position = 1; position <= e.order.count; ++position)
        if (e.flags[e.order.stationAt[position]] & FLAG_HEIGHT)
            return true;
    return false;
}

Defect DefectOf(const ProjectState& p, const EngineState& e) {
    // "GPS coordinate-system code 6 or 9": adjustment modes 6 and 9, in
    // which the GPS frame fixes orientation and scale.
    const bool gpsFrame = p.AdjMode == 6 || p.AdjMode == 9;
    if (p.Dimension == 1)
        return {0, 1};
    // A 2D network with GPS baselines has heights among its unknowns and
    // takes the spatial datum.
    const bool spatial = p.Dimension == 3 || HasHeightUnknowns(e);
    if (!spatial)
        return {gpsFrame ? 1u : 2u, 0};
    return gpsFrame ? Defect{1, 1} : Defect{2, 3};
}

ObservationRow DatumRow(std::uint16_t kind, unsigned station, std::uint16_t component) {
    ObservationRow row;
    row.kind = kind;
    row.source = station;
    row.component = component;
    row.from = station;
    return row;
}

void Append(EngineState& e, const ObservationRow& row) {
    e.rows.push_back(row);
    e.counts.Count(row.kind);
}

void WarnShortfall(ProjectState& p, int id, unsigned found) {
    CKZString text;
    text.Format(L"%s %u %s", CStringL(STR_ONLY).c_str(), found, CStringL(id).c_str());
    p.Messages.AddMessage(id, MSG_WARNING, REF_NONE, text);
}

void MinimalConstraints(ProjectState& p, EngineState& e) {
    Defect needed = DefectOf(p, e);
    const Defect wanted = needed;
    for (unsigned k : e.known) {
        const KnownRec& known = p.Known[k];
        const unsigned s = known.Station;
        if (needed.horizontalStations > 0 && known.LatKnown && known.LonKnown &&
            e.index.north[s] != 0 && e.index.east[s] != 0) {
            Append(e, DatumRow(ROW_DATUM_NORTH, s, 1));
            Append(e, DatumRow(ROW_DATUM_EAST, s, 2));
            --needed.horizontalStations;
        }
        if (needed.heightStations > 0 && known.HeightKnown && e.index.height[s] != 0) {
            Append(e, DatumRow(ROW_DATUM_HEIGHT, s, 3));
            --needed.heightStations;
        }
    }
    if (needed.horizontalStations > 0)
        WarnShortfall(p, STR_KNOWN_COORDINATES,
                      2 * (wanted.horizontalStations - needed.horizontalStations));
    if (needed.heightStations > 0) {
        const unsigned found = wanted.heightStations - needed.heightStations;
        if (found == 0)
            p.Messages.AddMessage(STR_NO_KNOWN_HEIGHTS, MSG_WARNING, REF_NONE,
                                  CStringL(STR_NO_KNOWN_HEIGHTS));
        else
            WarnShortfall(p, STR_KNOWN_HEIGHTS, found);
    }
}

void AllKnownCoordinates(const ProjectState& p, EngineState& e) {
    for (unsigned k : e.known) {
        const KnownRec& known = p.Known[k];
        const unsigned s = known.Station;
        if (known.LatKnown && e.index.north[s] != 0)
            Append(e, DatumRow(ROW_DATUM_NORTH, s, 1));
        if (known.LonKnown && e.index.east[s] != 0)
            Append(e, DatumRow(ROW_DATUM_EAST, s, 2));
        if (known.HeightKnown && e.index.height[s] != 0)
            Append(e, DatumRow(ROW_DATUM_HEIGHT, s, 3));
    }
}

void InnerConstraints(const ProjectState& p, EngineState& e) {
    // Observed GPS coordinates taken as the network's frame (adjustment
    // modes 6 and 9) leave no datum defect: constraints would only distort
    // the network they already hold.
    if ((p.AdjMode == 6 || p.AdjMode == 9) && e.counts.gpsCoordinates > 0)
        return;
    const Defect defect = DefectOf(p, e);
    std::vector<unsigned> constraints;
    if (p.Dimension == 1) {
        constraints = {3};
    } else if (defect.heightStations == 0) {
        constraints = {1, 2};
        if (defect.horizontalStations == 2)
            constraints.insert(constraints.end(), {10, 11});
    } else {
        constraints = {1, 2, 3};
        if (defect.heightStations == 3)
            constraints.insert(constraints.end(), {4, 5, 6, 7});
    }
    for (unsigned c : constraints) {
        ObservationRow row;
        row.kind = ROW_INNER_CONSTRAINT;
        row.source = c;
        Append(e, row);
    }
}

// Up to count stations among the candidates, far apart: the first, the one
// farthest from it, the one farthest from the line through both.
std::vector<unsigned> SpreadStations(const EngineState& e, const std::vector<unsigned>& candidates,
                                     unsigned count) {
    std::vector<unsigned> chosen;
    if (candidates.empty() || count == 0)
        return chosen;
    const StationGeometry& origin = e.geometry[candidates.front()];
    const auto plane = [&](unsigned s) {
        const StationGeometry& g = e.geometry[s];
        const double dLon = std::remainder(g.lon - origin.lon, 2.0 * std::numbers::pi);
        return std::pair{(g.lat - origin.lat) * origin.M, dLon * origin.N * origin.cosLat};
    };
    chosen.push_back(candidates.front());
    const auto farthest = [&](auto measure) {
        unsigned best = 0;
        double largest = -1.0;
        for (unsigned s : candidates) {
            if (std::find(chosen.begin(), chosen.end(), s) != chosen.end())
                continue;
            const double m = measure(plane(s));
            if (m > largest) {
                largest = m;
                best = s;
            }
        }
        return best;
    };
    if (count >= 2) {
        const unsigned second = farthest([](auto p) { return std::hypot(p.first, p.second); });
        if (second != 0)
            chosen.push_back(second);
    }
    if (count >= 3 && chosen.size() == 2) {
        const auto [n2, e2] = plane(chosen[1]);
        const unsigned third = farthest([north = n2, east = e2](auto p) {
            // Structured bindings are copied in: clang 14 cannot capture them.
            return std::fabs(north * p.second - east * p.first);
        });
        if (third != 0)
            chosen.push_back(third);
    }
    return chosen;
}

void TransformationRows(const ProjectState& p, EngineState& e) {
    for (int sub = 1; sub <= kGpsParameters; ++sub) {
        if (e.index.gps[sub] == 0 || p.GPSTransfParObs[sub] == 0)
            continue;
        ObservationRow row;
        row.kind = ROW_TRANSFORMATION;
        row.source = static_cast<std::uint32_t>(sub);
        row.sub = static_cast<std::uint16_t>(sub);
        Append(e, row);
    }
}

} // namespace

MeanPoint InnerConstraintMean(const ProjectState& p, const EngineState& e) {
    MeanPoint mean;
    unsigned count = 0;
    double firstLon = 0.0;
    for (unsigned position = 1; position <= e.order.count; ++position) {
        const unsigned s = e.order.stationAt[position];
        if (!(e.flags[s] & (FLAG_NORTH | FLAG_EAST | FLAG_HEIGHT)))
            continue;
        const StationGeometry& g = e.geometry[s];
        if (count == 0)
            firstLon = g.lon;
        mean.lat += g.lat;
        mean.lon += std::remainder(g.lon - firstLon, 2.0 * std::numbers::pi);
        mean.h += g.h;
        ++count;
    }
    if (count == 0)
        return mean;
    mean.lat /= count;
    mean.lon = firstLon + mean.lon / count;
    mean.h /= count;
    const CEllipsoid& ellipsoid = p.CurrentProjection->GetEllipsoid();
    ellipsoid.EllToXYZ(mean.lat, mean.lon, mean.h, mean.X, mean.Y, mean.Z);
    mean.M = ellipsoid.dMRadCurv(mean.lat);
    mean.N = ellipsoid.dNRadCurv(mean.lat);
    return mean;
}

DatumKind DatumOf(const ProjectState& p, const EngineState& e) {
    if (p.Phase == PHASE_WEIGHTED)
        return DatumKind::WeightedConstraints;
    if (p.Phase == PHASE_CONSTRAINED)
        return DatumKind::Constraints;
    return e.known.empty() ? DatumKind::InnerConstraints : DatumKind::MinimalConstraints;
}

int CoordinatesTitle(const ProjectState& p, const EngineState& e) {
    const bool design = p.AdjDesign != 0;
    switch (DatumOf(p, e)) {
    case DatumKind::MinimalConstraints:
        return design ? 211 : 205;
    case DatumKind::InnerConstraints:
        return design ? 212 : 206;
    case DatumKind::WeightedConstraints:
        return design ? 214 : 208;
    case DatumKind::Constraints:
        return design ? 215 : 209;
    }
    return 205;
}

void AppendKnownCoordinateRows(ProjectState& p, EngineState& e) {
    AllKnownCoordinates(p, e);
    TransformationRows(p, e);
}

int FreeStationsTitle(const ProjectState& p, const EngineState& e) {
    switch (DatumOf(p, e)) {
    case DatumKind::InnerConstraints:
        return STR_TITLE_FREE_INNER;
    case DatumKind::WeightedConstraints:
        return STR_TITLE_FREE_WEIGHTED;
    case DatumKind::Constraints:
        return STR_TITLE_FREE_CONSTRAINED;
    default:
        return STR_TITLE_FREE_MINIMAL;
    }
}

void AppendDatumRows(ProjectState& p, EngineState& e) {
    switch (DatumOf(p, e)) {
    case DatumKind::MinimalConstraints:
        MinimalConstraints(p, e);
        break;
    case DatumKind::InnerConstraints:
        InnerConstraints(p, e);
        break;
    default:
        AllKnownCoordinates(p, e);
        break;
    }
    TransformationRows(p, e);
}

int CheckCounts(ProjectState& p, const EngineState& e) {
    const std::size_t observations = e.Rows();
    const std::size_t unknowns = e.Unknowns();
    if (unknowns == 0) {
        p.Messages.AddMessage(STR_NO_UNKNOWNS, MSG_ERROR, REF_NONE, CStringL(STR_NO_UNKNOWNS));
        return 0;
    }
    if (observations < unknowns) {
        CKZString text;
        text.Format(L"%s %u %s %u", CStringL(STR_UNKNOWNS).c_str(), static_cast<unsigned>(unknowns),
                    CStringL(STR_GREATER_THAN_OBSERVATIONS).c_str(),
                    static_cast<unsigned>(observations));
        p.Messages.AddMessage(STR_UNKNOWNS, MSG_ERROR, REF_NONE, text);
        return 0;
    }
    if (p.Phase == PHASE_FREE) {
        const unsigned datum = e.counts.datum + e.counts.innerConstraints;
        const auto warn = [&](int id) {
            p.Messages.AddMessage(id, MSG_WARNING, REF_NONE, CStringL(id));
        };
        if (e.counts.distances > 0 && e.unknownCounts.scaleFactors == 0 && datum > 2)
            warn(STR_FREE_SCALE_FIXED);
        if (e.counts.azimuths > 0 && e.unknownCounts.azimuthOffsets == 0 && datum > 2)
            warn(STR_FREE_AZIMUTH_OFFSET_FIXED);
        if (datum > 0 && datum + e.counts.transformation > 7)
            warn(STR_FREE_GPS_FIXED);
    }
    return 1;
}

void HoldInnerConstraintDatum(const ProjectState& p, EngineState& e) {
    InnerConstraintRows& inner = e.system.inner;
    inner.held.clear();
    inner.heldWeight.clear();
    const Defect defect = DefectOf(p, e);
    std::vector<unsigned> horizontal, vertical;
    for (unsigned position = 1; position <= e.order.count; ++position) {
        const unsigned s = e.order.stationAt[position];
        if (e.index.north[s] != 0 && e.index.east[s] != 0)
            horizontal.push_back(s);
        if (e.index.height[s] != 0)
            vertical.push_back(s);
    }
    std::vector<std::uint32_t> held;
    for (unsigned s : SpreadStations(e, horizontal, defect.horizontalStations)) {
        held.push_back(e.index.north[s]);
        held.push_back(e.index.east[s]);
    }
    for (unsigned s : SpreadStations(e, vertical, defect.heightStations))
        held.push_back(e.index.height[s]);
    // W_k = n(k, k) (N's, with nothing held yet): B's diagonal twice N's
    // there keeps B as well scaled as N.
    std::vector<double> column(e.Unknowns() + 1, 0.0);
    std::vector<double> weights;
    for (std::uint32_t k : held) {
        ScatterNormalColumn(e.system, k, column);
        const double n = column[k];
        std::fill(column.begin(), column.end(), 0.0);
        weights.push_back(n > 0.0 ? n : 1.0);
    }
    inner.held = std::move(held);
    inner.heldWeight = std::move(weights);
}

InnerConstraintCoefficients InnerConstraint(const ProjectState& p, const EngineState& e,
                                            unsigned constraint, unsigned station,
                                            const MeanPoint& m) {
    const StationGeometry& g = e.geometry[station];
    const double sp = g.sinLat, cp = g.cosLat, sl = g.sinLon, cl = g.cosLon;
    const bool plane = p.Dimension == 2 && DefectOf(p, e).heightStations == 0;
    switch (constraint) {
    case 1:
        return plane ? InnerConstraintCoefficients{0.0, 1.0, 0.0}
                     : InnerConstraintCoefficients{-sp * cl, -sl, cp * cl};
    case 2:
        return plane ? InnerConstraintCoefficients{1.0, 0.0, 0.0}
                     : InnerConstraintCoefficients{-sp * sl, cl, cp * sl};
    case 3:
        return p.Dimension == 1 ? InnerConstraintCoefficients{0.0, 0.0, 1.0}
                                : InnerConstraintCoefficients{cp, 0.0, sp};
    default:
        break;
    }
    if (constraint >= 4 && constraint <= 7) {
        double x = 0, y = 0, z = 0;
        p.CurrentProjection->GetEllipsoid().EllToXYZ(g.lat, g.lon, g.h, x, y, z);
        const double X = x - m.X, Y = y - m.Y, Z = z - m.Z;
        switch (constraint) {
        case 4:
            return {-sp * sl * Z - cp * Y, cl * Z, cp * sl * Z - sp * Y};
        case 5:
            return {cp * X + sp * cl * Z, sl * Z, sp * X - cp * cl * Z};
        case 6:
            return {sp * sl * X - sp * cl * Y, -sl * Y - cl * X, cp * cl * Y - cp * sl * X};
        default:
            return {cp * Z - sp * cl * X - sp * sl * Y, cl * Y - sl * X,
                    sp * Z + cp * sl * Y + cp * cl * X};
        }
    }
    const double dLon = std::remainder(g.lon - m.lon, 2.0 * std::numbers::pi);
    const double n = 0.5 * ((g.M + g.h) + (m.M + m.h)) * (g.lat - m.lat);
    const double east = 0.5 * ((g.N + g.h) * cp + (m.N + m.h) * std::cos(m.lat)) * dLon;
    if (constraint == 10)
        return {-east, n, 0.0};
    return {n, east, 0.0};
}

} // namespace Tavex
