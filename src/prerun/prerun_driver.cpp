#include "prerun/prerun_driver.h"

#include "engine/datum_rows.h"
#include "engine/fill_system.h"
#include "engine/network_setup.h"
#include "output/prerun_output.h"
#include "prerun/approximate_check.h"
#include "prerun/check_rows.h"
#include "prerun/coinciding_stations.h"
#include "prerun/defect_detection.h"
#include "prerun/identical_observations.h"
#include "prerun/repeated_observations.h"
#include "project/settings_check.h"
#include "resources/string_ids.h"
#include "testing/distributions.h"

namespace Tavex {

namespace {

// The steps; the caller frees the engine's tables whatever they return.
int Steps(ProjectState& p, EngineState& e, Progress& progress) {
    if (!progress.Stage(STR_STAGE_PRERUN))
        return 0;
    if (!CheckPreRunSettings(p) || !SetUpNetwork(p, e))
        return 0;
    AppendKnownCoordinateRows(p, e);
    e.phaseOfWeights = 1; // known coordinates fixed
    if (!FillSystem(p, e, progress))
        return 0;
    const bool design = p.AdjDesign != 0;
    PreRunSummary summary;
    summary.design = design;
    // The W-test critical value: the standard normal quantile at 1 − α0/2.
    summary.criticalW = InverseNormal(1.0 - p.Alfa0 / 2.0);
    CVelnikResultsPtrArray results;
    if (!DetectConfigurationDefects(p, e, progress, results))
        return 0;
    if (!design) {
        if (!progress.Stage(STR_STAGE_CHECK_OBSERVATIONS))
            return 0;
        const std::vector<CheckRow> rows = CheckRows(p, e);
        CheckRepeatedObservations(p, rows, summary.criticalW, results);
        CheckAgainstApproximateCoordinates(p, rows, summary.criticalW, results);
        CheckIdenticalObservations(p, e, summary.criticalW, results);
    }
    if (!progress.Stage(STR_STAGE_CHECK_COINCIDING))
        return 0;
    if (p.Dimension != 1)
        CheckCoincidingStations(p, results);
    switch (p.OutputForm()) {
    case 1:
        if (!WritePreRunReport(p, results, summary))
            return 0;
        break;
    case 2:
        if (WritePreRunDocument(p, results, summary) != 0)
            return 0;
        break;
    default:
        break;
    }
    return progress.Stage(STR_STAGE_END_OF_PROGRAM) ? 1 : 0;
}

} // namespace

int RunPreRun(ProjectState& p, EngineState& e, Progress& progress) {
    e.Free();
    const int result = Steps(p, e, progress);
    e.Free();
    return result;
}

} // namespace Tavex
