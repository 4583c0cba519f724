#include "cogo/cogo_driver.h"

#include "cogo/cogo_methods.h"
#include "cogo/observation_legs.h"
#include "cogo/plane_system.h"
#include "messages/no_memory.h"
#include "output/cogo_output.h"
#include "resources/string_ids.h"

#include <new>

namespace Tavex {

namespace {

constexpr double kTolerance = 2.0; // metres, both fits

using Method = int (*)(const ProjectState&, CogoState&);
struct NamedMethod {
    Method run;
    int objectId; // the name an allocation failure reports
};

constexpr NamedMethod kFreeRound[] = {
    {PolygonTraverse, STR_OBJECT_POLYGON},
    {PolygonNetwork, STR_OBJECT_POLYGON},
    {ChainAndOffset, STR_OBJECT_CHAIN_OFFSET},
    {Resection, STR_OBJECT_RESECTION},
    {Intersection, STR_OBJECT_INTERSECTION},
    {DoubleDistanceRelations, STR_OBJECT_INTERSECTION},
    {IdenticalStationRelations, STR_OBJECT_APPROXIMATE_COORDINATES},
};

constexpr NamedMethod kAnchoredRound[] = {
    {Resection, STR_OBJECT_RESECTION},
    {PolygonTraverse, STR_OBJECT_POLYGON},
    {PolygonNetwork, STR_OBJECT_POLYGON},
    {ChainAndOffset, STR_OBJECT_CHAIN_OFFSET},
    {Intersection, STR_OBJECT_INTERSECTION},
    {DoubleDistanceRelations, STR_OBJECT_INTERSECTION},
    {IdenticalStationRelations, STR_OBJECT_APPROXIMATE_COORDINATES},
};

int RunMethod(ProjectState& p, CogoState& c, const NamedMethod& m) {
    try {
        if (m.run(p, c))
            return 1;
    } catch (const std::bad_alloc&) {
    }
    return ReportNoMemory(p.Messages, STR_NO_MEMORY_COMPUTE, m.objectId);
}

// Rounds until one computes no new station.
template <std::size_t N>
int Rounds(ProjectState& p, CogoState& c, const NamedMethod (&methods)[N], Progress& progress,
           bool& shown) {
    for (;;) {
        const unsigned before = c.ComputedCount();
        for (const NamedMethod& m : methods)
            if (!RunMethod(p, c, m))
                return 0;
        const unsigned after = c.ComputedCount();
        if (after != 0 && !shown) {
            shown = true;
            if (!progress.Stage(STR_STAGE_APPROXIMATE_COORDINATES))
                return 0;
        }
        if (after == before)
            return 1;
    }
}

// Step 7: the fit of the free solution onto the known stations it holds;
// whether it was applied.
bool FitFreeSolution(const ProjectState& p, CogoState& c, Progress& progress, bool& cancelled) {
    std::vector<unsigned> list;
    for (unsigned k = 1; k <= p.KnownCount; ++k) {
        const unsigned s = p.Known[k].Station;
        if (s >= 1 && s <= c.n && c.computed[s] && !c.excluded[s] && c.knownHorizontal[s])
            list.push_back(s);
    }
    if (list.size() == 1 && c.inRealPlane) {
        // A solution in the real plane that holds one known station: moved
        // onto it. Only a GPS network placed at a station's approximate
        // position moves; one started at the known station already sits
        // there.
        const unsigned s = list.front();
        const double de = c.knownPlane[s].e - c.plane[s].e, dn = c.knownPlane[s].n - c.plane[s].n;
        for (unsigned u = 1; u <= c.n; ++u)
            if (c.computed[u])
                c.plane[u] = {c.plane[u].e + de, c.plane[u].n + dn};
    }
    if (list.size() < 2)
        return false;
    cancelled = !progress.Stage(STR_STAGE_FIT_KNOWN_COORDINATES);
    c.planeFitTried = true;
    c.planeFit = FitPlaneWithRejection(c.plane, c.knownPlane, c.computed, list, c.planeTolerance);
    return c.planeFit.applied;
}

// Step 9: the known stations the solution does not hold, at their known
// positions; whether any was added.
bool AddKnownStations(CogoState& c) {
    bool added = false;
    for (unsigned s = 1; s <= c.n; ++s)
        if (c.knownHorizontal[s] && c.Open(s)) {
            c.Place(s, c.knownPlane[s]);
            added = true;
        }
    return added;
}

int PlanePhase(ProjectState& p, CogoState& c, Progress& progress) {
    try {
        IndexObservations(p, c);
        BuildPolygonEdges(p, c);
    } catch (const std::bad_alloc&) {
        return ReportNoMemory(p.Messages, STR_NO_MEMORY_COMPUTE, STR_OBJECT_POLYGON_EDGES);
    }
    bool shown = false;
    if (!Rounds(p, c, kFreeRound, progress, shown))
        return 0;
    bool cancelled = false;
    const bool fitted = FitFreeSolution(p, c, progress, cancelled);
    if (cancelled)
        return 0;
    // A free solution in an arbitrary system that no fit carried into the
    // plane system is of no use.
    if (!fitted && !c.inRealPlane)
        for (unsigned s = 1; s <= c.n; ++s)
            c.computed[s] = 0;
    if (AddKnownStations(c) && !Rounds(p, c, kAnchoredRound, progress, shown))
        return 0;
    for (unsigned s = 1; s <= c.n; ++s)
        if (c.computed[s] && !ToGeographic(c, c.plane[s], c.lat[s], c.lon[s]))
            c.computed[s] = 0; // no geographic image: not computed after all
    return 1;
}

int HeightPhase(ProjectState& p, CogoState& c, Progress& progress) {
    try {
        BuildHeightLegs(p, c);
    } catch (const std::bad_alloc&) {
        return ReportNoMemory(p.Messages, STR_NO_MEMORY_COMPUTE, STR_OBJECT_POLYGON_EDGES);
    }
    bool added = false;
    for (;;) {
        unsigned before = 0, after = 0;
        for (unsigned s = 1; s <= c.n; ++s)
            before += c.heightFlag[s] ? 1u : 0u;
        HeightTraverse(p, c);
        IdenticalHeightRelations(p, c);
        for (unsigned s = 1; s <= c.n; ++s)
            after += c.heightFlag[s] ? 1u : 0u;
        added |= after > 0;
        if (after == before)
            break;
    }
    if (added && !progress.Stage(STR_STAGE_APPROXIMATE_HEIGHTS))
        return 0;
    if (!progress.Stage(STR_STAGE_FIT_KNOWN_HEIGHTS))
        return 0;
    std::vector<unsigned> list;
    for (unsigned k = 1; k <= p.KnownCount; ++k) {
        const unsigned s = p.Known[k].Station;
        if (s >= 1 && s <= c.n && c.knownHeight[s] && c.heightFlag[s] && !c.excluded[s])
            list.push_back(s);
    }
    c.heightFitTried = !list.empty();
    c.heightFit = FitHeightsWithRejection(c.height, c.knownHeightValue, c.heightFlag, list,
                                          c.heightTolerance);
    return 1;
}

} // namespace

int ComputeCogo(ProjectState& p, Progress& progress, CogoState& c) {
    try {
        SizeCogoState(c, p.StationCount);
    } catch (const std::bad_alloc&) {
        return ReportNoMemory(p.Messages, STR_NO_MEMORY_COMPUTE,
                              STR_OBJECT_APPROXIMATE_COORDINATES);
    }
    const bool plane = SetUpPlaneSystem(p, c);
    if (plane)
        LoadStations(p, c);
    c.planeTolerance = c.heightTolerance = kTolerance;
    if (plane && !PlanePhase(p, c, progress))
        return 0;
    if (plane && !HeightPhase(p, c, progress))
        return 0;
    return 1;
}

int RunApproximateCoordinates(ProjectState& p, Progress& progress, CogoResults& results) {
    CogoState c;
    if (!ComputeCogo(p, progress, c))
        return 0;
    switch (p.OutputForm()) {
    case 1:
        if (!WriteCogoReport(p, c))
            return 0;
        break;
    case 2:
        if (WriteCogoDocument(p, c) != 0)
            return 0;
        break;
    default:
        break;
    }
    results.assign(c.n + 1, CogoStationResult{});
    for (unsigned s = 1; s <= c.n; ++s) {
        CogoStationResult& r = results[s];
        r.horizontal = c.computed[s] != 0;
        r.lat = c.lat[s];
        r.lon = c.lon[s];
        r.height = c.heightFlag[s] != 0;
        r.h = c.height[s];
    }
    return 1;
}

} // namespace Tavex
