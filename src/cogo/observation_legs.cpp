#include "cogo/observation_legs.h"

#include "engine/observation_model.h"

#include <cmath>

namespace Tavex {

namespace {

bool Reading(const CObservation& o, int slot, std::uint16_t type) {
    return o.Type[slot] == type && o.Off[slot] == 0;
}

int SlotOf(const CObservation& o, std::uint16_t type) {
    for (int i = 0; i < 3; ++i)
        if (Reading(o, i, type))
            return i;
    return -1;
}

bool TwoStations(const CogoState& c, const CObservation& o) {
    return !o.IsSingleStation() && o.Station >= 1 && o.Station <= c.n && o.Target >= 1 &&
           o.Target <= c.n && o.Station != o.Target;
}

double Refraction(const ProjectState& p, unsigned group) {
    return group < kGroupCount ? p.RefractionCoef[group] : 0.0;
}

double Scale(const ProjectState& p, unsigned group) {
    const double scale = group < kGroupCount ? p.ScaleFactor[group] : 1.0;
    return scale > 0.0 ? scale : 1.0;
}

// The horizontal distance of a distance reading, in the horizon (metres),
// before the group's scale factor.
double HorizontalOf(const ProjectState& p, const CObservation& o, int slot) {
    const double s = o.Reading[slot];
    const int zenith = SlotOf(o, OBS_ZENITH);
    const bool horizontal = o.DistanceCode == 1 || (o.DistanceCode == 3 && zenith < 0);
    if (horizontal || zenith < 0)
        return s;
    // A zenith angle read in the second face (z > π) counts as 2π − z.
    return ReduceToHorizontal(s, FirstFaceZenith(o.Reading[zenith]), Refraction(p, o.Sub[zenith]),
                              p.MeanEarthRadius)
        .value;
}

// The plane distance of the observation's distance reading, or negative.
double PlaneDistanceOf(const ProjectState& p, const CogoState& c, const CObservation& o) {
    const int slot = SlotOf(o, OBS_DISTANCE);
    if (slot >= 0)
        return HorizontalOf(p, o, slot) / Scale(p, o.Sub[slot]) * c.distanceToPlane;
    for (int i = 0; i < 3; ++i)
        if (Reading(o, i, OBS_GEOMETRIC_RELATION) && o.Sub[i] == RELATION_TAPE_DISTANCE)
            return RelationLengthToPlane(p, c, o.Reading[i]);
    return -1.0;
}

bool GpsDifferences(const CObservation& o, double d[3]) {
    if (!o.IsGpsBaseline())
        return false;
    for (int i = 0; i < 3; ++i) {
        if (o.Type[i] != OBS_GPS_BASELINE || o.Off[i] != 0 || o.Sub[i] > 2)
            return false;
        d[o.Sub[i]] = o.Reading[i];
    }
    return true;
}

void AddBothWays(std::vector<CogoLeg>& legs, CogoLeg leg, int components) {
    legs.push_back(leg);
    std::swap(leg.from, leg.to);
    for (int i = 0; i < components; ++i)
        leg.v[i] = -leg.v[i];
    legs.push_back(leg);
}

// Starts the leg of a two-station observation from its station to its
// target; a GPS baseline is complete with its coordinate differences and is
// added to the table both ways at once (then true).
bool StartLeg(const CObservation& o, CogoLeg& leg, std::vector<CogoLeg>& table) {
    leg.from = o.Station;
    leg.to = o.Target;
    if (!GpsDifferences(o, leg.v))
        return false;
    leg.type = LEG_GPS;
    AddBothWays(table, leg, 3);
    return true;
}

} // namespace

double RelationLengthToPlane(const ProjectState& p, const CogoState& c, double length) {
    return length / Scale(p, 0) * c.distanceToPlane;
}

double DistanceBetween(const CogoState& c, unsigned a, unsigned b) {
    for (const DistanceReading& d : c.distancesAt[a])
        if (d.other == b)
            return d.d;
    return -1.0;
}

void IndexObservations(const ProjectState& p, CogoState& c) {
    for (int k = 1; k < p.Observations.GetSize(); ++k) {
        const CObservation* o = p.Observations.GetAt(k);
        if (o == nullptr || !TwoStations(c, *o) || o->IsGps())
            continue;
        const int direction = SlotOf(*o, OBS_DIRECTION);
        if (direction >= 0) {
            c.directionsAt[o->Station].push_back(
                {o->Target, o->Sub[direction], o->Reading[direction]});
            c.directionsTo[o->Target].push_back(
                {o->Station, o->Sub[direction], o->Reading[direction]});
        }
        const double d = PlaneDistanceOf(p, c, *o);
        if (d > 0.0) {
            c.distancesAt[o->Station].push_back({o->Target, d});
            c.distancesAt[o->Target].push_back({o->Station, d});
        }
    }
}

void BuildPolygonEdges(const ProjectState& p, CogoState& c) {
    c.edges.clear();
    for (int k = 1; k < p.Observations.GetSize(); ++k) {
        const CObservation* o = p.Observations.GetAt(k);
        if (o == nullptr || !TwoStations(c, *o))
            continue;
        CogoLeg leg;
        if (StartLeg(*o, leg, c.edges))
            continue;
        double distance = PlaneDistanceOf(p, c, *o);
        if (!(distance > 0.0))
            distance = DistanceBetween(c, o->Station, o->Target);
        if (!(distance > 0.0))
            continue;
        for (const std::uint16_t type : {OBS_DIRECTION, OBS_AZIMUTH}) {
            const int slot = SlotOf(*o, type);
            if (slot < 0)
                continue;
            leg.type = type == OBS_DIRECTION ? LEG_DIRECTION : LEG_AZIMUTH;
            leg.sub = o->Sub[slot];
            leg.v[0] = o->Reading[slot];
            leg.v[1] = distance;
            c.edges.push_back(leg);
        }
    }
}

void BuildHeightLegs(const ProjectState& p, CogoState& c) {
    c.heightLegs.clear();
    for (int k = 1; k < p.Observations.GetSize(); ++k) {
        const CObservation* o = p.Observations.GetAt(k);
        if (o == nullptr || !TwoStations(c, *o))
            continue;
        CogoLeg leg;
        if (StartLeg(*o, leg, c.heightLegs))
            continue;
        leg.type = LEG_HEIGHT;
        const int levelled = SlotOf(*o, OBS_HEIGHT_DIFFERENCE);
        if (levelled >= 0) {
            leg.v[0] = o->Reading[levelled] + o->StationHeight - o->TargetHeight;
            AddBothWays(c.heightLegs, leg, 1);
            continue;
        }
        const int distance = SlotOf(*o, OBS_DISTANCE), zenith = SlotOf(*o, OBS_ZENITH);
        if (distance < 0 || zenith < 0)
            continue;
        const double refraction = Refraction(p, o->Sub[zenith]);
        const double z = FirstFaceZenith(o->Reading[zenith]);
        const double scale = Scale(p, o->Sub[distance]);
        if (o->DistanceCode == 1) {
            // A horizontal distance D with its zenith angle.
            const double d = o->Reading[distance] / scale;
            const double t = std::tan(z);
            if (!(std::fabs(t) > 1e-12))
                continue;
            leg.v[0] = d / t + (1.0 - refraction) * d * d / (2.0 * p.MeanEarthRadius) +
                       o->StationHeight - o->TargetHeight;
        } else {
            leg.v[0] = TrigonometricHeight(o->Reading[distance] / scale, z, refraction,
                                           p.MeanEarthRadius, o->StationHeight, o->TargetHeight)
                           .value;
        }
        AddBothWays(c.heightLegs, leg, 1);
    }
}

} // namespace Tavex
