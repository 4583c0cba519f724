#include "record_layout.h"

#include <algorithm>
#include <cstring>

namespace TavexCli {

namespace {

template <std::size_t N>
void CopyText(char (&field)[N], const std::string& text) {
    std::memset(field, 0, N);
    std::memcpy(field, text.data(), std::min(text.size(), N - 1));
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
    r.VarComponent = 0;
    r.VarIterMax = 5;
    r.VarEpsilon = 0.01;
    // The kernel derives the presence of observations from the records.
    r.TerCoord = r.GPSCoord = r.TerObserv = r.GPSObserv = 1;
    r.GeoidModel = s.geoidModel;
    r.GPSCoordType = s.gpsCoordinateType;
    r.Sigma0 = s.sigma0;
    r.Alfa0 = s.alpha0;
    r.Beta = s.beta;
    r.ConfidenceLevel1D = s.confidence1D;
    r.ConfidenceLevel2D = s.confidence2D;
    r.Ellipsoid = s.ellipsoid;
    r.SemiMajAx = s.semiMajorAxis;
    r.InvFlatt = s.inverseFlattening;
    r.Projection = s.projection;
    for (int g = 0; g < 10; ++g) {
        r.ScaleFactor[g] = s.scale[static_cast<std::size_t>(g)];
        r.RefractionCoef[g] = s.refraction[static_cast<std::size_t>(g)];
        r.AzimuthOffset[g] = s.azimuthOffset[static_cast<std::size_t>(g)];
        r.ScaleFactorFree[g] = s.scaleFree[static_cast<std::size_t>(g)];
        r.RefractionCoefFree[g] = s.refractionFree[static_cast<std::size_t>(g)];
        r.AzimuthOffsetFree[g] = s.azimuthOffsetFree[static_cast<std::size_t>(g)];
    }
    for (int k = 0; k < 8; ++k) {
        r.GPSTransfPar[k] = s.gpsParameter[static_cast<std::size_t>(k)];
        r.GPSTransfParSd[k] = s.gpsParameterSd[static_cast<std::size_t>(k)];
        r.GPSTransfParObs[k] = s.gpsParameterObserved[static_cast<std::size_t>(k)];
    }
    for (int slot = 0; slot < 16; ++slot)
        r.ReportSwitch[slot] = s.reportSwitch[static_cast<std::size_t>(slot)];
}

Tavex::_STATIONADJ StationRecord(const Station& s) {
    Tavex::_STATIONADJ r;
    std::memset(&r, 0, sizeof r);
    CopyText(r.Name, s.name);
    r.CoordFlags = (s.geographic ? 0x10 : 0x20) | (s.gps ? 0x01 : 0x02);
    r.Presence = 0x03 | (s.hasHeight ? 0x08 : 0);
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
    return r;
}

// A one-reading record of the given type code.
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
    std::memcpy(static_cast<void*>(&r.K4.Centring), centring, sizeof centring);
    r.K4.VarGroup = o.varianceGroup;
    return r;
}

// A three-reading record: direction, distance (horizontal, or reduced with
// the zenith angle) and zenith angle, each present or switched off.
Tavex::_OBSERVATION ThreeReadings(const Observation& o) {
    Tavex::_OBSERVATION r = Blank(100);
    auto& k = r.K100;
    k.Station = o.from;
    k.Target = o.to;
    k.StationHeight = o.instrumentHeight;
    k.TargetHeight = o.targetHeight;
    const std::uint16_t types[3] = {1, 2, 3};
    const std::uint16_t subs[3] = {static_cast<std::uint16_t>(o.set),
                                   static_cast<std::uint16_t>(o.group),
                                   static_cast<std::uint16_t>(o.group)};
    const std::uint16_t off[3] = {static_cast<std::uint16_t>(o.direction ? 0 : 1),
                                  static_cast<std::uint16_t>(o.distance ? 0 : 1),
                                  static_cast<std::uint16_t>(o.zenith ? 0 : 1)};
    const double readings[3] = {o.direction.value_or(0.0), o.distance.value_or(0.0),
                                o.zenith.value_or(0.0)};
    const double precision[6] = {o.sdDirection,        o.sdDirectionLength, o.sdDistance,
                                 o.sdDistanceRelative, o.sdZenith,          o.sdZenithLength};
    const double centring[4] = {o.centringFrom, o.heightErrorFrom, o.centringTo, o.heightErrorTo};
    std::memcpy(static_cast<void*>(&k.Type), types, sizeof types);
    std::memcpy(static_cast<void*>(&k.Sub), subs, sizeof subs);
    std::memcpy(static_cast<void*>(&k.Off), off, sizeof off);
    std::memcpy(static_cast<void*>(&k.Reading), readings, sizeof readings);
    std::memcpy(static_cast<void*>(&k.Precision), precision, sizeof precision);
    std::memcpy(static_cast<void*>(&k.Centring), centring, sizeof centring);
    k.VarGroup = o.varianceGroup;
    return r;
}

Tavex::_OBSERVATION ObservationRecord(const Observation& o) {
    switch (o.kind) {
    case ObservationKind::Direction:
        return OneReading(o, 1, static_cast<std::uint16_t>(o.set), *o.direction, o.sdDirection,
                          o.sdDirectionLength);
    case ObservationKind::Distance:
        if (o.horizontalDistance)
            return ThreeReadings(o); // distance code 3: horizontal
        return OneReading(o, 2, static_cast<std::uint16_t>(o.group), *o.distance, o.sdDistance,
                          o.sdDistanceRelative);
    case ObservationKind::Zenith:
        return OneReading(o, 3, static_cast<std::uint16_t>(o.group), *o.zenith, o.sdZenith,
                          o.sdZenithLength);
    case ObservationKind::Azimuth:
        return OneReading(o, 4, static_cast<std::uint16_t>(o.group), o.value, o.sdAngle, 0.0);
    case ObservationKind::HeightDifference: {
        Tavex::_OBSERVATION r = Blank(5);
        r.K5.Type = 5;
        r.K5.Station = o.from;
        r.K5.Target = o.to;
        r.K5.Reading = o.value;
        const double precision[4] = {o.sdLevelling, o.sdPerRootMetre, o.sdPerMetre, o.length};
        std::memcpy(static_cast<void*>(&r.K5.Precision), precision, sizeof precision);
        r.K5.VarGroup = o.varianceGroup;
        return r;
    }
    case ObservationKind::GpsBaseline: {
        Tavex::_OBSERVATION r = Blank(6);
        auto& k = r.K6;
        k.Station = o.from;
        k.Target = o.to;
        k.StationHeight = o.instrumentHeight;
        k.TargetHeight = o.targetHeight;
        const std::uint16_t types[3] = {6, 6, 6}, subs[3] = {0, 1, 2};
        const double precision[6] = {o.sdGps[0],       o.correlation[0], o.sdGps[1],
                                     o.correlation[1], o.correlation[2], o.sdGps[2]};
        const double centring[4] = {o.centringFrom, o.heightErrorFrom, o.centringTo,
                                    o.heightErrorTo};
        std::memcpy(static_cast<void*>(&k.Type), types, sizeof types);
        std::memcpy(static_cast<void*>(&k.Sub), subs, sizeof subs);
        std::memcpy(static_cast<void*>(&k.Reading), o.vector.data(), 3 * sizeof(double));
        std::memcpy(static_cast<void*>(&k.Precision), precision, sizeof precision);
        std::memcpy(static_cast<void*>(&k.Centring), centring, sizeof centring);
        k.VarGroup = o.varianceGroup;
        return r;
    }
    case ObservationKind::GpsCoordinate: {
        Tavex::_OBSERVATION r = Blank(7);
        auto& k = r.K7;
        k.Station = o.from;
        k.StationHeight = o.instrumentHeight;
        const std::uint16_t types[3] = {7, 7, 7}, subs[3] = {0, 1, 2};
        std::memcpy(static_cast<void*>(&k.Type), types, sizeof types);
        std::memcpy(static_cast<void*>(&k.Sub), subs, sizeof subs);
        std::memcpy(static_cast<void*>(&k.Reading), o.vector.data(), 3 * sizeof(double));
        k.Precision1 = o.sdGps[0];
        k.Precision3 = o.sdGps[1];
        k.Precision6 = o.sdGps[2];
        k.CentringStation = o.centringFrom;
        k.HeightErrStation = o.heightErrorFrom;
        k.VarGroup = o.varianceGroup;
        return r;
    }
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
    records.source.push_back(0);
    for (std::size_t k = 0; k < project.observations.size(); ++k) {
        records.observations.push_back(ObservationRecord(project.observations[k]));
        records.source.push_back(k);
    }
    return records;
}

} // namespace TavexCli
