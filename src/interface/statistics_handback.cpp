#include "interface/statistics_handback.h"

#include "interface/observation_handback.h"
#include "testing/row_results.h"

#include <cmath>
#include <cstring>

namespace Tavex {

namespace {

constexpr double kFloor = 1e-32;

void WriteCounts(const ProjectState& p, const EngineState& e, _STATISTICS& st) {
    const UnknownCounts& u = e.unknownCounts;
    const RowCounts& r = e.counts;
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

_W_ENTRY WEntry(int subject, int code, double w, double criticalW, double estimatedError,
                double extra = 0.0) {
    _W_ENTRY entry;
    std::memset(&entry, 0, sizeof entry);
    entry.Subject = subject;
    entry.Code = code;
    entry.W = w;
    entry.Ratio = std::fabs(w) / criticalW;
    entry.EstimatedError = estimatedError;
    entry.Extra = extra;
    return entry;
}

_T_ENTRY TEntry(int subject, int code, const CTTest& test, double critical) {
    _T_ENTRY entry;
    std::memset(&entry, 0, sizeof entry);
    entry.Subject = subject;
    entry.Code = code;
    entry.T = test.T;
    entry.Ratio = std::sqrt(std::max(test.T, 0.0) / critical);
    for (int k = 0; k < 3; ++k)
        entry.EstimatedError[k] = test.estimatedError[k];
    return entry;
}

// Row lists: candidates (row, key) ranked, written through make(row).
template <class Entry, class Make>
void FillList(Entry (&list)[10], std::vector<RankedIndex> candidates, Make make) {
    std::size_t k = 0;
    for (const RankedIndex& ranked : TopTen(std::move(candidates)))
        list[k++] = make(ranked.index);
}

void WriteLists(const ProjectState& p, const EngineState& e, _STATISTICS& st) {
    const double criticalW = p.Critical.criticalW;
    const AdjustmentResults& results = e.results;
    std::vector<RankedIndex> datum, observations, groups, antenna, stations;
    for (std::size_t r = 1; r <= e.Rows(); ++r) {
        const ObservationRow& row = e.rows[r];
        const double w = r < results.w.size() ? results.w[r] : 0.0;
        if (std::fabs(w) <= criticalW)
            continue;
        const auto index = static_cast<std::uint32_t>(r);
        if (row.IsDatum())
            datum.push_back({index, std::fabs(w)});
        else if (row.IsObservation())
            observations.push_back({index, std::max(std::fabs(w), kFloor)});
    }
    for (std::size_t k = 1; k < results.observationTests.size(); ++k) {
        const CTTest* t = results.observationTests[k].get();
        if (t != nullptr && t->dimension == 3 && t->T > p.Critical.criticalT3)
            groups.push_back({static_cast<std::uint32_t>(k), t->T});
        const CHTest* h = results.antennaTests[k].get();
        if (h != nullptr && h->Rejected(criticalW))
            antenna.push_back({static_cast<std::uint32_t>(k), std::fabs(h->w[2])});
    }
    if (p.Phase != PHASE_FREE && (p.Dimension == 2 || p.Dimension == 3))
        for (unsigned s = 1; s < results.stationTests.size(); ++s) {
            const CTTest* t = results.stationTests[s].get();
            if (t == nullptr || p.Stations[s].Excluded || t->dimension < 2)
                continue;
            const double critical =
                t->dimension == 3 ? p.Critical.criticalT3 : p.Critical.criticalT2;
            if (t->T > critical)
                stations.push_back({s, t->T / critical});
        }

    FillList(st.DatumW, datum, [&](std::uint32_t r) {
        const RowResult result = ResultOf(p, e, r);
        return WEntry(CausingSubject(p, e, r), CausingCode(p, e, r), result.w, criticalW,
                      result.estimatedError);
    });
    FillList(st.ObservationW, observations, [&](std::uint32_t r) {
        const RowResult result = ResultOf(p, e, r);
        const ObservationRow& row = e.rows[r];
        const CObservation& o = *p.Observations.GetAt(static_cast<int>(row.source));
        return WEntry(static_cast<int>(o.Record), 10 * o.Type[row.slot] + o.Sub[row.slot], result.w,
                      criticalW, result.estimatedError);
    });
    FillList(st.KnownStationT, stations, [&](std::uint32_t s) {
        const CTTest& t = *results.stationTests[s];
        return TEntry(static_cast<int>(s), static_cast<int>(t.dimension), t,
                      t.dimension == 3 ? p.Critical.criticalT3 : p.Critical.criticalT2);
    });
    FillList(st.GPSGroupT, groups, [&](std::uint32_t k) {
        const CObservation& o = *p.Observations.GetAt(static_cast<int>(k));
        return TEntry(static_cast<int>(o.Record), o.Type[0], *results.observationTests[k],
                      p.Critical.criticalT3);
    });
    FillList(st.AntennaHeightW, antenna, [&](std::uint32_t k) {
        const CObservation& o = *p.Observations.GetAt(static_cast<int>(k));
        const CHTest& h = *results.antennaTests[k];
        return WEntry(static_cast<int>(o.Record), o.Type[0], h.w[2], criticalW, h.estimatedError[2],
                      h.mdb[2]);
    });
}

} // namespace

void HandBackStatistics(const ProjectState& p, const EngineState& e, _STATISTICS& st) {
    const bool design = p.AdjDesign != 0;
    std::memset(static_cast<void*>(&st), 0,
                design ? offsetof(_STATISTICS, DatumW) : sizeof(_STATISTICS));
    WriteCounts(p, e, st);
    if (!design)
        WriteLists(p, e, st);
}

} // namespace Tavex
