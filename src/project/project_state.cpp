#include "project/project_state.h"

#include "messages/string_loader.h"
#include "resources/string_ids.h"

namespace Tavex {

namespace {

constexpr double kDefaultScaleFactor = 1.0;
constexpr double kDefaultRefractionCoef = 0.13;
constexpr double kDefaultAzimuthOffset = 0.0;

void ResetSettings(ProjectState& p) {
    p.SettingsRecord = nullptr;
    p.NetworkName.Empty();
    p.OutputPath.Empty();
    p.MessagePath.Empty();
    p.VariancePath.Empty();
    p.AdjDesign = 0;
    p.Phase = PHASE_FREE;
    p.AngleUnit = -1;
    p.LinearUnit = CStringL(STR_UNIT_METRE);
    p.LinearUnitLong = kDefaultLinearUnitLong;
    p.LinearFact = 1.0;
    p.IterMax = 3;
    p.Epsilon = 0.0001;
    p.DeltaSingular = 1e-06;
    p.Dimension = 3;
    p.CovMatrix = 0;
    p.APosVarFac = 0;
    p.VarComponent = 0;
    p.VarIterMax = 5;
    p.VarEpsilon = 0.01;
    p.TerCoord = p.GPSCoord = p.TerObserv = p.GPSObserv = 1;
    p.GeoidModel = 0;
    p.GPSCoordType = 0;
    p.Sigma0 = 1.0;
    p.Alfa0 = 0.001;
    p.Beta = 0.80;
    p.ConfidenceLevel1D = 0.683;
    p.ConfidenceLevel2D = 0.394;
    p.LocalTransfType = 0;
    p.ProjectionType = -1;
    p.EllipsoidCode = -1;
    p.EllipsoidName.Empty();
    for (int g = 0; g < kGroupCount; ++g) {
        p.ScaleFactor[g] = kDefaultScaleFactor;
        p.RefractionCoef[g] = kDefaultRefractionCoef;
        p.AzimuthOffset[g] = kDefaultAzimuthOffset;
        p.ScaleFactorFree[g] = p.RefractionCoefFree[g] = p.AzimuthOffsetFree[g] = 1;
    }
    for (int& slot : p.ReportSwitch)
        slot = 1;
    p.ReportSwitch[REPORT_EXTERNAL_RELIABILITY] = 0;
    p.CallerMode = kCallerModeDefault;
    p.AdjMode = 0;
    p.CoordFrame = 0;
    p.MeanEarthRadius = kMeanEarthRadius;
}

void FreeTables(ProjectState& p) {
    p.StationRecords = nullptr;
    p.StationCount = 0;
    p.Stations.clear();
    p.Known.clear();
    p.KnownCount = 0;
    p.HeightKind = 8;
    p.NoKnownStations = 0;
    p.Observations.Clear();
    p.RecordsTaken = 0;
    p.RowBound = 0;
    p.SetupFailed = false;
}

} // namespace

void ResetProject(ProjectState& project) {
    FreeTables(project);
    project.CurrentProjection.reset();
    project.AuxEllipsoid.reset();
    project.Summary = AdjustmentSummary{};
    project.Critical = CriticalValues{};
    ResetSettings(project);
    project.Messages.RemoveAll();
}

} // namespace Tavex
