// Misclosure of a traverse round a loop of directions and distances.
//
// Legs. Every distance on a leg is taken to the horizon: a slant distance s
// with a zenith angle z of the same record becomes D = s sin(z − (1 − κ) s
// / (2R)) with σ_D² = (∂D/∂s σ_s)² + (∂D/∂z σ_z)², as the adjustment reduces
// it; a slant distance without one is reduced with the approximate height
// difference Δh of instrument and target, D = √(s² − Δh²); a horizontal
// distance is kept. D is divided by the initial scale factor of its group.
// The leg's length is the mean of its distances, with variance Σσ_D² / n².
//
// Walk. Stations w_0 … w_{n−1} are the loop rotated so that the last station
// without an angle (if any) is w_{n−1}. The traverse leaves w_{n−1} for w_0
// on the bearing t_0 of the approximate coordinates (any bearing would do;
// this one puts the misclosure in the easting and northing of the horizon at
// w_{n−1}), and at every w_k, k < n − 1, turns to t ← t + π + α_k. With P_k
// the traverse's point at w_k, the misclosure is the end point
//   f = Σ_legs D (sin t, cos t)    (easting, northing)
// and its variance, the legs and the angles being independent,
//   σ_E² = Σ_legs sin²t σ_D² + Σ_k (N_f − N_k)² σ_α²
//   σ_N² = Σ_legs cos²t σ_D² + Σ_k (E_f − E_k)² σ_α²,
// since turning the traverse at w_k by dα moves the end point by
// dα (N_f − N_k, −(E_f − E_k)).
//
// Angle misclosure (every station has an angle): −(n − 2)π + Σ α; a result
// above 2π (the exterior angles were read) becomes 4π minus it, and one then
// above 1.5π loses 2π. Its variance is Σ σ_α².
//
// With one station without an angle only the coordinate misclosure is
// formed (kind 2); with two or more none (kind 3).
#include "engine/number_unknowns.h"
#include "engine/observation_model.h"
#include "engine/row_weights.h"
#include "loops/loop_misclosures.h"
#include "project/observation_codes.h"

#include <cmath>
#include <numbers>

namespace Tavex {

namespace {

constexpr double kPi = std::numbers::pi;

struct Horizontal {
    double value = 0.0, variance = 0.0;
};

double ScaleOf(const ProjectState& p, unsigned group) {
    const double scale = FixedScale(p, group);
    return scale > 0.0 ? scale : 1.0;
}

Horizontal HorizontalDistance(const LoopNetwork& network, const CObservation& o) {
    const ProjectState& p = network.project;
    const int slot = LegDistanceSlot(o);
    const double s = o.Reading[slot];
    const double scale = ScaleOf(p, o.Sub[slot]);
    const StationRec& from = p.Stations[o.Station];
    const StationRec& to = p.Stations[o.Target];
    const double centringFrom = Combined(from.CentringError, o.CentringStation);
    const double centringTo = Combined(to.CentringError, o.CentringTarget);
    const double sigmaS = DistanceSigma(o, slot, s, centringFrom, centringTo);
    Horizontal h;
    if (o.Form == RecordForm::TotalStation && o.HasZenith()) {
        const double kappa = FixedRefraction(p, o.Sub[2]);
        const double z = FirstFaceZenith(o.Reading[2]);
        const ReducedDistance d = ReduceToHorizontal(s, z, kappa, p.MeanEarthRadius);
        const double sigmaZ = ZenithSigma(o, 2, s, Combined(from.HeightError, o.HeightErrStation),
                                          Combined(to.HeightError, o.HeightErrTarget));
        h.value = d.value;
        h.variance = std::pow(d.dS * sigmaS, 2) + std::pow(d.dZ * sigmaZ, 2);
    } else if (o.DistanceCode == 1 || o.DistanceCode == 3) {
        h.value = s;
        h.variance = sigmaS * sigmaS;
    } else {
        const double dh = (network.geometry[o.Target].h + o.TargetHeight) -
                          (network.geometry[o.Station].h + o.StationHeight);
        h.value = dh * dh < s * s ? std::sqrt(s * s - dh * dh) : s;
        h.variance = sigmaS * sigmaS;
    }
    h.value /= scale;
    h.variance /= scale * scale;
    return h;
}

// The bearing (clockwise from north) from station a to b at the approximate
// coordinates, in the horizon of a; 0 when they coincide.
double ApproximateBearing(const LoopNetwork& network, std::uint32_t a, std::uint32_t b) {
    double x[3], y[3], axes[3][3];
    Geocentric(network, a, x);
    Geocentric(network, b, y);
    HorizonAxes(network.geometry[a].lat, network.geometry[a].lon, axes);
    double north = 0.0, east = 0.0;
    for (int c = 0; c < 3; ++c) {
        north += axes[0][c] * (y[c] - x[c]);
        east += axes[1][c] * (y[c] - x[c]);
    }
    return north == 0.0 && east == 0.0 ? 0.0 : std::atan2(east, north);
}

} // namespace

std::unique_ptr<CLoopResults> TraverseMisclosure(const LoopNetwork& network, const LegTable& legs,
                                                 const DirectionIndex& directions,
                                                 const std::uint32_t* stations, std::size_t n) {
    auto loop = NewLoopResult(stations, n, LOOP_TRAVERSE_FULL, network.criticalW);

    // The legs: leg i runs from station i to station i + 1.
    std::vector<Horizontal> leg(n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t from = stations[i], to = stations[(i + 1) % n];
        const long k = legs.Find(from, to);
        if (k < 0)
            continue;
        const std::uint32_t first = legs.start[k], last = legs.start[k + 1];
        for (std::uint32_t j = first; j < last; ++j) {
            const std::uint32_t index = legs.observations[j];
            const Horizontal h = HorizontalDistance(network, network.Observation(index));
            leg[i].value += h.value;
            leg[i].variance += h.variance;
            TXXML_LOOPOBSERVATION record = LegObservation(network, index, from, to, "distance");
            record.code = L"D";
            SetValues(record, network, &h.value, 1);
            AddObservation(*loop, std::move(record));
        }
        const double count = static_cast<double>(last - first);
        leg[i].value /= count;
        leg[i].variance /= count * count;
        loop->Length += leg[i].value;
        if (last - first > 1)
            AddLegMean(*loop, network, from, to, &leg[i].value, 1);
    }

    // The angles: angle i at station i, from station i − 1 to station i + 1.
    std::vector<StationAngle> angle(n);
    std::size_t lastWithout = n;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t back = (i + n - 1) % n;
        angle[i] = AngleAt(network, directions, stations[i], stations[back], stations[(i + 1) % n],
                           leg[back].value, leg[i].value);
        if (!angle[i].present) {
            lastWithout = i;
            loop->StationsWithoutAngle.push_back(static_cast<int>(stations[i]));
            continue;
        }
        TXXML_LOOPOBSERVATION record;
        record.identification = Label(STR_LABEL_ANGLE);
        record.fromStation = network.Name(stations[back]);
        record.toStation = network.Name(stations[(i + 1) % n]);
        record.code = network.Name(stations[i]);
        record.reading = "angle";
        SetValues(record, network, &angle[i].value, 1, true);
        AddObservation(*loop, std::move(record));
    }
    SetCentre(network, *loop);
    const std::size_t without = loop->StationsWithoutAngle.size();
    if (without >= 2) {
        loop->Kind = LOOP_TRAVERSE_NONE;
        return loop;
    }

