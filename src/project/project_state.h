// The project the kernel holds: settings, map projection, stations, known
// stations, observations and messages. One instance lives from load to
// unload (see interface/kernel.h); computations take it by reference.
#ifndef TAVEX_PROJECT_PROJECT_STATE_H
#define TAVEX_PROJECT_PROJECT_STATE_H

#include "geodesy/ellipsoid.h"
#include "geodesy/kz_string.h"
#include "geodesy/output_system.h"
#include "messages/message_log.h"
#include "project/adjustment_summary.h"
#include "project/observation.h"
#include "project/station.h"
#include "tavex/tavex.h"
#include "testing/critical_values.h"

#include <memory>
#include <vector>

namespace Tavex {

// Values of the caller mode: the kernel works under a host through the
// exported interface after Initialize.
inline constexpr int kCallerModeDefault = 1;
inline constexpr int kCallerModeHost = 3;

// Adjustment types as the engine reads them.
enum AdjustmentType : int {
    PHASE_FREE = 1,
    PHASE_HOST_CONSTRAINED = 2,
    PHASE_WEIGHTED = 3,
    PHASE_CONSTRAINED = 4
};

inline constexpr int kGroupCount = 10;
inline constexpr int kGpsParameterCount = 8;
inline constexpr int kReportSwitchCount = 16;
inline constexpr double kMeanEarthRadius = 6371000.0;

// The default unit name of the linear unit's long form.
inline constexpr const wchar_t* kDefaultLinearUnitLong = L"meters";

struct ProjectState {
    // Settings.
    _SETTINGS* SettingsRecord = nullptr;
    CKZString NetworkName;
    CKZString OutputPath;
    CKZString MessagePath;
    CKZString VariancePath;
    int AdjDesign = 0;
    int Phase = PHASE_FREE;
    int AngleUnit = -1;
    CKZString LinearUnit;
    CKZString LinearUnitLong;
    double LinearFact = 1.0;
    int IterMax = 3;
    double Epsilon = 0.0001;
    double DeltaSingular = 1e-06;
    int Dimension = 3;
    int CovMatrix = 0;
    int APosVarFac = 0;
    int VarComponent = 0;
    int VarIterMax = 5;
    double VarEpsilon = 0.01;
    int TerCoord = 1;
    int GPSCoord = 1;
    int TerObserv = 1;
    int GPSObserv = 1;
    int GeoidModel = 0;
    int GPSCoordType = 0;
    double Sigma0 = 1.0;
    double Alfa0 = 0.001;
    double Beta = 0.80;
    double ConfidenceLevel1D = 0.683;
    double ConfidenceLevel2D = 0.394;
    // Transformation of observed local coordinates: 0 by the dimension,
    // else the type (engine/local_frame.h).
    int LocalTransfType = 0;

    // Map projection and ellipsoid.
    std::unique_ptr<COutputSystem> CurrentProjection;
    int ProjectionType = -1;
    int EllipsoidCode = -1;
    CKZString EllipsoidName;
    std::unique_ptr<CEllipsoid> AuxEllipsoid; // the ellipsoid of code 21

    // Additional parameters per group, and the GPS transformation
    // parameters (which the reset leaves as they are).
    double ScaleFactor[kGroupCount] = {};
    double RefractionCoef[kGroupCount] = {};
    double AzimuthOffset[kGroupCount] = {};
    int ScaleFactorFree[kGroupCount] = {};
    int RefractionCoefFree[kGroupCount] = {};
    int AzimuthOffsetFree[kGroupCount] = {};
    double GPSTransfPar[kGpsParameterCount] = {};
    double GPSTransfParSd[kGpsParameterCount] = {};
    int GPSTransfParObs[kGpsParameterCount] = {};

    int ReportSwitch[kReportSwitchCount] = {};
    int CallerMode = kCallerModeDefault;
    int AdjMode = 0;
    int CoordFrame = 0;
    double MeanEarthRadius = kMeanEarthRadius;

    // Stations: element s is station number s, element 0 is unused.
    _STATIONADJ* StationRecords = nullptr;
    unsigned StationCount = 0;
    std::vector<StationRec> Stations;
    // Known stations: entries 1..KnownCount, element 0 unused.
    std::vector<KnownRec> Known;
    unsigned KnownCount = 0;
    int HeightKind = 8;
    int NoKnownStations = 0;

    // Observations: element k is observation number k. Each keeps the
    // host's record it came from; RecordsTaken counts the records of every
    // SetObservations call since Initialize (their numbers run on).
    CObsPtrArray Observations;
    unsigned RecordsTaken = 0;
    std::size_t RowBound = 0; // 3 x the number of records

    // Set when a setter could not take over its records (too many, or not
    // enough memory): it stored nothing, and every run fails until the next
    // Initialize.
    bool SetupFailed = false;

    MessageLog Messages;
    CriticalValues Critical;
    AdjustmentSummary Summary;

    int ExternalReliability() const { return ReportSwitch[REPORT_EXTERNAL_RELIABILITY]; }
    int OutputForm() const { return ReportSwitch[REPORT_OUTPUT_FORM]; }
};

// The reset: frees every table and restores the defaults. Harmless when
// repeated.
void ResetProject(ProjectState& project);

} // namespace Tavex

#endif
