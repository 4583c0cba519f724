// The input sections of the report: projection and ellipsoid constants,
// input GPS transformation parameters, approximate coordinates, known
// stations, geoid heights, additional parameters, observations and their
// standard deviations.
#include "output/report_sections.h"
#include "output/row_naming.h"
#include "project/observation_codes.h"
#include "resources/string_ids.h"

#include <algorithm>
#include <set>

namespace Tavex {

namespace {

constexpr int kLengthWidth = 14;
constexpr int kSmallWidth = 10;
constexpr int kCodeWidth = 4;
constexpr int kUnitWidth = 4;
constexpr int kRecordWidth = 6;
constexpr int kFlagWidth = 6;
constexpr double kPartsPerMillion = 1e6;

void LengthLine(const ReportContext& c, int id, double metres) {
    WriteLabelled(c, Label(id),
                  LengthField(c.units, metres, kLengthWidth) + L" " + c.units.linearName);
}

void AngleLine(const ReportContext& c, int id, double radians) {
    WriteLabelled(c, Label(id),
                  AngleField(c.units, radians, kCoordinateAngleWidth, AngleUse::Coordinate) + L" " +
                      c.units.angleName);
}

void NumberLine(const ReportContext& c, int id, double value, int decimals) {
    WriteLabelled(c, Label(id), FixedField(value, kLengthWidth, decimals));
}

// The known components of station s as their labels, e.g. "北东高".
CKZString KnownComponents(const ProjectState& p, unsigned s) {
    for (unsigned k = 1; k <= p.KnownCount && k < p.Known.size(); ++k) {
        const KnownRec& known = p.Known[k];
        if (known.Station != s)
            continue;
        CKZString text;
        if (known.LatKnown)
            text += Label(STR_LABEL_NORTH);
        if (known.LonKnown)
            text += Label(STR_LABEL_EAST);
        if (known.HeightKnown)
            text += Label(STR_LABEL_UP);
        return text;
    }
    return CKZString();
}

// One table of input coordinates: the stations of the source whose record
// gave grid coordinates (grid) or geographic ones (!grid).
void CoordinateTable(const ReportContext& c, int source, bool grid) {
    bool headed = false;
    for (unsigned s = 1; s <= c.p.StationCount; ++s) {
        const StationRec& st = c.p.Stations[s];
        if (st.Excluded || !st.HasCoordinates || st.CoordSource != source || st.FromGrid != grid)
            continue;
        const int width = grid ? kLengthWidth : kCoordinateAngleWidth;
        if (!headed) {
            headed = true;
            ReportLine head, units;
            head.Left(Label(STR_LABEL_STATION), c.nameWidth)
                .Right(Label(grid ? STR_LABEL_EASTING : STR_LABEL_LATITUDE), width)
                .Right(Label(grid ? STR_LABEL_NORTHING : STR_LABEL_LONGITUDE), width)
                .Right(Label(STR_LABEL_HEIGHT), kLengthWidth)
                .Left(Label(STR_LABEL_FIXED), kFlagWidth);
            const CKZString horizontal = Bracketed(grid ? c.units.linearName : c.units.angleName);
            units.Skip(c.nameWidth)
                .Right(horizontal, width)
                .Right(horizontal, width)
                .Right(Bracketed(c.units.linearName), kLengthWidth);
            WriteLine(c, head.Text());
            WriteLine(c, units.Text());
        }
        ReportLine line;
        line.Left(st.Name, c.nameWidth);
        if (grid)
            line.Right(LengthField(c.units, st.Easting, width), width)
                .Right(LengthField(c.units, st.Northing, width), width);
        else
            line.Right(AngleField(c.units, st.Lat, width, AngleUse::Coordinate), width)
                .Right(AngleField(c.units, st.Lon, width, AngleUse::Coordinate), width);
        line.Right(LengthField(c.units, st.Height, kLengthWidth), kLengthWidth)
            .Left(KnownComponents(c.p, s), kFlagWidth);
        WriteLine(c, line.Text());
    }
}

bool HasStationsOf(const ProjectState& p, int source) {
    for (unsigned s = 1; s <= p.StationCount; ++s)
        if (!p.Stations[s].Excluded && p.Stations[s].HasCoordinates &&
            p.Stations[s].CoordSource == source)
            return true;
    return false;
}

// Whether reading type with sub-code carries an angle.
bool IsAngleReading(std::uint16_t type, std::uint16_t sub) {
    return type == OBS_DIRECTION || type == OBS_ZENITH || type == OBS_AZIMUTH ||
           (type == OBS_GEOMETRIC_RELATION && sub == 0);
}

struct Reading {
    const CObservation* o;
    int slot;
};

// Every switched-on reading of the observation list, in list order.
std::vector<Reading> Readings(const ProjectState& p) {
    std::vector<Reading> readings;
    for (int k = 1; k < p.Observations.GetSize(); ++k) {
        const CObservation* o = p.Observations.GetAt(k);
        if (o == nullptr)
            continue;
        for (int i = 0; i < 3; ++i)
            if (o->Off[i] == 0 && o->Type[i] != OBS_NONE)
                readings.push_back({o, i});
    }
    return readings;
}

void ReadingHead(const ReportContext& c, ReportLine& line) {
    line.Right(Label(STR_LABEL_RECORD), kRecordWidth)
        .Left(Label(STR_LABEL_STATION), c.nameWidth)
        .Left(Label(STR_LABEL_TARGET), c.nameWidth)
        .Left(Label(STR_LABEL_CODE), kCodeWidth);
}

void ReadingName(const ReportContext& c, const Reading& r, ReportLine& line) {
    CKZString record;
    record.Format(L"%u", r.o->Record);
    line.Right(record, kRecordWidth)
        .Left(StationName(c.p, r.o->Station), c.nameWidth)
        .Left(r.o->IsSingleStation() ? CKZString() : StationName(c.p, r.o->Target), c.nameWidth)
        .Left(ObservationCode(r.o->Type[r.slot], r.o->Sub[r.slot]), kCodeWidth);
}

// The groups of the readings of a type that are switched on.
std::set<unsigned> GroupsOf(const ProjectState& p, std::uint16_t type) {
    std::set<unsigned> groups;
    for (const Reading& r : Readings(p))
        if (r.o->Type[r.slot] == type && r.o->Sub[r.slot] < kGroupCount)
            groups.insert(r.o->Sub[r.slot]);
    return groups;
}

} // namespace

void WriteProjectionConstants(const ReportContext& c) {
    const COutputSystem* system = c.p.CurrentProjection.get();
    WriteHeading(c, STR_HEADING_PROJECTION);
    if (system == nullptr) {
        WriteLine(c, Label(STR_LABEL_NONE));
        return;
    }
    WriteLabelled(c, Label(STR_LABEL_PROJECTION), system->szGetProjectionName());
    WriteLabelled(c, Label(STR_LABEL_ELLIPSOID), system->szGetEllipsoidName());
    LengthLine(c, STR_LABEL_SEMI_MAJOR_AXIS, system->dGetSemiMajAx());
    NumberLine(c, STR_LABEL_INVERSE_FLATTENING, system->dGetInvFlatt(), 9);
    if (c.p.ProjectionType != 0) {
        AngleLine(c, STR_LABEL_LATITUDE_ORIGIN, system->dGetLatOrigin());
        AngleLine(c, STR_LABEL_CENTRAL_MERIDIAN, system->dGetLonOriginCM());
        AngleLine(c, STR_LABEL_STANDARD_PARALLEL_1, system->dGetStandPar1());
        AngleLine(c, STR_LABEL_STANDARD_PARALLEL_2, system->dGetStandPar2());
        NumberLine(c, STR_KIND_SCALE_FACTORS, system->dGetProjScaleFac(), 9);
        LengthLine(c, STR_LABEL_FALSE_EASTING, system->dGetFalseEasting());
        LengthLine(c, STR_LABEL_FALSE_NORTHING, system->dGetFalseNorthing());
    }
    LengthLine(c, STR_LABEL_MEAN_EARTH_RADIUS, c.p.MeanEarthRadius);
}

void WriteInputGpsTransformation(const ReportContext& c) {
    // Under a host the parameters come back through the settings record;
    // the section is written only for the kernel's own callers, and only
    // when the adjustment has such parameters.
    if (c.p.CallerMode == kCallerModeHost || c.e.unknownCounts.gpsParameters == 0)
        return;
    WriteHeading(c, STR_KIND_GPS_PARAMETERS);
    ReportLine head;
    head.Left(Label(STR_LABEL_PARAMETER), c.nameWidth)
        .Right(Label(STR_LABEL_A_PRIORI), kLengthWidth)
        .Right(Label(STR_LABEL_SD), kLengthWidth);
    WriteLine(c, head.Text());
    for (int k = GPS_ROTATION_X; k <= GPS_TRANSLATION_Z; ++k) {
        ReportLine line;
        line.Left(Label(STR_LABEL_GPS_ROTATION_X + k - 1), c.nameWidth);
        if (k <= GPS_ROTATION_Z)
            line.Right(AngleField(c.units, c.p.GPSTransfPar[k], kLengthWidth, AngleUse::Signed),
                       kLengthWidth)
                .Right(AngleField(c.units, c.p.GPSTransfParSd[k], kLengthWidth, AngleUse::Signed),
                       kLengthWidth);
        else if (k == GPS_SCALE)
            line.Number(c.p.GPSTransfPar[k], kLengthWidth, 9)
                .Number(c.p.GPSTransfParSd[k], kLengthWidth, 9);
        else
            line.Right(LengthField(c.units, c.p.GPSTransfPar[k], kLengthWidth), kLengthWidth)
                .Right(LengthField(c.units, c.p.GPSTransfParSd[k], kLengthWidth), kLengthWidth);
        WriteLine(c, line.Text());
    }
}

void WriteInputCoordinates(const ReportContext& c) {
    const int sources[2] = {SOURCE_TERRESTRIAL, SOURCE_GPS};
    const int headings[2] = {STR_HEADING_INPUT_COORDINATES, STR_HEADING_INPUT_GPS_COORDINATES};
    for (int k = 0; k < 2; ++k) {
        if (!HasStationsOf(c.p, sources[k]))
            continue;
        WriteHeading(c, headings[k]);
        CoordinateTable(c, sources[k], false);
        CoordinateTable(c, sources[k], true);
    }
}

void WriteInputKnownStations(const ReportContext& c) {
    // Under a host the known stations are the host's own records.
    if (c.p.CallerMode == kCallerModeHost || c.p.KnownCount == 0)
        return;
    WriteHeading(c, STR_HEADING_INPUT_KNOWN);
    ReportLine head, units;
    head.Left(Label(STR_LABEL_STATION), c.nameWidth)
        .Right(Label(STR_LABEL_NORTH), kSmallWidth)
        .Right(Label(STR_LABEL_EAST), kSmallWidth)
        .Right(Label(STR_LABEL_UP), kSmallWidth);
    units.Skip(c.nameWidth)
        .Right(Bracketed(c.units.linearName), kSmallWidth)
        .Right(Bracketed(c.units.linearName), kSmallWidth)
        .Right(Bracketed(c.units.linearName), kSmallWidth);
    WriteLine(c, head.Text());
    WriteLine(c, units.Text());
    for (unsigned k = 1; k <= c.p.KnownCount && k < c.p.Known.size(); ++k) {
        const KnownRec& known = c.p.Known[k];
        ReportLine line;
        line.Left(StationName(c.p, known.Station), c.nameWidth);
        const int flags[3] = {known.LatKnown, known.LonKnown, known.HeightKnown};
        const double sd[3] = {known.SdLat, known.SdLon, known.SdHeight};
        for (int i = 0; i < 3; ++i)
            line.Right(flags[i] ? LengthField(c.units, sd[i], kSmallWidth) : CKZString(),
                       kSmallWidth);
        WriteLine(c, line.Text());
    }
}

void WriteInputGeoidHeights(const ReportContext& c) {
    if (c.p.GeoidModel == 0)
        return;
    // The station records carry no geoid heights: every station takes 0,
    // as the warnings of the adjustment (557) said.
    constexpr double kGeoidHeight = 0.0;
    WriteHeading(c, STR_HEADING_INPUT_GEOID);
    ReportLine head;
    head.Left(Label(STR_LABEL_STATION), c.nameWidth)
        .Right(Label(STR_LABEL_GEOID_HEIGHT), kLengthWidth);
    WriteLine(c, head.Text());
    for (const unsigned s : AdjustedStations(c.e)) {
        ReportLine line;
        line.Left(StationName(c.p, s), c.nameWidth)
            .Right(LengthField(c.units, kGeoidHeight, kLengthWidth), kLengthWidth);
        WriteLine(c, line.Text());
    }
}

void WriteInputAdditionalParameters(const ReportContext& c) {
    WriteHeading(c, STR_HEADING_INPUT_PARAMETERS);
    struct Kind {
        int label;
        std::uint16_t type;
        const double* values;
        const int* free;
    };
    const Kind kinds[3] = {
        {STR_KIND_SCALE_FACTORS, OBS_DISTANCE, c.p.ScaleFactor, c.p.ScaleFactorFree},
        {STR_KIND_REFRACTION, OBS_ZENITH, c.p.RefractionCoef, c.p.RefractionCoefFree},
        {STR_KIND_AZIMUTH_OFFSETS, OBS_AZIMUTH, c.p.AzimuthOffset, c.p.AzimuthOffsetFree}};
    ReportLine head;
    head.Left(Label(STR_LABEL_PARAMETER), 2 * c.nameWidth)
        .Right(Label(STR_LABEL_GROUP), kCodeWidth)
        .Right(Label(STR_LABEL_A_PRIORI), kLengthWidth)
        .Left(CKZString(), kUnitWidth)
        .Left(Label(STR_LABEL_ESTIMATED), kFlagWidth);
    bool any = false;
    for (const Kind& kind : kinds) {
        for (unsigned g : GroupsOf(c.p, kind.type)) {
            if (!any)
                WriteLine(c, head.Text());
            any = true;
            ReportLine line;
            line.Left(Label(kind.label), 2 * c.nameWidth).Number(g, kCodeWidth, 0);
            if (kind.type == OBS_AZIMUTH)
                line.Right(AngleField(c.units, kind.values[g], kLengthWidth, AngleUse::Signed),
                           kLengthWidth)
                    .Left(c.units.angleName, kUnitWidth);
            else
                line.Number(kind.values[g], kLengthWidth, kind.type == OBS_DISTANCE ? 8 : 4)
                    .Left(CKZString(), kUnitWidth);
            line.Left(Label(kind.free[g] ? STR_LABEL_ESTIMATED : STR_LABEL_FIXED), kFlagWidth);
            WriteLine(c, line.Text());
        }
    }
    if (!any)
        WriteLine(c, Label(STR_LABEL_NONE));
}

void WriteInputObservations(const ReportContext& c) {
    WriteHeading(c, STR_HEADING_INPUT_OBSERVATIONS);
    ReportLine head;
    ReadingHead(c, head);
    head.Right(Label(STR_LABEL_READING), kLengthWidth)
        .Left(CKZString(), kUnitWidth)
        .Right(Label(STR_LABEL_INSTRUMENT_HEIGHT), kSmallWidth)
        .Right(Label(STR_LABEL_TARGET_HEIGHT), kSmallWidth);
    WriteLine(c, head.Text());
    const CObservation* previous = nullptr;
    for (const Reading& r : Readings(c.p)) {
        ReportLine line;
        ReadingName(c, r, line);
        const std::uint16_t type = r.o->Type[r.slot];
        const double value = r.o->Reading[r.slot];
        if (IsAngleReading(type, r.o->Sub[r.slot]))
            line.Right(AngleField(c.units, value, kLengthWidth, AngleUse::Direction), kLengthWidth)
                .Left(c.units.angleName, kUnitWidth);
        else
            line.Right(LengthField(c.units, value, kLengthWidth), kLengthWidth)
                .Left(c.units.linearName, kUnitWidth);
        // Instrument and target heights once per record, where they apply.
        if (r.o != previous && !r.o->IsGps() && !r.o->IsSingleStation())
            line.Right(LengthField(c.units, r.o->StationHeight, kSmallWidth), kSmallWidth)
                .Right(LengthField(c.units, r.o->TargetHeight, kSmallWidth), kSmallWidth);
        previous = r.o;
        WriteLine(c, line.Text());
    }
}

void WriteInputStandardDeviations(const ReportContext& c) {
    WriteHeading(c, STR_HEADING_INPUT_SD);
    // The unit after the second part is wide enough for the correlation label.
    const int secondUnit = std::max(kUnitWidth, DisplayWidth(Label(STR_LABEL_CORRELATION)));
    ReportLine head;
    ReadingHead(c, head);
    head.Right(Label(STR_LABEL_ABSOLUTE), kSmallWidth + 1)
        .Left(CKZString(), kUnitWidth)
        .Right(Label(STR_LABEL_RELATIVE), kSmallWidth)
        .Left(CKZString(), secondUnit);
    WriteLine(c, head.Text());
    // GPS blocks hold sdX, rXY, sdY, rXZ, rYZ, sdZ: each component's line
    // shows its standard deviation and one correlation, in that order.
    constexpr int kGpsSd[3] = {0, 2, 5};
    constexpr int kGpsCorrelation[3] = {1, 3, 4};
    for (const Reading& r : Readings(c.p)) {
        ReportLine line;
        ReadingName(c, r, line);
        const std::uint16_t type = r.o->Type[r.slot];
        const double* precision = r.o->Precision;
        if (r.o->IsGps()) {
            line.Right(LengthField(c.units, precision[kGpsSd[r.slot]], kSmallWidth + 1),
                       kSmallWidth + 1)
                .Left(c.units.linearName, kUnitWidth)
                .Number(precision[kGpsCorrelation[r.slot]], kSmallWidth, 4)
                .Left(Label(STR_LABEL_CORRELATION), secondUnit);
        } else if (IsAngleReading(type, r.o->Sub[r.slot])) {
            // An angle and the length (centring-like) part over the distance.
            line.Right(
                    AngleField(c.units, precision[2 * r.slot], kSmallWidth + 1, AngleUse::Signed),
                    kSmallWidth + 1)
                .Left(c.units.angleName, kUnitWidth)
                .Right(LengthField(c.units, precision[2 * r.slot + 1], kSmallWidth), kSmallWidth)
                .Left(c.units.linearName, secondUnit);
        } else if (type == OBS_DISTANCE || type == OBS_GEOMETRIC_RELATION) {
            line.Right(LengthField(c.units, precision[2 * r.slot], kSmallWidth + 1),
                       kSmallWidth + 1)
                .Left(c.units.linearName, kUnitWidth)
                .Number(precision[2 * r.slot + 1] * kPartsPerMillion, kSmallWidth, 2)
                .Left(Label(STR_UNIT_PPM), secondUnit);
        } else {
            // Height differences and local coordinates: the absolute part
            // and the part per root of the line length.
            line.Right(LengthField(c.units, precision[2 * r.slot], kSmallWidth + 1),
                       kSmallWidth + 1)
                .Left(c.units.linearName, kUnitWidth)
                .Right(LengthField(c.units, precision[2 * r.slot + 1], kSmallWidth), kSmallWidth)
                .Left(c.units.linearName, secondUnit);
        }
        WriteLine(c, line.Text());
    }
}

} // namespace Tavex
