// Misclosure of a loop of trigonometric height differences.
//
// Per leg i → j, every record with a zenith angle z and a slope distance s
// between the two stations gives
//   h = s cos z + (1 − κ) (s sin z)² / (2R) + instrument height − target height
// with s divided by the initial scale factor of its distance group, z in
// the first face, κ the initial refraction coefficient of the zenith angle's
// group and R the mean Earth radius. Its variance, as the adjustment weighs
// a trigonometric height difference:
//   σ_h² = (∂h/∂s σ_s)² + (∂h/∂z σ_z)² + σ_hi² + σ_ht²
// with σ_s and σ_z the distance's and zenith angle's a-priori standard
// deviations and σ_hi, σ_ht the height errors of instrument and target.
// The leg value is (Σ h_forward − Σ h_backward) / (n_f + n_b), its variance
// Σ σ_h² / (n_f + n_b)², its length the mean of the distances s.
// Misclosure Σ leg values, variance Σ leg variances, tolerance k σ.
#include "engine/number_unknowns.h"
#include "engine/observation_model.h"
#include "engine/row_weights.h"
#include "loops/loop_misclosures.h"

#include <cmath>

namespace Tavex {

namespace {

struct TrigonometricHeightValue {
    double h, variance, s;
};

TrigonometricHeightValue HeightOf(const LoopNetwork& network, const CObservation& o) {
    const ProjectState& p = network.project;
    const int distanceSlot = LegDistanceSlot(o);
    const double scale =
        FixedScale(p, o.Sub[distanceSlot]) > 0.0 ? FixedScale(p, o.Sub[distanceSlot]) : 1.0;
    const double s = o.Reading[distanceSlot] / scale;
    const double z = FirstFaceZenith(o.Reading[2]);
    const double kappa = FixedRefraction(p, o.Sub[2]);
    const ReducedDistance dh =
        TrigonometricHeight(s, z, kappa, p.MeanEarthRadius, o.StationHeight, o.TargetHeight);
    const double sigmaS = DistanceSigma(o, distanceSlot, o.Reading[distanceSlot], 0.0, 0.0) / scale;
    const double sigmaZ = ZenithSigma(o, 2, s, 0.0, 0.0);
    const double heightFrom = Combined(p.Stations[o.Station].HeightError, o.HeightErrStation);
    const double heightTo = Combined(p.Stations[o.Target].HeightError, o.HeightErrTarget);
    const double variance = std::pow(dh.dS * sigmaS, 2) + std::pow(dh.dZ * sigmaZ, 2) +
                            heightFrom * heightFrom + heightTo * heightTo;
    return {dh.value, variance, s};
}

} // namespace

std::unique_ptr<CLoopResults> TrigonometricMisclosure(const LoopNetwork& network,
                                                      const LegTable& legs,
                                                      const std::uint32_t* stations,
                                                      std::size_t n) {
    auto loop = NewLoopResult(stations, n, LOOP_TRIGONOMETRIC, network.criticalW);
    double misclosure = 0.0, variance = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t from = stations[i], to = stations[(i + 1) % n];
        const long leg = legs.Find(from, to);
        if (leg < 0)
            continue;
        double sum = 0.0, legVariance = 0.0, length = 0.0;
        const std::uint32_t first = legs.start[leg], last = legs.start[leg + 1];
        for (std::uint32_t k = first; k < last; ++k) {
            const std::uint32_t index = legs.observations[k];
            const CObservation& o = network.Observation(index);
            const TrigonometricHeightValue t = HeightOf(network, o);
            const double value = o.Station == from ? t.h : -t.h;
            sum += value;
            legVariance += t.variance;
            length += t.s;
            TXXML_LOOPOBSERVATION record =
                LegObservation(network, index, from, to, "trigonometricHeight");
            record.code = o.Station == from ? L"dH" : L"-dH";
            SetValues(record, network, &value, 1);
            AddObservation(*loop, std::move(record));
        }
        const double count = static_cast<double>(last - first);
        const double value = sum / count;
        misclosure += value;
        variance += legVariance / (count * count);
        loop->Length += length / count;
        if (last - first > 1)
            AddLegMean(*loop, network, from, to, &value, 1);
    }
    FinishHeightLoop(*loop, network, misclosure, variance);
    return loop;
}

} // namespace Tavex
