#include "interface/run_computations.h"

#include "cogo/cogo_driver.h"
#include "engine/adjustment.h"
#include "interface/adjustment_handback.h"
#include "loops/loops_driver.h"
#include "messages/string_loader.h"
#include "output/adjustment_output.h"
#include "output/covariance_output.h"
#include "prerun/prerun_driver.h"
#include "project/input_check.h"
#include "resources/string_ids.h"

namespace Tavex {

int ReportNotAvailable(ProjectState& project, int runNameId) {
    CKZString text;
    text.Format(CStringL(STR_COMPUTATION_NOT_AVAILABLE).c_str(), CStringL(runNameId).c_str());
    project.Messages.AddMessage(STR_COMPUTATION_NOT_AVAILABLE, MSG_ERROR, REF_NONE, text);
    return 0;
}

int ComputeAdjustment(ProjectState& project, RunState& run, Progress& progress) {
    if (!CheckRunInput(project))
        return 0;
    if (!RunAdjustment(project, run.Engine, progress))
        return 0;
    if (!ResultsAreFinite(project, run.Engine))
        return 0;
    if (!WriteCovarianceOutput(project, run.Engine))
        return 0;
    switch (project.OutputForm()) {
    case 1:
        return WriteAdjustmentReport(project, run.Engine);
    case 2:
        return WriteAdjustmentDocument(project, run.Engine) == 0 ? 1 : 0;
    default:
        return 1;
    }
}

int ComputePreRun(ProjectState& project, RunState& run, Progress& progress) {
    if (!CheckRunInput(project))
        return 0;
    return RunPreRun(project, run.Engine, progress);
}

int ComputeApproximateCoordinates(ProjectState& project, RunState& run, Progress& progress) {
    run.Cogo.clear();
    if (!CheckRunInput(project))
        return 0;
    return RunApproximateCoordinates(project, progress, run.Cogo);
}

int ComputeLoops(ProjectState& project, RunState&, Progress& progress,
                 CLoopResultsPtrArray& results) {
    if (!CheckRunInput(project))
        return 0;
    return RunLoops(project, progress, results);
}

} // namespace Tavex
