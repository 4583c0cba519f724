#include "interface/observation_handback.h"

#include "engine/row_equation.h"
#include "testing/row_results.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace Tavex {

namespace {

constexpr float Float(double x) {
    return static_cast<float>(x);
}

void WriteEllipse(const EngineState& e, const ObservationRow& row, double* target) {
    const auto& index = e.results.relativeIndex;
    const auto at = index.find({std::min(row.from, row.to), std::max(row.from, row.to)});
    if (row.to == 0 || at == index.end())
        return;
    const RelativePrecision& rel = e.results.relative[at->second];
    const double values[4] = {rel.ellipse.A, rel.ellipse.B, rel.ellipse.phi, rel.sdHeight};
    std::memcpy(target, values, sizeof values);
}

// The a-priori correlation coefficients XY, XZ, YZ of a GPS baseline, with
// the centring and height errors of its stations included.
void BaselineCorrelations(const ProjectState& p, const EngineState& e, const ObservationRow& row,
                          double (&r)[3]) {
    const Covariance3 c = GpsRowCovariance(p, e, row);
    const auto correlation = [&](int i, int j) {
        const double d = std::sqrt(c.c[i][i] * c.c[j][j]);
        return d > 0.0 ? c.c[i][j] / d : 0.0;
    };
    r[0] = correlation(0, 1);
    r[1] = correlation(0, 2);
    r[2] = correlation(1, 2);
}

void WriteBaseline(const ProjectState& p, const EngineState& e, const ObservationRow& first,
                   const RowResult (&results)[3], _OBSERVATION& record) {
    const bool design = p.AdjDesign != 0;
    _OBS_RESULT_BASELINE& out = record.Baseline;
    double residual[3];
    for (int i = 0; i < 3; ++i) {
        const RowResult& result = results[i];
        residual[i] = design ? 0.0 : result.residual;
        out.Redundancy[i] = WholePercent(result.redundancy);
        out.Residual[i] = residual[i];
        out.Mdb[i] = result.mdb;
        out.Bnr[i] = result.bnr;
        out.W[i] = design ? 0.0f : Float(result.w);
        out.Sd[i] = result.sd;
        out.SdAdjusted[i] = result.sdAdjusted;
    }
    WriteEllipse(e, first, out.RelEllipse);
    // The residual vector in the horizon of the station.
    const StationGeometry& g = e.geometry[first.from];
    const double n[3] = {-g.sinLat * g.cosLon, -g.sinLat * g.sinLon, g.cosLat};
    const double east[3] = {-g.sinLon, g.cosLon, 0.0};
    const double u[3] = {g.cosLat * g.cosLon, g.cosLat * g.sinLon, g.sinLat};
    const auto dot = [&](const double* a) {
        return a[0] * residual[0] + a[1] * residual[1] + a[2] * residual[2];
    };
    out.ResidualLocal[0] = dot(n);
    out.ResidualLocal[1] = dot(east);
    out.ResidualLocal[2] = dot(u);
    const CTTest* test = e.results.observationTests.size() > first.source
                             ? e.results.observationTests[first.source].get()
                             : nullptr;
    out.TTest = test && !design ? test->T : 0.0;
    double correlations[3];
    BaselineCorrelations(p, e, first, correlations);
    for (int i = 0; i < 3; ++i)
        out.Correlation[i] = correlations[i];
}

void WriteReading(const ProjectState& p, const EngineState& e, const ObservationRow& row,
                  const RowResult& result, const CObservation& o, _OBSERVATION& record) {
    const std::uint16_t type = o.Type[row.slot];
    const bool design = p.AdjDesign != 0;
    const double residual = design ? 0.0 : result.residual;
    const float w = design ? 0.0f : Float(result.w);
    if (type == OBS_AZIMUTH || type == OBS_HEIGHT_DIFFERENCE) {
        _OBS_RESULT_SINGLE& out = record.Single;
        out.Redundancy = WholePercent(result.redundancy);
        WriteEllipse(e, row, out.RelEllipse);
        out.Residual = residual;
        out.Mdb = result.mdb;
        out.Bnr = result.bnr;
        out.W = w;
        out.Sd = result.sd;
        out.SdAdjusted = result.sdAdjusted;
        return;
    }
    const bool coordinate = type == OBS_GPS_COORDINATE;
    if (!coordinate && (type < OBS_DIRECTION || type > OBS_ZENITH))
        return;
    const int i = coordinate ? row.slot : type - 1;
    _OBS_RESULT_TERRESTRIAL& out = record.Terrestrial;
    out.Redundancy[i] = WholePercent(result.redundancy);
    if (coordinate) {
        const double none[4] = {0.0, 0.0, 0.0, 0.0}; // a single station has no pair
        std::memcpy(out.RelEllipse, none, sizeof none);
    } else {
        WriteEllipse(e, row, out.RelEllipse);
        out.TTest = 0.0; // only GPS coordinates carry a T-test here
    }
    out.Residual[i] = residual;
    out.Mdb[i] = result.mdb;
    out.Bnr[i] = result.bnr;
    out.W[i] = w;
    out.Sd[i] = result.sd;
    out.SdAdjusted[i] = result.sdAdjusted;
    if (coordinate) {
        const CTTest* test = e.results.observationTests.size() > row.source
                                 ? e.results.observationTests[row.source].get()
                                 : nullptr;
        out.TTest = test && !design ? test->T : 0.0;
    }
}

// Free observations: their residuals and the standard deviations of the
// observation and the adjusted observation; redundancy 0, and W-test, MDB and
// bias-to-noise ratio 0 (not computed: nothing controls the reading).
void HandBackFreeObservations(const ProjectState& p, const EngineState& e) {
    for (const FreeObservation& f : e.freeObservations.list) {
        if (!f.solved)
            continue;
        const CObservation& o = *p.Observations.GetAt(static_cast<int>(f.observation));
        for (std::size_t k = 0; k < f.rows.size(); ++k) {
            const FreeRowResult& free = f.rows[k];
            if (free.row.kind == ROW_GPS_BASELINE) {
                if (free.row.sub == 0 && k + 2 < f.rows.size()) {
                    const RowResult results[3] = {FreeResultOf(free), FreeResultOf(f.rows[k + 1]),
                                                  FreeResultOf(f.rows[k + 2])};
                    WriteBaseline(p, e, free.row, results, *o.Host);
                }
                continue;
            }
            WriteReading(p, e, free.row, FreeResultOf(free), o, *o.Host);
        }
    }
}

} // namespace

