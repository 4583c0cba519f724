// Misclosure of a loop of GPS baselines.
//
// Per leg i → j: the baselines measured i → j count as they are, those
// measured j → i negated; the leg value is their mean and its covariance
// Σ C_b / n², C_b the 3 × 3 geocentric covariance of baseline b as the
// adjustment weights it (its own block with the centring and height errors
// of both stations, engine/row_weights.h) plus 2·diag(c_X², c_Y², c_Z²) for
// the run's centring c_h, c_v turned into the geocentric axes at the
// network's mean position:
//   c_X² = c_h² sin²φ cos²λ + c_h² sin²λ + c_v² cos²φ cos²λ
//   c_Y² = c_h² sin²φ sin²λ + c_h² cos²λ + c_v² cos²φ sin²λ
//   c_Z² = c_h² cos²φ + c_v² sin²φ.
// The loop's misclosure m is the sum of the leg means, its covariance C the
// sum of theirs. Turned into north, east and up at the loop's mean latitude
// and longitude, m_l = R m and C_l = R C Rᵀ with the rows of R the north,
// east and up unit vectors there.
#include "engine/row_weights.h"
#include "loops/loop_misclosures.h"

#include <cmath>

namespace Tavex {

namespace {

// The run's own centring standard deviations (metres). The stations' and
// observations' centring errors already enter each baseline's covariance,
// so the run adds none of its own.
constexpr double kRunCentringHorizontal = 0.0;
constexpr double kRunCentringVertical = 0.0;

// The run's centring per baseline in the geocentric axes at (lat, lon).
void AddRunCentring(double lat, double lon, double cov[3][3]) {
    const double sp = std::sin(lat), cp = std::cos(lat), sl = std::sin(lon), cl = std::cos(lon);
    const double h2 = kRunCentringHorizontal * kRunCentringHorizontal;
    const double v2 = kRunCentringVertical * kRunCentringVertical;
    const double c[3] = {h2 * sp * sp * cl * cl + h2 * sl * sl + v2 * cp * cp * cl * cl,
                         h2 * sp * sp * sl * sl + h2 * cl * cl + v2 * cp * cp * sl * sl,
                         h2 * cp * cp + v2 * sp * sp};
    for (int k = 0; k < 3; ++k)
        cov[k][k] += 2.0 * c[k];
}

Covariance3 BaselineCovariance(const LoopNetwork& network, const CObservation& o) {
    const StationRec& from = network.project.Stations[o.Station];
    const StationRec& to = network.project.Stations[o.Target];
    return GpsCovariance(o, network.geometry[o.Station], &network.geometry[o.Target],
                         Combined(from.CentringError, o.CentringStation),
                         Combined(from.HeightError, o.HeightErrStation),
                         Combined(to.CentringError, o.CentringTarget),
                         Combined(to.HeightError, o.HeightErrTarget));
}

} // namespace

std::unique_ptr<CLoopResults> GpsMisclosure(const LoopNetwork& network, const LegTable& legs,
                                            const std::uint32_t* stations, std::size_t n) {
    auto loop = NewLoopResult(stations, n, LOOP_GPS, network.criticalW);
    // The network's mean position, for the run's centring.
    const double meanLat = network.meanLat, meanLon = network.meanLon;
    double m[3] = {0.0, 0.0, 0.0}, cov[3][3] = {};
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t from = stations[i], to = stations[(i + 1) % n];
        const long leg = legs.Find(from, to);
        if (leg < 0)
            continue;
        double sum[3] = {0.0, 0.0, 0.0}, legCov[3][3] = {}, length = 0.0;
        const std::uint32_t first = legs.start[leg], last = legs.start[leg + 1];
        for (std::uint32_t k = first; k < last; ++k) {
            const std::uint32_t index = legs.observations[k];
            const CObservation& o = network.Observation(index);
            const double sign = o.Station == from ? 1.0 : -1.0;
            double d[3];
            for (int c = 0; c < 3; ++c)
                d[c] = sign * o.Reading[c];
            const Covariance3 b = BaselineCovariance(network, o);
            for (int r = 0; r < 3; ++r) {
                sum[r] += d[r];
                for (int c = 0; c < 3; ++c)
                    legCov[r][c] += b.c[r][c];
            }
            AddRunCentring(meanLat, meanLon, legCov);
            length += std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
            TXXML_LOOPOBSERVATION record = LegObservation(network, index, from, to, "baseline");
            record.code = L"dXYZ";
            SetValues(record, network, d, 3);
            AddObservation(*loop, std::move(record));
        }
        const double count = static_cast<double>(last - first);
        for (int r = 0; r < 3; ++r) {
            sum[r] /= count;
            m[r] += sum[r];
            for (int c = 0; c < 3; ++c)
                cov[r][c] += legCov[r][c] / (count * count);
        }
        loop->Length += length / count;
        if (last - first > 1)
            AddLegMean(*loop, network, from, to, sum, 3);
    }
    for (int r = 0; r < 3; ++r)
        SetMisclosure(*loop, r, m[r], network.varianceFactor * cov[r][r]);

    // North, east and up at the loop's mean position.
    double lat = 0.0, lon = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        lat += network.geometry[stations[i]].lat;
        lon += network.geometry[stations[i]].lon;
    }
    double axes[3][3];
    HorizonAxes(lat / static_cast<double>(n), lon / static_cast<double>(n), axes);
    for (int r = 0; r < 3; ++r) {
        double value = 0.0, variance = 0.0;
        for (int c = 0; c < 3; ++c) {
            value += axes[r][c] * m[c];
            for (int k = 0; k < 3; ++k)
                variance += axes[r][c] * cov[c][k] * axes[r][k];
        }
        SetMisclosure(*loop, r, value, network.varianceFactor * variance, true);
    }
    SetCentre(network, *loop);
    return loop;
}

} // namespace Tavex
