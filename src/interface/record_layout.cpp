// Compile-time proof that every boundary record field sits at the offset of
// the binary interface. Fields after a std::vector are 8 bytes further on
// than in the interface's 16-byte-vector layout (see the public header).
#include "tavex/tavex.h"

#include <cstddef>

namespace Tavex {

namespace {

// Size of a shared vector beyond the 16 bytes the binary interface gives it.
constexpr std::size_t kVectorGrowth = sizeof(std::vector<int>) - 16;

#define AT(record, field, offset) static_assert(offsetof(record, field) == (offset), #field)

AT(_MESSAGE, Code, 0);
AT(_MESSAGE, Class, 4);
AT(_MESSAGE, RefKind, 8);
AT(_MESSAGE, Text, 12);
AT(_MESSAGE, Ref, 273);
static_assert(sizeof(_MESSAGE) == 277);

AT(_SETTINGS, NetworkName, 0);
AT(_SETTINGS, ProjectDir, 41);
AT(_SETTINGS, OutputFile, 297);
AT(_SETTINGS, MessageFile, 310);
AT(_SETTINGS, VarianceFile, 323);
AT(_SETTINGS, AdjDesign, 336);
AT(_SETTINGS, Phase, 340);
AT(_SETTINGS, AngleUnit, 344);
AT(_SETTINGS, LinearUnit, 348);
AT(_SETTINGS, LinearUnitLong, 352);
AT(_SETTINGS, LinearFact, 373);
AT(_SETTINGS, IterMax, 381);
AT(_SETTINGS, Epsilon, 385);
AT(_SETTINGS, DeltaSingular, 393);
AT(_SETTINGS, Dimension, 401);
AT(_SETTINGS, CovMatrix, 405);
AT(_SETTINGS, APosVarFac, 409);
AT(_SETTINGS, VarComponent, 413);
AT(_SETTINGS, VarIterMax, 417);
AT(_SETTINGS, VarEpsilon, 421);
AT(_SETTINGS, TerCoord, 429);
AT(_SETTINGS, GPSCoord, 433);
AT(_SETTINGS, TerObserv, 437);
AT(_SETTINGS, GPSObserv, 441);
AT(_SETTINGS, GeoidModel, 445);
AT(_SETTINGS, GPSCoordType, 449);
AT(_SETTINGS, Sigma0, 453);
AT(_SETTINGS, Alfa0, 461);
AT(_SETTINGS, Beta, 469);
AT(_SETTINGS, ConfidenceLevel1D, 477);
AT(_SETTINGS, ConfidenceLevel2D, 485);
AT(_SETTINGS, LocalTransfType, 493);
AT(_SETTINGS, Reserved497, 497);
AT(_SETTINGS, Ellipsoid, 524);
AT(_SETTINGS, SemiMajAx, 528);
AT(_SETTINGS, InvFlatt, 536);
AT(_SETTINGS, Projection, 544);
AT(_SETTINGS, ScaleFactor, 548);
AT(_SETTINGS, ScaleFactorSd, 628);
AT(_SETTINGS, RefractionCoef, 708);
AT(_SETTINGS, RefractionCoefSd, 788);
AT(_SETTINGS, AzimuthOffset, 868);
AT(_SETTINGS, AzimuthOffsetSd, 948);
AT(_SETTINGS, ScaleFactorFree, 1028);
AT(_SETTINGS, RefractionCoefFree, 1068);
AT(_SETTINGS, AzimuthOffsetFree, 1108);
AT(_SETTINGS, GPSTransfPar, 1148);
AT(_SETTINGS, GPSTransfParSd, 1212);
AT(_SETTINGS, GPSTransfParObs, 1276);
AT(_SETTINGS, ReportSwitch, 1308);
AT(_SETTINGS, ReportSwitch[REPORT_EXTERNAL_RELIABILITY], 1328);
AT(_SETTINGS, ReportSwitch[REPORT_ENGINE_OPTION], 1364);
AT(_SETTINGS, ReportSwitch[REPORT_OUTPUT_FORM], 1368);
AT(_SETTINGS, Messages, 1372);
static_assert(sizeof(_SETTINGS) == 1388 + kVectorGrowth);

AT(_STATIONADJ, Name, 0);
AT(_STATIONADJ, CoordStatus, 17);
AT(_STATIONADJ, CoordClass, 21);
AT(_STATIONADJ, Reserved25, 25);
AT(_STATIONADJ, Exclusion, 29);
AT(_STATIONADJ, Reserved33, 33);
AT(_STATIONADJ, CoordFlags, 45);
AT(_STATIONADJ, Presence, 49);
AT(_STATIONADJ, PointCode1, 53);
AT(_STATIONADJ, PointCode2, 57);
AT(_STATIONADJ, Coord1, 61);
AT(_STATIONADJ, Coord2, 69);
AT(_STATIONADJ, Height, 77);
AT(_STATIONADJ, Reserved85, 85);
AT(_STATIONADJ, CovScale, 93);
AT(_STATIONADJ, Cov, 101);
AT(_STATIONADJ, Cov[3], 125);
AT(_STATIONADJ, Cov[5], 141);
AT(_STATIONADJ, ExtRelEast, 149);
AT(_STATIONADJ, ExtRelNorth, 157);
AT(_STATIONADJ, Reserved165, 165);
AT(_STATIONADJ, ExtRelHeight, 173);
AT(_STATIONADJ, Ellipse, 181);
AT(_STATIONADJ, TestDimension, 213);
AT(_STATIONADJ, ExtRelNorthSource, 215);
AT(_STATIONADJ, ExtRelNorthCode, 219);
AT(_STATIONADJ, DatumNorth, 223);
AT(_STATIONADJ, DatumNorth[1], 231);
AT(_STATIONADJ, DatumNorth[2], 239);
AT(_STATIONADJ, ExtRelEastSource, 247);
AT(_STATIONADJ, ExtRelEastCode, 251);
AT(_STATIONADJ, DatumEast, 255);
AT(_STATIONADJ, ExtRelHeightSource, 279);
AT(_STATIONADJ, ExtRelHeightCode, 283);
AT(_STATIONADJ, DatumHeight, 287);
AT(_STATIONADJ, TTest, 311);
static_assert(sizeof(_STATIONADJ) == 319);

AT(_OBSERVATION, Kind, 0);
AT(_OBSERVATION, K100.Off, 4);
AT(_OBSERVATION, K100.Type, 10);
AT(_OBSERVATION, K100.Sub, 16);
AT(_OBSERVATION, K100.Station, 22);
AT(_OBSERVATION, K100.Target, 26);
AT(_OBSERVATION, K100.StationHeight, 30);
AT(_OBSERVATION, K100.TargetHeight, 38);
AT(_OBSERVATION, K100.Reading, 46);
AT(_OBSERVATION, K100.Precision, 70);
AT(_OBSERVATION, K100.DistanceCode, 118);
AT(_OBSERVATION, K100.Centring, 120);
AT(_OBSERVATION, K100.VarGroup, 152);
AT(_OBSERVATION, K6.Reading, 46);
AT(_OBSERVATION, K6.Precision, 70);
AT(_OBSERVATION, K6.Centring, 118);
AT(_OBSERVATION, K6.VarGroup, 150);
AT(_OBSERVATION, K4.Off, 4);
AT(_OBSERVATION, K4.Type, 6);
AT(_OBSERVATION, K4.Sub, 8);
AT(_OBSERVATION, K4.Station, 10);
AT(_OBSERVATION, K4.Target, 14);
AT(_OBSERVATION, K4.StationHeight, 18);
AT(_OBSERVATION, K4.TargetHeight, 26);
AT(_OBSERVATION, K4.Reading, 34);
AT(_OBSERVATION, K4.Precision, 42);
AT(_OBSERVATION, K4.Precision[1], 50);
AT(_OBSERVATION, K4.Centring, 58);
AT(_OBSERVATION, K4.VarGroup, 90);
AT(_OBSERVATION, K5.Station, 10);
AT(_OBSERVATION, K5.Target, 14);
AT(_OBSERVATION, K5.Reading, 34);
AT(_OBSERVATION, K5.Precision, 42);
AT(_OBSERVATION, K5.VarGroup, 74);
AT(_OBSERVATION, K7.Off, 4);
AT(_OBSERVATION, K7.Sub, 16);
AT(_OBSERVATION, K7.Station, 22);
AT(_OBSERVATION, K7.StationHeight, 26);
AT(_OBSERVATION, K7.Reading, 34);
AT(_OBSERVATION, K7.Precision1, 58);
AT(_OBSERVATION, K7.Precision3, 66);
AT(_OBSERVATION, K7.Precision6, 74);
AT(_OBSERVATION, K7.CentringStation, 82);
AT(_OBSERVATION, K7.HeightErrStation, 90);
AT(_OBSERVATION, K7.VarGroup, 98);
AT(_OBSERVATION, Terrestrial.Redundancy, 156);
AT(_OBSERVATION, Terrestrial.RelEllipse, 168);
AT(_OBSERVATION, Terrestrial.Residual, 200);
AT(_OBSERVATION, Terrestrial.Mdb, 224);
AT(_OBSERVATION, Terrestrial.Bnr, 248);
AT(_OBSERVATION, Terrestrial.W, 272);
AT(_OBSERVATION, Terrestrial.TTest, 284);
AT(_OBSERVATION, Terrestrial.Sd, 292);
AT(_OBSERVATION, Terrestrial.SdAdjusted, 316);
AT(_OBSERVATION, Baseline.Redundancy, 156);
AT(_OBSERVATION, Baseline.RelEllipse, 168);
AT(_OBSERVATION, Baseline.Residual, 200);
AT(_OBSERVATION, Baseline.ResidualLocal, 224);
AT(_OBSERVATION, Baseline.Mdb, 248);
AT(_OBSERVATION, Baseline.Bnr, 272);
AT(_OBSERVATION, Baseline.W, 296);
AT(_OBSERVATION, Baseline.TTest, 308);
AT(_OBSERVATION, Baseline.Sd, 316);
AT(_OBSERVATION, Baseline.Correlation, 340);
AT(_OBSERVATION, Baseline.SdAdjusted, 364);
AT(_OBSERVATION, Single.Redundancy, 156);
AT(_OBSERVATION, Single.RelEllipse, 160);
AT(_OBSERVATION, Single.Residual, 192);
AT(_OBSERVATION, Single.Mdb, 200);
AT(_OBSERVATION, Single.Bnr, 208);
AT(_OBSERVATION, Single.W, 216);
AT(_OBSERVATION, Single.Sd, 220);
AT(_OBSERVATION, Single.SdAdjusted, 228);
static_assert(sizeof(_OBSERVATION) == 392);

static_assert(sizeof(_W_ENTRY) == 40);
static_assert(sizeof(_T_ENTRY) == 48);
AT(_STATISTICS, Unknowns, 4 * 0);
AT(_STATISTICS, Observations, 4 * 8);
AT(_STATISTICS, DatumPseudoObservations, 4 * 17);
AT(_STATISTICS, DegreesOfFreedom, 4 * 19);
AT(_STATISTICS, Iterations, 4 * 20);
AT(_STATISTICS, LargestCorrection, 4 * 21);
AT(_STATISTICS, ConfidenceF, 4 * 23);
AT(_STATISTICS, ConfidenceT2, 4 * 25);
AT(_STATISTICS, ConfidenceT3, 4 * 27);
AT(_STATISTICS, Lambda0, 4 * 29);
AT(_STATISTICS, CriticalW, 4 * 31);
AT(_STATISTICS, CriticalT2, 4 * 33);
AT(_STATISTICS, CriticalT3, 4 * 35);
AT(_STATISTICS, CriticalF, 4 * 37);
AT(_STATISTICS, FTest, 4 * 39);
AT(_STATISTICS, DatumW, 4 * 41);
AT(_STATISTICS, KnownStationT, 4 * 141);
AT(_STATISTICS, ObservationW, 4 * 261);
AT(_STATISTICS, GPSGroupT, 4 * 361);
AT(_STATISTICS, AntennaHeightW, 4 * 481);
static_assert(sizeof(_STATISTICS) == 2324);

AT(_LOOP_RESULT, Stations, 0);
AT(_LOOP_RESULT, Kind, 16 + kVectorGrowth);
AT(_LOOP_RESULT, Reserved1, 20 + kVectorGrowth);
AT(_LOOP_RESULT, Reserved2, 24 + kVectorGrowth);
AT(_LOOP_RESULT, Misclosure, 28 + kVectorGrowth);
AT(_LOOP_RESULT, Test, 52 + kVectorGrowth);
AT(_LOOP_RESULT, MisclosureLocal, 76 + kVectorGrowth);
AT(_LOOP_RESULT, TestLocal, 100 + kVectorGrowth);
AT(_LOOP_RESULT, Length, 124 + kVectorGrowth);
AT(_LOOP_RESULT, CriticalW, 132 + kVectorGrowth);
AT(_LOOP_RESULT, Reserved3, 140 + kVectorGrowth);
// Padded to a multiple of 8 so that the elements of the host's vector, and
// the std::vector at their start, are aligned.
static_assert(sizeof(_LOOP_RESULT) == 156 + kVectorGrowth + 4);
static_assert(sizeof(_LOOP_RESULT) % alignof(std::vector<std::uint32_t>) == 0);

#undef AT

} // namespace

} // namespace Tavex
