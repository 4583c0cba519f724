#include "project/initialize.h"

#include "geodesy/projection_factory.h"
#include "geodesy/text_encoding.h"
#include "platform/packed_copy.h"
#include "project/adjustment_mode.h"

namespace Tavex {

namespace {

CKZString TextField(const char* field, std::size_t size) {
    return CKZString(FromHostField(field, size));
}

// Paths keep the host's bytes (see FromHostPath).
CKZString PathField(const char* field, std::size_t size) {
    return CKZString(FromHostPath(field, size));
}

void CopyScalars(ProjectState& p, const _SETTINGS& s) {
    p.AdjDesign = s.AdjDesign;
    p.Phase = s.Phase == PHASE_HOST_CONSTRAINED ? PHASE_CONSTRAINED : s.Phase;
    p.AngleUnit = s.AngleUnit;
    p.LinearUnit = TextField(s.LinearUnit, sizeof s.LinearUnit);
    p.LinearUnitLong = TextField(s.LinearUnitLong, sizeof s.LinearUnitLong);
    p.LinearFact = s.LinearFact;
    p.IterMax = s.IterMax;
    p.Epsilon = s.Epsilon;
    p.DeltaSingular = s.DeltaSingular;
    p.Dimension = s.Dimension;
    p.CovMatrix = s.CovMatrix;
    p.APosVarFac = s.APosVarFac;
    p.VarComponent = s.VarComponent;
    p.VarIterMax = s.VarIterMax;
    p.VarEpsilon = s.VarEpsilon;
    p.TerCoord = s.TerCoord;
    p.GPSCoord = s.GPSCoord;
    p.TerObserv = s.TerObserv;
    p.GPSObserv = s.GPSObserv;
    p.GeoidModel = s.GeoidModel;
    p.GPSCoordType = s.GPSCoordType;
    p.Sigma0 = s.Sigma0;
    p.Alfa0 = s.Alfa0;
    p.Beta = s.Beta;
    p.ConfidenceLevel1D = s.ConfidenceLevel1D;
    p.ConfidenceLevel2D = s.ConfidenceLevel2D;
    p.LocalTransfType = s.LocalTransfType;
}

void BuildProjection(ProjectState& p, const _SETTINGS& s) {
    const CEllipsoid ellipsoid(s.Ellipsoid, s.SemiMajAx, s.InvFlatt);
    p.CurrentProjection = pGetNewProjection(s.Projection, 0, 0, 0, 0, 1.0, 0, 0, &ellipsoid);
    p.ProjectionType = s.Projection;
    p.EllipsoidCode = p.CurrentProjection ? p.CurrentProjection->nGetEllipsoid() : -1;
    p.EllipsoidName = p.CurrentProjection ? p.CurrentProjection->szGetEllipsoidName() : CKZString();
}

void CopyParameterArrays(ProjectState& p, const _SETTINGS& s) {
    CopyFromPacked(p.ScaleFactor, s.ScaleFactor);
    CopyFromPacked(p.RefractionCoef, s.RefractionCoef);
    CopyFromPacked(p.AzimuthOffset, s.AzimuthOffset);
    CopyFromPacked(p.ScaleFactorFree, s.ScaleFactorFree);
    CopyFromPacked(p.RefractionCoefFree, s.RefractionCoefFree);
    CopyFromPacked(p.AzimuthOffsetFree, s.AzimuthOffsetFree);
    CopyFromPacked(p.GPSTransfPar, s.GPSTransfPar);
    CopyFromPacked(p.GPSTransfParSd, s.GPSTransfParSd);
    CopyFromPacked(p.GPSTransfParObs, s.GPSTransfParObs);
}

void CopyReportSwitches(ProjectState& p, const _SETTINGS& s) {
    CopyFromPacked(p.ReportSwitch, s.ReportSwitch);
    // The projection and ellipsoid constants of a local grid mean nothing to
    // the reader.
    if (p.ProjectionType == PROJECTION_LOCAL_STEREOGRAPHIC)
        p.ReportSwitch[0] = 0;
}

} // namespace

CKZString ProjectDirectory(const CKZString& dir) {
    CKZString result = dir;
    const wchar_t last = dir.GetAtU(dir.GetLength() - 1);
    if (!dir.IsEmpty() && last != L'/' && last != L'\\')
        result += L'/';
    return result;
}

void InitializeProject(ProjectState& p, _SETTINGS& s) {
    ResetProject(p);
    p.SettingsRecord = &s;
    p.CallerMode = kCallerModeHost;
    p.NetworkName = TextField(s.NetworkName, sizeof s.NetworkName);
    const CKZString dir = ProjectDirectory(PathField(s.ProjectDir, sizeof s.ProjectDir));
    p.OutputPath = dir + PathField(s.OutputFile, sizeof s.OutputFile);
    p.MessagePath = dir + PathField(s.MessageFile, sizeof s.MessageFile);
    p.VariancePath = dir + PathField(s.VarianceFile, sizeof s.VarianceFile);
    CopyScalars(p, s);
    BuildProjection(p, s);
    CopyParameterArrays(p, s);
    CopyReportSwitches(p, s);
    DetermineAdjMode(p, true);
}

} // namespace Tavex
