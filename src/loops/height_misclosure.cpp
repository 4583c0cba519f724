// Misclosure of a loop of height differences.
//
// Per leg i → j: every height difference measured i → j gives
// h = reading + instrument height − target height, and so does every one
// measured j → i for the opposite direction. With n_f forward and n_b
// backward values and m the number of directions present (1 or 2):
//   leg value     (mean_f − mean_b) / m
//   leg variance  (Σσ_f² / n_f² + Σσ_b² / n_b²) / m²
//   leg length    the mean of the observations' distances,
// σ = σ_abs + σ_√L √d + σ_L d of each observation over its stored line
// length d, or the distance between the stations where it stores none.
// Misclosure Σ leg values, variance Σ leg variances, tolerance k σ.
#include "engine/row_weights.h"
#include "loops/loop_misclosures.h"

#include <cmath>

namespace Tavex {

namespace {

// The line length an observation's precision refers to.
double LineLength(const CObservation& o, double between) {
    if (o.RecordKind == RECORD_ONE_READING_SHORT && o.Precision[3] > 0.0)
        return o.Precision[3];
    return between;
}

} // namespace

std::unique_ptr<CLoopResults> HeightMisclosure(const LoopNetwork& network, const LegTable& legs,
                                               const std::uint32_t* stations, std::size_t n) {
    auto loop = NewLoopResult(stations, n, LOOP_HEIGHT, network.criticalW);
    double misclosure = 0.0, variance = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t from = stations[i], to = stations[(i + 1) % n];
        const long leg = legs.Find(from, to);
        if (leg < 0)
            continue;
        const double between = SpatialDistance(network, from, to);
        double sum[2] = {0.0, 0.0}, var[2] = {0.0, 0.0}, length = 0.0;
        int count[2] = {0, 0};
        const std::uint32_t first = legs.start[leg], last = legs.start[leg + 1];
        for (std::uint32_t k = first; k < last; ++k) {
            const std::uint32_t index = legs.observations[k];
            const CObservation& o = network.Observation(index);
            const int way = o.Station == from ? 0 : 1;
            const double h = o.Reading[0] + o.StationHeight - o.TargetHeight;
            const double sigma = HeightDifferenceSigma(o, 0, between);
            sum[way] += h;
            var[way] += sigma * sigma;
            ++count[way];
            length += LineLength(o, between);
            TXXML_LOOPOBSERVATION record =
                LegObservation(network, index, from, to, "heightDifference");
            record.code = way == 0 ? L"dH" : L"-dH";
            const double value = way == 0 ? h : -h;
            SetValues(record, network, &value, 1);
            AddObservation(*loop, std::move(record));
        }
        const int directions = (count[0] > 0 ? 1 : 0) + (count[1] > 0 ? 1 : 0);
        double value = 0.0, legVariance = 0.0;
        for (int way = 0; way < 2; ++way) {
            if (count[way] == 0)
                continue;
            value += (way == 0 ? 1.0 : -1.0) * sum[way] / count[way];
            legVariance += var[way] / (static_cast<double>(count[way]) * count[way]);
        }
        value /= directions;
        legVariance /= static_cast<double>(directions) * directions;
        misclosure += value;
        variance += legVariance;
        loop->Length += length / (count[0] + count[1]);
        if (last - first > 1)
            AddLegMean(*loop, network, from, to, &value, 1);
    }
    FinishHeightLoop(*loop, network, misclosure, variance);
    return loop;
}

} // namespace Tavex
