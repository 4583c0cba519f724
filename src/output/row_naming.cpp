#include "output/row_naming.h"

#include "output/report_format.h"
#include "project/observation_codes.h"
#include "resources/string_ids.h"
#include "testing/test_lists.h"

namespace Tavex {

CKZString StationName(const ProjectState& p, std::uint32_t s) {
    if (s == 0 || s >= p.Stations.size())
        return CKZString();
    return p.Stations[s].Name;
}

bool IsAngleKind(std::uint16_t kind) {
    return kind == ROW_DIRECTION || kind == ROW_ZENITH || kind == ROW_AZIMUTH;
}

CKZString CodeOfKind(std::uint16_t kind, std::uint16_t sub) {
    switch (kind) {
    case ROW_TRIG_HEIGHT:
        return ObservationCode(OBS_RESERVED_TH, 0);
    case ROW_DATUM_NORTH:
        return Label(STR_LABEL_NORTH);
    case ROW_DATUM_EAST:
        return Label(STR_LABEL_EAST);
    case ROW_DATUM_HEIGHT:
        return Label(STR_LABEL_UP);
    case ROW_TRANSFORMATION:
        return Label(STR_KIND_GPS_PARAMETERS);
    case 30:
        return CKZString(L"T");
    default:
        // Observation row kinds 1 to 7, 9 and 10 are the type codes of their
        // readings.
        return kind <= ROW_LOCAL_COORDINATE ? ObservationCode(kind, sub) : CKZString();
    }
}

RowName NameOfRow(const ProjectState& p, const EngineState& e, std::size_t r) {
    const ObservationRow& row = e.rows[r];
    RowName name;
    name.code = CodeOfKind(row.kind, row.sub);
    name.angle = IsAngleKind(row.kind);
    if (row.IsDatum()) {
        name.station = StationName(p, row.source);
        return name;
    }
    if (!row.IsObservation())
        return name;
    name.observation = row.source;
    const CObservation* o = p.Observations.GetAt(static_cast<int>(row.source));
    name.record = o ? o->Record : 0;
    name.station = StationName(p, row.from);
    name.target = StationName(p, row.to);
    return name;
}

RowName NameOfTestEntry(const ProjectState& p, const CTest& t) {
    RowName name;
    const bool station =
        t.kind == kStationTestKind || (t.kind >= ROW_DATUM_NORTH && t.kind <= ROW_DATUM_HEIGHT);
    if (station) {
        name.station = StationName(p, t.index);
        name.code = CodeOfKind(t.kind, t.sub);
        return name;
    }
    const CObservation* o = p.Observations.GetAt(static_cast<int>(t.index));
    if (o != nullptr) {
        name.observation = t.index;
        name.record = o->Record;
        name.station = StationName(p, o->Station);
        name.target = o->IsSingleStation() ? CKZString() : StationName(p, o->Target);
    }
    const bool gps = t.kind == ROW_GPS_BASELINE || t.kind == ROW_GPS_COORDINATE;
    if (gps && t.dimension == 3)
        name.code = CodeOfKind(kStationTestKind, 0); // the group's T-test
    else if (gps && t.component == 0)
        name.code = Label(STR_LABEL_UP); // the antenna height test
    else
        name.code = CodeOfKind(t.kind, t.sub);
    name.angle = IsAngleKind(t.kind) && t.dimension == 1;
    return name;
}

bool APrioriParameterValue(const ProjectState& p, const UnknownDescriptor& u, double& value) {
    const bool group = u.sub < kGroupCount;
    switch (u.kind) {
    case UNK_SCALE:
        value = group ? p.ScaleFactor[u.sub] : 1.0;
        return group;
    case UNK_REFRACTION:
        value = group ? p.RefractionCoef[u.sub] : 0.0;
        return group;
    case UNK_AZIMUTH_OFFSET:
        value = group ? p.AzimuthOffset[u.sub] : 0.0;
        return group;
    case UNK_GPS_TRANSFORMATION:
        value = u.sub < kGpsParameterCount ? p.GPSTransfPar[u.sub] : 0.0;
        return u.sub < kGpsParameterCount;
    default:
        return false;
    }
}

} // namespace Tavex
