#include "project/input_check.h"

#include "messages/string_loader.h"
#include "resources/string_ids.h"

#include <cmath>
#include <cstdio>
#include <numbers>

namespace Tavex {

namespace {

// Collects the input errors of one check, logging at most kMaxInputMessages.
class InputErrors {
public:
    explicit InputErrors(MessageLog& log) : log_(log) {}

    void Add(int code, const CKZString& text, int refKind, std::uint32_t ref) {
        if (count_++ < kMaxInputMessages)
            log_.AddMessage(code, MSG_ERROR, refKind, text, ref);
    }
    bool Any() const { return count_ > 0; }

private:
    MessageLog& log_;
    int count_ = 0;
};

struct NamedValue {
    const char* name;
    double value;
};

// Finite and within the kernel's range.
bool Usable(double value) {
    return std::isfinite(value) && std::fabs(value) <= kLargestMagnitude;
}

void CheckSetting(InputErrors& errors, const char* name, double value, bool bounded = true) {
    if (bounded ? Usable(value) : std::isfinite(value))
        return;
    CKZString text;
    text.Format(CStringL(STR_SETTING_NOT_FINITE).c_str(), name);
    errors.Add(STR_SETTING_NOT_FINITE, text, REF_NONE, 0);
}

void CheckSettingArray(InputErrors& errors, const char* name, const double* values, int count) {
    for (int i = 0; i < count; ++i) {
        if (Usable(values[i]))
            continue;
        char indexed[64];
        std::snprintf(indexed, sizeof indexed, "%s[%d]", name, i);
        CheckSetting(errors, indexed, values[i]);
    }
}

void CheckSettings(const ProjectState& p, InputErrors& errors) {
    // The length unit's factor only scales what the reports print.
    CheckSetting(errors, "LinearFact", p.LinearFact, false);
    const NamedValue scalars[] = {
        {"Epsilon", p.Epsilon},
        {"DeltaSingular", p.DeltaSingular},
        {"VarEpsilon", p.VarEpsilon},
        {"Sigma0", p.Sigma0},
        {"Alfa0", p.Alfa0},
        {"Beta", p.Beta},
        {"ConfidenceLevel1D", p.ConfidenceLevel1D},
        {"ConfidenceLevel2D", p.ConfidenceLevel2D},
    };
    for (const NamedValue& setting : scalars)
        CheckSetting(errors, setting.name, setting.value);
    CheckSettingArray(errors, "ScaleFactor", p.ScaleFactor, kGroupCount);
    CheckSettingArray(errors, "RefractionCoef", p.RefractionCoef, kGroupCount);
    CheckSettingArray(errors, "AzimuthOffset", p.AzimuthOffset, kGroupCount);
    CheckSettingArray(errors, "GPSTransfPar", p.GPSTransfPar, kGpsParameterCount);
    CheckSettingArray(errors, "GPSTransfParSd", p.GPSTransfParSd, kGpsParameterCount);
    if (!p.CurrentProjection) {
        const _SETTINGS* s = p.SettingsRecord;
        CKZString text;
        text.Format(CStringL(STR_NO_VALID_PROJECTION).c_str(), s ? s->Projection : p.ProjectionType,
                    s ? s->Ellipsoid : p.EllipsoidCode);
        errors.Add(STR_NO_VALID_PROJECTION, text, REF_NONE, 0);
    }
}

void StationError(InputErrors& errors, const StationRec& station, unsigned number,
                  const char* field) {
    CKZString text;
    text.Format(CStringL(STR_STATION_VALUE_NOT_FINITE).c_str(), station.Name.c_str(), number,
                field);
    errors.Add(STR_STATION_VALUE_NOT_FINITE, text, REF_STATIONS, number);
}

void CheckStations(const ProjectState& p, InputErrors& errors) {
    for (unsigned s = 1; s <= p.StationCount; ++s) {
        const StationRec& station = p.Stations[s];
        if (!station.HasCoordinates)
            continue;
        if (station.FromGrid) {
            if (!Usable(station.Easting) || !Usable(station.Northing)) {
                StationError(errors, station, s, "easting/northing");
            } else if (station.GridConversionFailed) {
                CKZString text;
                text.Format(CStringL(STR_GRID_WITHOUT_PROJECTION).c_str(), station.Name.c_str(), s);
                errors.Add(STR_GRID_WITHOUT_PROJECTION, text, REF_STATIONS, s);
            }
        } else if (!Usable(station.Lat) || !Usable(station.Lon)) {
            StationError(errors, station, s, "latitude/longitude");
        } else if (std::fabs(station.Lat) > std::numbers::pi / 2) {
            CKZString text;
            text.Format(CStringL(STR_LATITUDE_OUT_OF_RANGE).c_str(), station.Name.c_str(), s);
            errors.Add(STR_LATITUDE_OUT_OF_RANGE, text, REF_STATIONS, s);
        }
        if (!Usable(station.Height))
            StationError(errors, station, s, "height");
    }
    for (unsigned k = 1; k <= p.KnownCount; ++k) {
        const KnownRec& known = p.Known[k];
        if (!Usable(known.SdLat) || !Usable(known.SdLon) || !Usable(known.SdHeight))
            StationError(errors, p.Stations[known.Station], known.Station,
                         "standard deviation (covariance c11, c22, c33 and scale)");
    }
}

void ObservationNumberError(InputErrors& errors, int code, unsigned record, unsigned number,
                            unsigned stationCount) {
    CKZString text;
    text.Format(CStringL(code).c_str(), record, number, stationCount);
    errors.Add(code, text, REF_OBSERVATIONS, record);
}

void ObservationValueError(InputErrors& errors, unsigned record, const char* field) {
    CKZString text;
    text.Format(CStringL(STR_OBSERVATION_VALUE_NOT_FINITE).c_str(), record, field);
    errors.Add(STR_OBSERVATION_VALUE_NOT_FINITE, text, REF_OBSERVATIONS, record);
}

void RecordTypesError(InputErrors& errors, const CObservation& o) {
    CKZString text;
    text.Format(CStringL(STR_RECORD_TYPES_DO_NOT_FIT).c_str(), o.Record, o.RecordKind, o.Type[0],
                o.Sub[0], o.Type[1], o.Sub[1], o.Type[2], o.Sub[2]);
    errors.Add(STR_RECORD_TYPES_DO_NOT_FIT, text, REF_OBSERVATIONS, o.Record);
}

void CheckObservation(const CObservation& o, unsigned stationCount, InputErrors& errors) {
    if (o.Form == RecordForm::Invalid) {
        RecordTypesError(errors, o);
        return; // nothing else of the record can be read with certainty
    }
    if (o.Station == 0 || o.Station > stationCount)
        ObservationNumberError(errors, STR_BAD_STATION_NUMBER, o.Record, o.Station, stationCount);
    if (!o.IsSingleStation() && (o.Target == 0 || o.Target > stationCount))
        ObservationNumberError(errors, STR_BAD_TARGET_NUMBER, o.Record, o.Target, stationCount);
    const NamedValue scalars[] = {
        {"station height", o.StationHeight},
        {"target height", o.TargetHeight},
        {"centring error at the station", o.CentringStation},
        {"height error at the station", o.HeightErrStation},
        {"centring error at the target", o.CentringTarget},
        {"height error at the target", o.HeightErrTarget},
    };
    for (const NamedValue& value : scalars)
        if (!Usable(value.value))
            ObservationValueError(errors, o.Record, value.name);
    for (const double reading : o.Reading)
        if (!Usable(reading)) {
            ObservationValueError(errors, o.Record, "reading");
            break;
        }
    for (const double precision : o.Precision)
        if (!Usable(precision)) {
            ObservationValueError(errors, o.Record, "standard deviation");
            break;
        }
}

} // namespace

int CheckRunInput(ProjectState& p) {
    InputErrors errors(p.Messages);
    if (p.SetupFailed)
        errors.Add(STR_PROJECT_INCOMPLETE, CStringL(STR_PROJECT_INCOMPLETE), REF_NONE, 0);
    CheckSettings(p, errors);
    CheckStations(p, errors);
    for (int k = 1; k < p.Observations.GetSize(); ++k)
        if (const CObservation* o = p.Observations.GetAt(k))
            CheckObservation(*o, p.StationCount, errors);
    return errors.Any() ? 0 : 1;
}

} // namespace Tavex