int WholePercent(double redundancy) {
    if (std::isnan(redundancy))
        return 0;
    constexpr double kLowest = std::numeric_limits<int>::min();
    constexpr double kHighest = std::numeric_limits<int>::max();
    return static_cast<int>(std::clamp(std::trunc(redundancy), kLowest, kHighest));
}

int CausingCode(const ProjectState& p, const EngineState& e, std::size_t r) {
    const ObservationRow& row = e.rows[r];
    if (row.IsDatum())
        return 1000 + (row.kind - ROW_DATUM_NORTH);
    if (row.kind == ROW_GPS_BASELINE)
        return 60 + row.sub;
    if (row.kind == ROW_GPS_COORDINATE)
        return 70 + row.sub;
    if (!row.IsObservation())
        return 0;
    return p.Observations.GetAt(static_cast<int>(row.source))->Type[row.slot];
}

int CausingSubject(const ProjectState& p, const EngineState& e, std::size_t r) {
    const ObservationRow& row = e.rows[r];
    if (row.IsDatum()) {
        for (unsigned k = 1; k <= p.KnownCount; ++k)
            if (p.Known[k].Station == row.source)
                return static_cast<int>(k);
        return 0;
    }
    if (!row.IsObservation())
        return 0;
    return static_cast<int>(p.Observations.GetAt(static_cast<int>(row.source))->Record);
}

void HandBackObservations(const ProjectState& p, const EngineState& e) {
    for (std::size_t r = 1; r <= e.observationRows; ++r) {
        const ObservationRow& row = e.rows[r];
        // Relations and local coordinates receive nothing; a trigonometric
        // height difference goes back in the slots of its distance reading.
        if (row.kind == ROW_RELATION || row.kind == ROW_LOCAL_COORDINATE)
            continue;
        const CObservation& o = *p.Observations.GetAt(static_cast<int>(row.source));
        _OBSERVATION& record = *o.Host; // the array this record came from
        if (row.kind == ROW_GPS_BASELINE) {
            if (row.sub == 0) {
                const RowResult results[3] = {ResultOf(p, e, r), ResultOf(p, e, r + 1),
                                              ResultOf(p, e, r + 2)};
                WriteBaseline(p, e, row, results, record);
            }
            continue;
        }
        WriteReading(p, e, row, ResultOf(p, e, r), o, record);
    }
    HandBackFreeObservations(p, e);
}

} // namespace Tavex
