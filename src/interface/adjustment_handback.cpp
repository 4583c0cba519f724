#include "interface/adjustment_handback.h"

#include "engine/factor_solve.h"
#include "interface/observation_handback.h"
#include "interface/statistics_handback.h"
#include "messages/string_loader.h"
#include "project/adjustment_mode.h"
#include "project/station.h"
#include "resources/string_ids.h"
#include "testing/row_results.h"

#include <cmath>
#include <cstring>

namespace Tavex {

namespace {

constexpr int kPresenceHorizontal = 0x03;
constexpr int kPresenceBits = 0x0F;
constexpr int kStatusAdjusted = 7;
constexpr int kClassHeightAdjusted = 1;
constexpr int kClassPositionAdjusted = 2;
constexpr int kClassBothAdjusted = 3;

constexpr double kExternalReliabilityLimit = 1000.0;

// The external reliability of one unknown: 0.0 beyond the limit.
void ExternalOf(const ProjectState& p, const EngineState& e, std::uint32_t unknown, double& value,
                int& subject, int& code) {
    value = 0.0;
    subject = code = 0;
    if (unknown == 0)
        return;
    const ExternalEffect& effect = e.results.external[unknown];
    value = ReportedExternalReliability(effect.value);
    if (effect.row != 0) {
        subject = CausingSubject(p, e, effect.row);
        code = CausingCode(p, e, effect.row);
    }
}

void WriteExternalReliability(const ProjectState& p, const EngineState& e, unsigned s,
                              _STATIONADJ& record) {
    double value;
    int subject, code;
    ExternalOf(p, e, e.index.east[s], value, subject, code);
    record.ExtRelEast = value;
    record.ExtRelEastSource = subject;
    record.ExtRelEastCode = code;
    ExternalOf(p, e, e.index.north[s], value, subject, code);
    record.ExtRelNorth = value;
    record.ExtRelNorthSource = subject;
    record.ExtRelNorthCode = code;
    ExternalOf(p, e, e.index.height[s], value, subject, code);
    record.ExtRelHeight = value;
    record.ExtRelHeightSource = subject;
    record.ExtRelHeightCode = code;
}

struct AdjustedComponents {
    bool horizontal = false;
    bool height = false;
};

AdjustedComponents ComponentsOf(const EngineState& e, unsigned s) {
    AdjustedComponents c;
    if (const FreeObservation* free = e.freeObservations.Of(s)) {
        c.horizontal = free->solved && free->north && free->east;
        c.height = free->solved && free->height;
        return c;
    }
    c.horizontal = e.index.north.size() > s && e.index.north[s] != 0 && e.index.east[s] != 0;
    c.height = e.index.height.size() > s && e.index.height[s] != 0;
    return c;
}

// Covariance block, ellipse, station test, datum-row tests and external
// reliability of a station.
void WriteStationResults(const ProjectState& p, const EngineState& e, unsigned s,
                         _STATIONADJ& record) {
    const AdjustmentResults& r = e.results;
    if (r.precisionComputed && s < r.stations.size() && r.stations[s].computed) {
        const StationPrecision& sp = r.stations[s];
        // The record's first coordinate is north, except in the grid frame
        // of a map projection, where it is east.
        const bool eastFirst = p.CoordFrame == kFrameGridOfProjection;
        const double c[6] = {eastFirst ? sp.cEE : sp.cNN, sp.cNE,
                             eastFirst ? sp.cEh : sp.cNh, eastFirst ? sp.cNN : sp.cEE,
                             eastFirst ? sp.cNh : sp.cEh, sp.chh};
        record.CovScale = 1.0;
        std::memcpy(static_cast<void*>(&record.Cov), c, sizeof c);
        const double ellipse[4] = {sp.ellipse.A, sp.ellipse.B, sp.ellipse.phi, sp.sdHeight};
        std::memcpy(static_cast<void*>(&record.Ellipse), ellipse, sizeof ellipse);
    }
    const CTTest* test = s < r.stationTests.size() ? r.stationTests[s].get() : nullptr;
    if (test != nullptr && p.AdjDesign == 0)
        record.TTest = test->T;
    // Datum rows of the station.
    unsigned datumRows = 0;
    for (std::size_t row = e.observationRows + 1; row <= e.Rows(); ++row) {
        const ObservationRow& datum = e.rows[row];
        if (!datum.IsDatum() || datum.source != s)
            continue;
        ++datumRows;
        if (p.Phase == PHASE_FREE || row >= r.mdb.size())
            continue;
        const RowResult result = ResultOf(p, e, row);
        const double values[3] = {result.mdb, result.bnr, p.AdjDesign ? 0.0 : result.w};
        void* target = datum.kind == ROW_DATUM_NORTH  ? static_cast<void*>(&record.DatumNorth)
                       : datum.kind == ROW_DATUM_EAST ? static_cast<void*>(&record.DatumEast)
                                                      : static_cast<void*>(&record.DatumHeight);
        std::memcpy(target, values, sizeof values);
    }
    record.TestDimension = static_cast<std::uint16_t>(
        p.Phase == PHASE_FREE ? (test ? test->dimension : 0u) : datumRows);
    if (r.externalComputed)
        WriteExternalReliability(p, e, s, record);
}

void WriteStation(const ProjectState& p, const EngineState& e, unsigned s, _STATIONADJ& record) {
    const AdjustedComponents adjusted = ComponentsOf(e, s);
    if (!adjusted.horizontal && !adjusted.height)
        return;
    WriteStationResults(p, e, s, record);
    const StationGeometry& g = e.geometry[s];
    if (p.AdjDesign == 0) {
        if (adjusted.horizontal) {
            if (record.CoordFlags & COORD_FLAG_GEOGRAPHIC) {
                record.Coord1 = g.lat;
                record.Coord2 = g.lon;
            } else if (record.CoordFlags & COORD_FLAG_GRID) {
                double easting = 0.0, northing = 0.0;
                if (p.CurrentProjection->LatLonToXY(g.lat, g.lon, &easting, &northing)) {
                    record.Coord1 = easting;
                    record.Coord2 = northing;
                }
            }
        }
        if (adjusted.height)
            record.Height = g.h;
        record.CoordStatus = kStatusAdjusted;
        int presence = record.Presence & ~kPresenceBits;
        if (adjusted.horizontal)
            presence |= kPresenceHorizontal;
        if (adjusted.height)
            presence |= p.HeightKind;
        record.Presence = presence;
        record.CoordClass =
            adjusted.horizontal && adjusted.height
                ? kClassBothAdjusted
                : (adjusted.horizontal ? kClassPositionAdjusted : kClassHeightAdjusted);
        // After all three components, a missing point code takes the other's.
        if (adjusted.horizontal && adjusted.height) {
            if (record.PointCode1 == 0 && record.PointCode2 != 0)
                record.PointCode1 = record.PointCode2;
            else if (record.PointCode2 == 0 && record.PointCode1 != 0)
                record.PointCode2 = record.PointCode1;
        }
    }
}

void WriteAdditionalParameters(const ProjectState& p, const EngineState& e, _SETTINGS& s) {
    for (std::uint32_t i = 1; i <= e.Unknowns(); ++i) {
        const UnknownDescriptor& u = e.unknowns[i];
        if (u.IsCoordinate() || u.kind == UNK_ORIENTATION)
            continue;
        const double value = e.values[i];
        const double sigma = UnknownSigma(p, e, i);
        switch (u.kind) {
        case UNK_SCALE:
            if (u.sub < kParameterGroups) {
                s.ScaleFactor[u.sub] = value;
                s.ScaleFactorSd[u.sub] = sigma * value; // a relative correction
            }
            break;
        case UNK_REFRACTION:
            if (u.sub < kParameterGroups) {
                s.RefractionCoef[u.sub] = value;
                s.RefractionCoefSd[u.sub] = sigma;
            }
            break;
        case UNK_AZIMUTH_OFFSET:
            if (u.sub < kParameterGroups) {
                s.AzimuthOffset[u.sub] = value;
                s.AzimuthOffsetSd[u.sub] = sigma;
            }
            break;
        case UNK_GPS_TRANSFORMATION:
            if (u.sub >= 1 && u.sub <= kGpsParameters) {
                s.GPSTransfPar[u.sub] = value;
                s.GPSTransfParSd[u.sub] = sigma;
            }
            break;
        default:
            break;
        }
    }
}

} // namespace

double ReportedExternalReliability(double value) {
    return std::fabs(value) > kExternalReliabilityLimit ? 0.0 : value;
}

double UnknownSigma(const ProjectState& p, const EngineState& e, std::uint32_t i) {
    // The precision step keeps every unknown's standard deviation; the factor
    // may since hold L again (external reliability factorises anew).
    if (i < e.results.sdUnknown.size())
        return e.results.sdUnknown[i];
    const CholeskyFactor& factor = e.system.factor;
    if (factor.L.rows < i)
        return 0.0;
    double q = 0.0;
    if (factor.holdsCofactors) {
        q = factor.L.val[factor.Diagonal(i)];
    } else {
        CofactorWorkspace work;
        q = CofactorElement(factor, i, i, work);
    }
    // Q = σ0² × the covariance of the unknowns.
    return std::sqrt(std::max(q, 0.0)) / p.Sigma0;
}

int ResultsAreFinite(ProjectState& p, const EngineState& e) {
    bool finite = std::isfinite(e.largestCorrection) && std::isfinite(e.varianceFactor);
    for (std::size_t i = 1; i <= e.Unknowns() && finite; ++i)
        finite = std::isfinite(e.values[i]);
    if (finite)
        return 1;
    p.Messages.AddMessage(STR_NOT_FINITE_RESULT, MSG_ERROR, REF_NONE,
                          CStringL(STR_NOT_FINITE_RESULT));
    return 0;
}

void HandBackAdjustment(ProjectState& p, EngineState& e, _STATISTICS& statistics) {
    if (p.StationRecords != nullptr)
        for (unsigned s = 1; s <= p.StationCount; ++s)
            if (!p.Stations[s].Excluded)
                WriteStation(p, e, s, p.StationRecords[s - 1]);
    HandBackObservations(p, e);
    HandBackStatistics(p, e, statistics);
    if (p.AdjDesign == 0 && e.Unknowns() > 0 && p.SettingsRecord != nullptr)
        WriteAdditionalParameters(p, e, *p.SettingsRecord);
}

} // namespace Tavex