    // The walk: w_k = station (start + k) mod n, the station without an
    // angle (if any) last.
    const std::size_t start = lastWithout == n ? 0 : (lastWithout + 1) % n;
    const auto w = [&](std::size_t k) { return (start + k) % n; };
    const std::size_t closing = w(n - 1); // the leg w_{n−1} → w_0 is leg `closing`
    double t = ApproximateBearing(network, stations[closing], stations[w(0)]);
    double east = 0.0, north = 0.0;
    std::vector<double> pointEast(n), pointNorth(n); // P_k at w_k
    double varianceEast = 0.0, varianceNorth = 0.0;
    const auto walkLeg = [&](std::size_t i) {
        east += leg[i].value * std::sin(t);
        north += leg[i].value * std::cos(t);
        varianceEast += std::pow(std::sin(t), 2) * leg[i].variance;
        varianceNorth += std::pow(std::cos(t), 2) * leg[i].variance;
    };
    walkLeg(closing);
    for (std::size_t k = 0; k + 1 < n; ++k) {
        pointEast[k] = east;
        pointNorth[k] = north;
        t += kPi + angle[w(k)].value;
        walkLeg(w(k));
    }
    for (std::size_t k = 0; k + 1 < n; ++k) {
        varianceEast += std::pow(north - pointNorth[k], 2) * angle[w(k)].variance;
        varianceNorth += std::pow(east - pointEast[k], 2) * angle[w(k)].variance;
    }
    SetMisclosure(*loop, SLOT_EASTING, east, network.varianceFactor * varianceEast);
    SetMisclosure(*loop, SLOT_NORTHING, north, network.varianceFactor * varianceNorth);
    if (without == 1) {
        loop->Kind = LOOP_TRAVERSE_COORDINATES;
        return loop;
    }

    double misclosure = -static_cast<double>(n - 2) * kPi, variance = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        misclosure += angle[i].value;
        variance += angle[i].variance;
    }
    if (misclosure > 2.0 * kPi)
        misclosure = 4.0 * kPi - misclosure;
    if (misclosure > 1.5 * kPi)
        misclosure -= 2.0 * kPi;
    SetMisclosure(*loop, SLOT_ANGLE, misclosure, network.varianceFactor * variance);
    return loop;
}

} // namespace Tavex
