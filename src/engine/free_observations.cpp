#include "engine/free_observations.h"

#include "engine/build_rows.h"
#include "engine/engine_state.h"
#include "messages/no_memory.h"
#include "project/project_state.h"
#include "resources/string_ids.h"

#include <algorithm>
#include <new>

namespace Tavex {

namespace {

// Whether a record has a reading that is switched on.
bool HasUsedReading(const CObservation& o) {
    for (int i = 0; i < 3; ++i)
        if (o.Type[i] != OBS_NONE && o.Off[i] == 0)
            return true;
    return false;
}

bool HoldsType(const CObservation& o, std::uint16_t type) {
    for (int i = 0; i < 3; ++i)
        if (o.Type[i] == type && o.Off[i] == 0)
            return true;
    return false;
}

// How firmly the records and the known-station table tie each station.
std::vector<unsigned> TieCounts(const ProjectState& p, const Participation& part) {
    std::vector<unsigned> count(p.StationCount + 1, 0);
    for (int k = 1; k < p.Observations.GetSize(); ++k) {
        const CObservation& o = *p.Observations.GetAt(k);
        if (!part.observation[static_cast<std::size_t>(k)] || !HasUsedReading(o))
            continue;
        const bool single = o.IsSingleStation();
        count[o.Station] += 1;
        if (!single)
            count[o.Target] += 1;
        // Readings that fix more than a line: an azimuth or a GPS coordinate
        // first, a relation or local coordinates anywhere.
        const bool firm = (o.Type[0] == OBS_AZIMUTH && o.Off[0] == 0) || o.IsGpsCoordinate() ||
                          HoldsType(o, OBS_GEOMETRIC_RELATION) ||
                          HoldsType(o, OBS_LOCAL_COORDINATE);
        if (firm) {
            count[o.Station] += 1;
            if (!single && !o.IsGpsCoordinate())
                count[o.Target] += 1;
        }
        // Third and fourth stations of relations would count 2 each; the
        // records name none.
    }
    for (unsigned k = 1; k <= p.KnownCount; ++k)
        count[p.Known[k].Station] += 2;
    return count;
}

} // namespace

const FreeObservation* FreeObservations::OfObservation(std::uint32_t observation) const {
    for (const FreeObservation& f : list)
        if (f.observation == observation)
            return &f;
    return nullptr;
}

int DetectFreeObservations(ProjectState& p, Participation& part, EngineState& e) {
    try {
        FreeObservations& free = e.freeObservations;
        free = FreeObservations{};
        const Participation before = part;
        free.ofStation.assign(p.StationCount + 1, 0);
        const std::vector<unsigned> count = TieCounts(p, part);
        for (int k = 1; k < p.Observations.GetSize(); ++k) {
            const CObservation& o = *p.Observations.GetAt(k);
            if (!part.observation[static_cast<std::size_t>(k)] || !HasUsedReading(o) ||
                o.IsSingleStation())
                continue;
            // The record's free end; a record whose both ends hang on it
            // alone ties nothing to the network and is left to the main
            // adjustment (which reports what it cannot determine).
            const bool stationFree = part.station[o.Station] && count[o.Station] == 1;
            const bool targetFree = part.station[o.Target] && count[o.Target] == 1;
            if (stationFree == targetFree)
                continue;
            FreeObservation f;
            f.observation = static_cast<std::uint32_t>(k);
            f.freeStation = stationFree ? o.Station : o.Target;
            f.heldStation = stationFree ? o.Target : o.Station;
            free.list.push_back(f);
            free.ofStation[f.freeStation] = static_cast<std::uint32_t>(free.list.size());
            part.observation[static_cast<std::size_t>(k)] = 0;
            part.station[f.freeStation] = 0;
        }
        // Side shots need a network to hang on: when they are all there is,
        // they stay in the one adjustment.
        if (std::find(part.observation.begin(), part.observation.end(), 1) ==
            part.observation.end()) {
            part = before;
            free = FreeObservations{};
        }
    } catch (const std::bad_alloc&) {
        return ReportNoMemory(p.Messages, STR_NO_MEMORY_COMPUTE, STR_OBJECT_UNKNOWNS_AND_ROWS);
    }
    return 1;
}

} // namespace Tavex
