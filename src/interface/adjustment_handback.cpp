#include "interface/adjustment_handback.h"

#include "engine/factor_solve.h"
#include "messages/string_loader.h"
#include "project/station.h"
#include "resources/string_ids.h"

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

struct AdjustedComponents {
    bool horizontal = false;
    bool height = false;
};

AdjustedComponents ComponentsOf(const EngineState& e, unsigned s) {
    AdjustedComponents c;
    c.horizontal = e.index.north.size() > s && e.index.north[s] != 0 && e.index.east[s] != 0;
    c.height = e.index.height.size() > s && e.index.height[s] != 0;
    return c;
}

void WriteStation(const ProjectState& p, const EngineState& e, unsigned s, _STATIONADJ& record) {
    const AdjustedComponents adjusted = ComponentsOf(e, s);
    if (!adjusted.horizontal && !adjusted.height)
        return;
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

void WriteStatistics(const ProjectState& p, const EngineState& e, _STATISTICS& st) {
    const UnknownCounts& u = e.unknownCounts;
    const RowCounts& r = e.counts;
    const bool design = p.AdjDesign != 0;
    if (!design)
        std::memset(static_cast<void*>(&st), 0, sizeof st);
    else
        std::memset(static_cast<void*>(&st), 0, offsetof(_STATISTICS, DatumW));
    st.Unknowns = static_cast<int>(e.Unknowns());
    st.CoordinateUnknowns = static_cast<int>(u.coordinates);
    st.OrientationUnknowns = static_cast<int>(u.orientations);
    st.ScaleFactors = static_cast<int>(u.scaleFactors);
    st.RefractionCoefficients = static_cast<int>(u.refractionCoefficients);
    st.AzimuthOffsets = static_cast<int>(u.azimuthOffsets);
    st.GPSTransformationParameters = static_cast<int>(u.gpsParameters);
    st.AdditionalTransformationParameters = static_cast<int>(u.additionalParameters);
    st.Observations = static_cast<int>(e.Rows());
    st.Directions = static_cast<int>(r.directions);
    st.Distances = static_cast<int>(r.distances + r.relations);
    st.ZenithAngles = static_cast<int>(r.zenithAngles);
    st.TrigonometricHeightDifferences = static_cast<int>(r.trigonometricHeights);
    st.Azimuths = static_cast<int>(r.azimuths);
    st.HeightDifferences = static_cast<int>(r.heightDifferences);
    st.GPSCoordinateDifferences = static_cast<int>(r.gpsBaselines);
    st.GPSCoordinates = static_cast<int>(r.gpsCoordinates);
    st.DatumPseudoObservations = static_cast<int>(r.datum + r.innerConstraints);
    st.TransformationPseudoObservations = static_cast<int>(r.transformation);
    st.DegreesOfFreedom = st.Observations - st.Unknowns;
    st.Iterations = static_cast<int>(e.iterations);
    st.LargestCorrection = e.largestCorrection;
    const CriticalValues& c = p.Critical;
    st.ConfidenceF = c.confidenceF;
    st.ConfidenceT2 = c.confidenceT2;
    st.ConfidenceT3 = c.confidenceT3;
    st.Lambda0 = c.lambda0;
    st.CriticalW = c.criticalW;
    st.CriticalT2 = c.criticalT2;
    st.CriticalT3 = c.criticalT3;
    st.CriticalF = c.criticalF;
    st.FTest = e.varianceFactor;
}

void WriteAdditionalParameters(const ProjectState& p, const EngineState& e, _SETTINGS& s) {
    for (std::uint32_t i = 1; i <= e.Unknowns(); ++i) {
        const UnknownDescriptor& u = e.unknowns[i];
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

double UnknownSigma(const ProjectState& p, const EngineState& e, std::uint32_t i) {
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
    return p.Sigma0 * std::sqrt(std::max(q, 0.0));
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
    WriteStatistics(p, e, statistics);
    if (p.AdjDesign == 0 && e.Unknowns() > 0 && p.SettingsRecord != nullptr)
        WriteAdditionalParameters(p, e, *p.SettingsRecord);
}

} // namespace Tavex
