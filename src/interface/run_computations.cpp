#include "interface/run_computations.h"

#include "messages/string_loader.h"
#include "project/input_check.h"
#include "resources/string_ids.h"

namespace Tavex {

int ReportNotAvailable(ProjectState& project, int runNameId) {
    CKZString text;
    text.Format(CStringL(STR_COMPUTATION_NOT_AVAILABLE).c_str(), CStringL(runNameId).c_str());
    project.Messages.AddMessage(STR_COMPUTATION_NOT_AVAILABLE, MSG_ERROR, REF_NONE, text);
    return 0;
}

int ComputeAdjustment(ProjectState& project, RunState&, Progress&) {
    if (!CheckRunInput(project))
        return 0;
    return ReportNotAvailable(project, project.AdjDesign ? STR_TITLE_DESIGN : STR_TITLE_ADJUSTMENT);
}

int ComputePreRun(ProjectState& project, RunState&, Progress&) {
    if (!CheckRunInput(project))
        return 0;
    return ReportNotAvailable(project, STR_TITLE_PRERUN);
}

int ComputeApproximateCoordinates(ProjectState& project, RunState&, Progress&) {
    if (!CheckRunInput(project))
        return 0;
    return ReportNotAvailable(project, STR_STAGE_APPROXIMATE_COORDINATES);
}

int ComputeLoops(ProjectState& project, RunState&, Progress&) {
    if (!CheckRunInput(project))
        return 0;
    return ReportNotAvailable(project, STR_RUN_NAME_LOOPS);
}

} // namespace Tavex
