#include "engine/station_checks.h"

#include "messages/string_loader.h"
#include "resources/string_ids.h"

namespace Tavex {

namespace {

// The observation components an observation contributes to the position of
// each of its stations in the given dimension.
unsigned Components(const CObservation& o, int dimension) {
    if (o.IsGpsBaseline() || o.IsGpsCoordinate())
        return dimension == 1 ? 0u : (dimension == 2 ? 2u : 3u);
    unsigned count = 0;
    bool distance = false, zenith = false;
    for (int i = 0; i < 3; ++i) {
        if (o.Off[i] != 0)
            continue;
        switch (o.Type[i]) {
        case OBS_DIRECTION:
        case OBS_AZIMUTH:
        case OBS_GEOMETRIC_RELATION:
            count += dimension == 1 ? 0 : 1;
            break;
        case OBS_DISTANCE:
            distance = true;
            count += dimension == 1 ? 0 : 1;
            break;
        case OBS_ZENITH:
            zenith = true;
            count += dimension == 3 ? 1 : 0;
            break;
        case OBS_HEIGHT_DIFFERENCE:
            count += dimension == 2 ? 0 : 1;
            break;
        case OBS_LOCAL_COORDINATE: // slots 1 and 2 east and north, slot 3 height
            count += (i == 2 ? dimension != 2 : dimension != 1) ? 1 : 0;
            break;
        default:
            break;
        }
    }
    if (dimension == 1 && distance && zenith)
        ++count; // a trigonometric height difference
    return count;
}

bool IsKnown(const ProjectState& p, unsigned station) {
    for (unsigned k = 1; k <= p.KnownCount; ++k)
        if (p.Known[k].Station == station)
            return true;
    return false;
}

// Leaves out every observation that touches a station that does not take part.
void ExcludeObservations(const ProjectState& p, Participation& part) {
    for (int k = 1; k < p.Observations.GetSize(); ++k) {
        const CObservation& o = *p.Observations.GetAt(k);
        const bool stationOut = !part.station[o.Station];
        const bool targetOut = !o.IsSingleStation() && !part.station[o.Target];
        if (stationOut || targetOut)
            part.observation[static_cast<std::size_t>(k)] = 0;
    }
}

std::vector<unsigned> ComponentCounts(const ProjectState& p, const Participation& part) {
    std::vector<unsigned> count(p.StationCount + 1, 0);
    for (int k = 1; k < p.Observations.GetSize(); ++k) {
        if (!part.observation[static_cast<std::size_t>(k)])
            continue;
        const CObservation& o = *p.Observations.GetAt(k);
        const unsigned c = Components(o, p.Dimension);
        count[o.Station] += c;
        if (!o.IsSingleStation())
            count[o.Target] += c;
    }
    return count;
}

} // namespace

Participation CheckStations(ProjectState& p) {
    Participation part;
    part.station.assign(p.StationCount + 1, 0);
    part.observation.assign(static_cast<std::size_t>(p.Observations.GetSize()), 1);
    part.observation[0] = 0;
    for (unsigned s = 1; s <= p.StationCount; ++s)
        part.station[s] = p.Stations[s].Excluded ? 0 : 1;
    ExcludeObservations(p, part);

    if (p.Phase == PHASE_FREE) {
        const unsigned needed = ComponentsToFix(p.Dimension);
        for (bool changed = true; changed;) {
            changed = false;
            const std::vector<unsigned> count = ComponentCounts(p, part);
            for (unsigned s = 1; s <= p.StationCount; ++s) {
                if (!part.station[s] || count[s] == 0 || count[s] >= needed || IsKnown(p, s))
                    continue;
                part.station[s] = 0;
                changed = true;
                CKZString text;
                text.Format(CStringL(STR_STATION_DESELECTED).c_str(), p.Stations[s].Name.c_str());
                p.Messages.AddMessage(STR_STATION_DESELECTED, MSG_WARNING, REF_STATIONS, text, s);
            }
            if (changed)
                ExcludeObservations(p, part);
        }
    }
    const std::vector<unsigned> count = ComponentCounts(p, part);
    std::vector<char> touched(p.StationCount + 1, 0);
    for (int k = 1; k < p.Observations.GetSize(); ++k) {
        if (!part.observation[static_cast<std::size_t>(k)])
            continue;
        const CObservation& o = *p.Observations.GetAt(k);
        touched[o.Station] = 1;
        if (!o.IsSingleStation())
            touched[o.Target] = 1;
    }
    for (unsigned s = 1; s <= p.StationCount; ++s) {
        if (!part.station[s] || touched[s])
            continue;
        CKZString text = CStringL(STR_STATION_NO_OBSERVATIONS);
        text += L" ";
        text += p.Stations[s].Name;
        p.Messages.AddMessage(STR_STATION_NO_OBSERVATIONS, MSG_WARNING, REF_STATIONS, text, s);
    }
    (void)count;
    return part;
}

} // namespace Tavex
