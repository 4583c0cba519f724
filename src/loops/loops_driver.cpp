#include "loops/loops_driver.h"

#include "loops/loop_legs.h"
#include "loops/loop_misclosures.h"
#include "loops/loop_orientation.h"
#include "loops/loop_search.h"
#include "loops/station_graph.h"
#include "messages/no_memory.h"
#include "messages/string_loader.h"
#include "resources/string_ids.h"
#include "testing/critical_values.h"

#include <new>

namespace Tavex {

namespace {

// Above this many loops the progress line is refreshed every kProgressStep
// loops only, so that a large network does not spend its time redrawing.
constexpr std::size_t kProgressStep = 1000;

void WarnLeftOut(ProjectState& p, LoopFamily family) {
    for (std::uint32_t record : LeftOutOfLegs(p, family)) {
        CKZString text;
        text.Format(CStringL(STR_LEFT_OUT_OF_LOOPS).c_str(), record);
        p.Messages.AddMessage(STR_LEFT_OUT_OF_LOOPS, MSG_WARNING, REF_OBSERVATIONS, text, record);
    }
}

std::unique_ptr<CLoopResults> Misclosure(const LoopNetwork& network, LoopFamily family,
                                         const LegTable& legs, const DirectionIndex& directions,
                                         std::uint32_t* stations, std::size_t n) {
    switch (family) {
    case LoopFamily::Gps:
        OrientLoop(network, stations, n);
        return GpsMisclosure(network, legs, stations, n);
    case LoopFamily::Height:
        OrientLoop(network, stations, n);
        return HeightMisclosure(network, legs, stations, n);
    case LoopFamily::Trigonometric:
        return TrigonometricMisclosure(network, legs, stations, n);
    case LoopFamily::Traverse:
        break;
    }
    return TraverseMisclosure(network, legs, directions, stations, n);
}

// One kind: its graph, its loops and their misclosures. Returns 0 after the
// message of a failure.
int Family(ProjectState& p, const LoopNetwork& network, const DirectionIndex& directions,
           const LoopFamilyTexts& texts, Progress& progress, CLoopResultsPtrArray& results,
           std::size_t& wanted) {
    WarnLeftOut(p, texts.family);
    LegTable legs;
    StationGraph graph;
    try {
        legs = CollectLegs(p, texts.family);
        graph = BuildStationGraph(legs, p.StationCount);
    } catch (const std::bad_alloc&) {
        return ReportNoMemory(p.Messages, STR_NO_MEMORY_COMPUTE, STR_OBJECT_STATIONS_AND_EDGES);
    }
    wanted = graph.LoopsWanted();
    LoopSet loops;
    try {
        const bool searched = SearchLoops(graph, loops, [&](std::size_t found, std::size_t all) {
            if (all > kProgressStep && found % kProgressStep != 0 && found != all)
                return true;
            return progress.Stage(texts.foundStage, static_cast<unsigned>(found));
        });
        if (!searched)
            return 0;
        if (!progress.Stage(texts.computeStage))
            return 0;
        for (std::size_t k = 0; k < loops.Count(); ++k)
            results.Add(Misclosure(network, texts.family, legs, directions, loops.Stations(k),
                                   loops.Size(k))
                            .release());
    } catch (const std::bad_alloc&) {
        return ReportNoMemory(p.Messages, STR_NO_MEMORY_COMPUTE, STR_OBJECT_NETWORK_LOOPS);
    }
    return 1;
}

} // namespace

int FindLoops(ProjectState& p, Progress& progress, CLoopResultsPtrArray& results,
              LoopRunSummary& summary) {
    if (!progress.Stage(STR_STAGE_LOOPS))
        return 0;
    // Only the W-test's critical value is used; the redundancy of a loop's
    // test is that of a two-dimensional one.
    CriticalValues values;
    if (!ComputeLoopCriticalValues(p.Alfa0, p.Beta, values)) {
        CKZString text;
        text.Format(CStringL(STR_SETTING_OUT_OF_RANGE).c_str(), "Alfa0/Beta", p.Alfa0);
        p.Messages.AddMessage(STR_SETTING_OUT_OF_RANGE, MSG_ERROR, REF_NONE, text);
        return 0;
    }
    summary.criticalW = values.criticalW;
    try {
        const LoopNetwork network = MakeLoopNetwork(p, values.criticalW);
        DirectionIndex directions;
        if (p.Dimension != 1)
            directions = IndexDirections(p);
        for (std::size_t f = 0; f < kLoopFamilies.size(); ++f) {
            const LoopFamilyTexts& texts = kLoopFamilies[f];
            if (p.Dimension == texts.skippedIn)
                continue;
            summary.examined[f] = true;
            if (!Family(p, network, directions, texts, progress, results, summary.wanted[f]))
                return 0;
        }
    } catch (const std::bad_alloc&) {
        return ReportNoMemory(p.Messages, STR_NO_MEMORY_COMPUTE, STR_OBJECT_NETWORK_LOOPS);
    }
    return 1;
}

int RunLoops(ProjectState& p, Progress& progress, CLoopResultsPtrArray& results) {
    LoopRunSummary summary;
    if (!FindLoops(p, progress, results, summary))
        return 0;
    switch (p.OutputForm()) {
    case 1:
        if (!WriteLoopReport(p, results, summary))
            return 0;
        break;
    case 2:
        if (WriteLoopDocument(p, results, summary) != 0)
            return 0;
        break;
    default:
        break;
    }
    return progress.Stage(STR_STAGE_END_OF_PROGRAM) ? 1 : 0;
}

} // namespace Tavex
