#include "record_layout.h"

#include <algorithm>

namespace TavexCli {

namespace {

// Observation type codes and the sub-codes of the relations.
constexpr std::uint16_t kDirection = 1, kDistance = 2, kZenith = 3, kAzimuth = 4,
                        kHeightDifference = 5, kGpsBaseline = 6, kGpsCoordinate = 7, kRelation = 9,
                        kLocalCoordinate = 10;
constexpr std::uint16_t kDoubleDistance = 9, kTapeDistance = 11;
// The distance code of a kind-100 record's distance.
constexpr std::uint16_t kDistanceCodeReduced = 3;

template <std::size_t N>
void CopyText(char (&field)[N], const std::string& text) {
    std::memset(field, 0, N);
    std::memcpy(field, text.data(), std::min(text.size(), N - 1));
}

// Copies values into an array field of a packed record. The field is only
// ever addressed as bytes: a typed reference to it would be misaligned.
template <class T, std::size_t N>
void CopyInto(void* field, const T (&values)[N]) {
    std::memcpy(field, values, sizeof values);
}

void FillParameters(const Settings& s, Tavex::_SETTINGS& r) {
    for (std::size_t g = 0; g < 10; ++g) {
        r.ScaleFactor[g] = s.scale[g];
        r.RefractionCoef[g] = s.refraction[g];
        r.AzimuthOffset[g] = s.azimuthOffset[g];
        r.ScaleFactorFree[g] = s.scaleFree[g];
        r.RefractionCoefFree[g] = s.refractionFree[g];
        r.AzimuthOffsetFree[g] = s.azimuthOffsetFree[g];
    }
    // The kernel writes a standard deviation only for a parameter it
    // estimated.
    std::memset(static_cast<void*>(&r.ScaleFactorSd), kNotWrittenByte, sizeof r.ScaleFactorSd);
    std::memset(static_cast<void*>(&r.RefractionCoefSd), kNotWrittenByte,
                sizeof r.RefractionCoefSd);
    std::memset(static_cast<void*>(&r.AzimuthOffsetSd), kNotWrittenByte, sizeof r.AzimuthOffsetSd);
    for (std::size_t k = 0; k < kGpsParameterSlots; ++k) {
        r.GPSTransfPar[k] = s.gpsParameter[k];
        r.GPSTransfParSd[k] = s.gpsParameterSd[k];
        r.GPSTransfParObs[k] = k == 0 ? 0 : static_cast<int>(s.gpsParameterUse[k]);
    }
}

void FillSettings(const Settings& s, Tavex::_SETTINGS& r) {
    CopyText(r.NetworkName, s.name);
    r.AdjDesign = s.design ? 1 : 0;
    r.Phase = s.phase;
    r.AngleUnit = static_cast<int>(s.angleUnit);
    CopyText(r.LinearUnit, s.lengthUnit);
    CopyText(r.LinearUnitLong, s.lengthUnitLong);
    r.LinearFact = s.lengthFactor;
    r.IterMax = s.iterations;
    r.Epsilon = s.epsilon;
    r.DeltaSingular = s.deltaSingular;
    r.Dimension = s.dimension;
    r.CovMatrix = s.covarianceOutput;
    r.APosVarFac = s.aPosteriori;
    r.VarComponent = static_cast<int>(s.varianceMode);
    r.VarIterMax = s.variancePasses;
    r.VarEpsilon = s.varianceTolerance;
    // The kernel derives the presence of observations from the records.
    r.TerCoord = r.GPSCoord = r.TerObserv = r.GPSObserv = 1;
    r.GeoidModel = s.geoidModel;
    r.GPSCoordType = s.gpsCoordinateType;
    r.Sigma0 = s.sigma0;
    r.Alfa0 = s.alpha0;
    r.Beta = s.beta;
    r.ConfidenceLevel1D = s.confidence1D;
    r.ConfidenceLevel2D = s.confidence2D;
    r.LocalTransfType = static_cast<int>(s.localTransformation);
    r.Ellipsoid = s.ellipsoid;
    r.SemiMajAx = s.semiMajorAxis;
    r.InvFlatt = s.inverseFlattening;
    r.Projection = s.projection;
    FillParameters(s, r);
    for (std::size_t slot = 0; slot < 16; ++slot)
        r.ReportSwitch[slot] = s.reportSwitch[slot];
    r.ReportSwitch[Tavex::REPORT_ENGINE_OPTION] = s.freeObservations ? 1 : 0;
}

Tavex::_STATIONADJ StationRecord(const Station& s) {
    Tavex::_STATIONADJ r;
    std::memset(&r, 0, sizeof r);
    CopyText(r.Name, s.name);
    r.CoordFlags = (s.geographic ? 0x10 : 0x20) | (s.gps ? 0x01 : 0x02);
    r.Presence = (s.hasPosition ? 0x03 : 0) | (s.hasHeight ? 0x08 : 0);
    r.Coord1 = s.first;
    r.Coord2 = s.second;
    r.Height = s.height;
    r.Exclusion = s.excluded ? 1 : 0;
    r.PointCode1 = s.pointCode1;
    r.PointCode2 = s.pointCode2;
    if (s.known != Known::No) {
        static const int kClass[] = {0, 10, 11, 12};
        r.CoordStatus = 8;
        r.CoordClass = kClass[static_cast<int>(s.known)];
        r.CovScale = 1.0;
        r.Cov[0] = r.Cov[3] = s.sdHorizontal * s.sdHorizontal;
        r.Cov[5] = s.sdHeight * s.sdHeight;
    }
    return r;
}

Tavex::_OBSERVATION Blank(int kind) {
    Tavex::_OBSERVATION r;
    std::memset(&r, 0, sizeof r);
    r.Kind = kind;
    std::memset(r.Results, kNotWrittenByte, sizeof r.Results);
    return r;
}

// A kind-4 record: one reading of the given type code.
Tavex::_OBSERVATION OneReading(const Observation& o, std::uint16_t type, std::uint16_t sub,
                               double reading, double precision1, double precision2) {
    Tavex::_OBSERVATION r = Blank(4);
    r.K4.Type = type;
    r.K4.Sub = sub;
    r.K4.Station = o.from;
    r.K4.Target = o.to;
    r.K4.StationHeight = o.instrumentHeight;
    r.K4.TargetHeight = o.targetHeight;
    r.K4.Reading = reading;
    r.K4.Precision[0] = precision1;
    r.K4.Precision[1] = precision2;
    const double centring[4] = {o.centringFrom, o.heightErrorFrom, o.centringTo, o.heightErrorTo};
    CopyInto(static_cast<void*>(&r.K4.Centring), centring);
    r.K4.VarGroup = o.varianceGroup;
    return r;
}

// A kind-100 record: direction, distance (horizontal, or reduced with the
// zenith angle) and zenith angle in slots 1 to 3, each holding its own type
// code or, when the record has no such reading, type 0.
Tavex::_OBSERVATION ThreeReadings(const Observation& o) {
    Tavex::_OBSERVATION r = Blank(100);
    auto& k = r.K100;
    k.Station = o.from;
    k.Target = o.to;
    k.StationHeight = o.instrumentHeight;
    k.TargetHeight = o.targetHeight;
    const std::uint16_t types[3] = {o.direction ? kDirection : std::uint16_t{0},
                                    o.distance ? kDistance : std::uint16_t{0},
                                    o.zenith ? kZenith : std::uint16_t{0}};
    // The distance's scale group and the zenith angle's refraction group
    // are independent.
    const std::uint16_t subs[3] = {static_cast<std::uint16_t>(o.direction ? o.set : 0),
                                   static_cast<std::uint16_t>(o.distance ? o.group : 0),
                                   static_cast<std::uint16_t>(o.zenith ? o.zenithGroup : 0)};
    const std::uint16_t off[3] = {0, 0, 0};
    const double readings[3] = {o.direction.value_or(0.0), o.distance.value_or(0.0),
                                o.zenith.value_or(0.0)};
    const double precision[6] = {o.sdDirection,        o.sdDirectionLength, o.sdDistance,
                                 o.sdDistanceRelative, o.sdZenith,          o.sdZenithLength};
    const double centring[4] = {o.centringFrom, o.heightErrorFrom, o.centringTo, o.heightErrorTo};
    CopyInto(static_cast<void*>(&k.Type), types);
    CopyInto(static_cast<void*>(&k.Sub), subs);
    CopyInto(static_cast<void*>(&k.Off), off);
    CopyInto(static_cast<void*>(&k.Reading), readings);
    CopyInto(static_cast<void*>(&k.Precision), precision);
    k.DistanceCode = o.distance ? kDistanceCodeReduced : 0;
    CopyInto(static_cast<void*>(&k.Centring), centring);
    k.VarGroup = o.varianceGroup;
    return r;
}

Tavex::_OBSERVATION HeightDifference(const Observation& o) {
    Tavex::_OBSERVATION r = Blank(5);
    r.K5.Type = kHeightDifference;
    r.K5.Station = o.from;
    r.K5.Target = o.to;
    r.K5.Reading = o.value;
    // σ = absolute + per √m · √L + per m · L, L the line length (or the
    // stations' distance when 0).
    const double precision[4] = {o.sdLevelling, o.sdPerRootMetre, o.sdPerMetre, o.length};
    CopyInto(static_cast<void*>(&r.K5.Precision), precision);
    r.K5.VarGroup = o.varianceGroup;
    return r;
}

Tavex::_OBSERVATION GpsBaseline(const Observation& o) {
    Tavex::_OBSERVATION r = Blank(6);
    auto& k = r.K6;
    k.Station = o.from;
    k.Target = o.to;
    k.StationHeight = o.instrumentHeight;
    k.TargetHeight = o.targetHeight;
    const std::uint16_t types[3] = {kGpsBaseline, kGpsBaseline, kGpsBaseline}, subs[3] = {0, 1, 2};
    const double precision[6] = {o.sdGps[0],       o.correlation[0], o.sdGps[1],
                                 o.correlation[1], o.correlation[2], o.sdGps[2]};
    const double centring[4] = {o.centringFrom, o.heightErrorFrom, o.centringTo, o.heightErrorTo};
    CopyInto(static_cast<void*>(&k.Type), types);
    CopyInto(static_cast<void*>(&k.Sub), subs);
    std::memcpy(static_cast<void*>(&k.Reading), o.vector.data(), sizeof o.vector);
    CopyInto(static_cast<void*>(&k.Precision), precision);
    CopyInto(static_cast<void*>(&k.Centring), centring);
    k.VarGroup = o.varianceGroup;
    return r;
}

// A kind-7 record: three components on one station, either GPS coordinates
// (type 7, all three) or local coordinates (type 10 in slot i with sub-code
// i for east, north, height, type 0 for a component not given).
Tavex::_OBSERVATION OneStation(const Observation& o, bool local) {
    Tavex::_OBSERVATION r = Blank(7);
    auto& k = r.K7;
    k.Station = o.from;
    k.StationHeight = o.instrumentHeight;
    std::uint16_t types[3], subs[3];
    double readings[3];
    for (std::uint16_t i = 0; i < 3; ++i) {
        const bool given = !local || o.local[i].has_value();
        types[i] = given ? (local ? kLocalCoordinate : kGpsCoordinate) : 0;
        subs[i] = given ? i : 0;
        readings[i] = local ? o.local[i].value_or(0.0) : o.vector[i];
    }
    CopyInto(static_cast<void*>(&k.Type), types);
    CopyInto(static_cast<void*>(&k.Sub), subs);
    CopyInto(static_cast<void*>(&k.Reading), readings);
    k.Precision1 = o.sdGps[0];
    k.Precision3 = o.sdGps[1];
    k.Precision6 = o.sdGps[2];
    k.CentringStation = o.centringFrom;
    k.HeightErrStation = o.heightErrorFrom;
    k.VarGroup = o.varianceGroup;
    return r;
}

Tavex::_OBSERVATION ObservationRecord(const Observation& o) {
    switch (o.kind) {
    case ObservationKind::Direction:
        return OneReading(o, kDirection, static_cast<std::uint16_t>(o.set), *o.direction,
                          o.sdDirection, o.sdDirectionLength);
    case ObservationKind::Distance:
        if (o.horizontalDistance)
            return ThreeReadings(o); // distance code 3: horizontal
        return OneReading(o, kDistance, static_cast<std::uint16_t>(o.group), *o.distance,
                          o.sdDistance, o.sdDistanceRelative);
    case ObservationKind::Zenith:
        return OneReading(o, kZenith, static_cast<std::uint16_t>(o.group), *o.zenith, o.sdZenith,
                          o.sdZenithLength);
    case ObservationKind::Azimuth:
        return OneReading(o, kAzimuth, static_cast<std::uint16_t>(o.group), o.value, o.sdAngle,
                          o.sdAngleLength);
    case ObservationKind::DoubleDistance:
    case ObservationKind::TapeDistance:
        return OneReading(o, kRelation,
                          o.kind == ObservationKind::DoubleDistance ? kDoubleDistance
                                                                    : kTapeDistance,
                          o.value, o.sdDistance, o.sdDistanceRelative);
    case ObservationKind::HeightDifference:
        return HeightDifference(o);
    case ObservationKind::GpsBaseline:
        return GpsBaseline(o);
    case ObservationKind::GpsCoordinate:
        return OneStation(o, false);
    case ObservationKind::LocalCoordinates:
        return OneStation(o, true);
    case ObservationKind::TotalStation:
        return ThreeReadings(o);
    }
    return Blank(0);
}

} // namespace

Records LayOut(const Project& project, const std::string& outputDirectory,
               const std::string& outputStem, int outputForm) {
    Records records;
    Tavex::_SETTINGS& s = *records.settings;
    FillSettings(project.settings, s);
    CopyText(s.ProjectDir, outputDirectory);
    CopyText(s.OutputFile, outputStem + (outputForm == 2 ? ".xml" : ".out"));
    CopyText(s.MessageFile, outputStem + ".msg");
    CopyText(s.VarianceFile, outputStem + ".var");
    s.ReportSwitch[Tavex::REPORT_OUTPUT_FORM] = outputForm;
    for (const Station& station : project.stations)
        records.stations.push_back(StationRecord(station));
    records.observations.push_back(Blank(0));
    for (const Observation& observation : project.observations)
        records.observations.push_back(ObservationRecord(observation));
    return records;
}

} // namespace TavexCli
