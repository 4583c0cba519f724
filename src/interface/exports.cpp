// The exported functions of the kernel.
#include "interface/adjustment_handback.h"
#include "interface/boundary_guard.h"
#include "interface/cogo_handback.h"
#include "interface/kernel.h"
#include "interface/loop_handback.h"
#include "interface/run_computations.h"
#include "interface/run_frame.h"
#include "platform/window_registry.h"
#include "project/initialize.h"
#include "project/set_observations.h"
#include "project/set_stations.h"
#include "resources/string_ids.h"
#include "testing/confidence_multiplier.h"

namespace Tavex {

int Initialize(_SETTINGS& settings) {
    Kernel& kernel = TheKernel();
    return CatchAtBoundary(kernel.project.Messages, [&] {
        if (RefuseDuringRun(kernel))
            return 0;
        kernel.run.Engine.Free();
        InitializeProject(kernel.project, settings);
        return 1;
    });
}

// The setters return 0 when they stored nothing: during a run, or when the
// records are too many or do not fit in memory (the message says which).
int SetStations(_STATIONADJ* stations, unsigned int n) {
    Kernel& kernel = TheKernel();
    return CatchAtBoundary(kernel.project.Messages, [&] {
        if (RefuseDuringRun(kernel))
            return 0;
        return TakeOverStations(kernel.project, stations, n);
    });
}

int SetObservations(_OBSERVATION* observations, unsigned int n) {
    Kernel& kernel = TheKernel();
    return CatchAtBoundary(kernel.project.Messages, [&] {
        if (RefuseDuringRun(kernel))
            return 0;
        return TakeOverObservations(kernel.project, observations, n);
    });
}

int PreRun(HWND owner) {
    Kernel& kernel = TheKernel();
    RunDescription run;
    run.titleId = STR_TITLE_PRERUN;
    run.compute = [&](Progress& progress) {
        return ComputePreRun(kernel.project, kernel.run, progress);
    };
    return CatchAtBoundary(kernel.project.Messages, [&] { return RunFrame(kernel, owner, run); });
}

int Adjust(_STATISTICS& statistics, HWND owner) {
    Kernel& kernel = TheKernel();
    RunDescription run;
    run.titleId = kernel.project.AdjDesign ? STR_TITLE_DESIGN : STR_TITLE_ADJUSTMENT;
    run.freesEngineTables = true;
    run.compute = [&](Progress& progress) {
        return ComputeAdjustment(kernel.project, kernel.run, progress);
    };
    run.handBack = [&](int result) {
        HandBackAdjustment(kernel.project, kernel.run.Engine, statistics);
        return result;
    };
    return CatchAtBoundary(kernel.project.Messages, [&] { return RunFrame(kernel, owner, run); });
}

int COGO(HWND owner) {
    Kernel& kernel = TheKernel();
    RunDescription run;
    run.compute = [&](Progress& progress) {
        return ComputeApproximateCoordinates(kernel.project, kernel.run, progress);
    };
    run.handBack = [&](int result) {
        HandBackApproximateCoordinates(kernel.project, kernel.run.Cogo);
        kernel.run.Cogo.clear();
        return result;
    };
    return CatchAtBoundary(kernel.project.Messages, [&] { return RunFrame(kernel, owner, run); });
}

int Loops(std::vector<_LOOP_RESULT>& loops, HWND owner) {
    Kernel& kernel = TheKernel();
    if (kernel.run.Running) // refused, loops untouched
        return CatchAtBoundary(kernel.project.Messages,
                               [&] { return RunFrame(kernel, owner, RunDescription{}); });
    ClearLoopResults(loops);
    CLoopResultsPtrArray results;
    RunDescription run;
    run.compute = [&](Progress& progress) {
        return ComputeLoops(kernel.project, kernel.run, progress, results);
    };
    run.handBack = [&](int result) {
        HandBackLoops(results, loops);
        return result;
    };
    return CatchAtBoundary(kernel.project.Messages, [&] { return RunFrame(kernel, owner, run); });
}

double MultiplierConfidence(double p, unsigned int dim) {
    return MultiplierConfidenceValue(p, dim);
}

void Release() {
    Kernel& kernel = TheKernel();
    CatchAtBoundary(kernel.project.Messages, [&] {
        if (!RefuseDuringRun(kernel))
            ReleaseKernel(kernel);
    });
}

HWND CreateHostWindow(const WindowRect& rect, WindowSink* sink) {
    return RegisterHostWindow(rect, sink);
}

void DestroyHostWindow(HWND window) {
    UnregisterHostWindow(window);
}

bool IsWindow(HWND window) {
    return IsRegisteredWindow(window);
}

} // namespace Tavex
