#include "loops/traverse_angles.h"

#include "engine/row_weights.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Tavex {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

double Wrap(double angle) {
    angle = std::fmod(angle, kTwoPi);
    return angle < 0.0 ? angle + kTwoPi : angle;
}

// Mean of directions to one neighbour within a set, taken about the first
// so that readings either side of zero average correctly.
struct SetMean {
    double first = 0.0, offsetSum = 0.0, varianceSum = 0.0;
    int count = 0;
    void Add(double reading, double sigma) {
        if (count == 0)
            first = reading;
        offsetSum += std::remainder(reading - first, kTwoPi);
        varianceSum += sigma * sigma;
        ++count;
    }
    double Value() const { return first + offsetSum / count; }
    double Variance() const { return varianceSum / (static_cast<double>(count) * count); }
};

} // namespace

DirectionIndex IndexDirections(const ProjectState& p) {
    DirectionIndex index;
    index.start.assign(static_cast<std::size_t>(p.StationCount) + 2, 0);
    const auto usable = [&](const CObservation* o) {
        return o != nullptr && o->HasDirection() && !o->IsSingleStation() && o->Station >= 1 &&
               o->Station <= p.StationCount && o->Target >= 1 && o->Target <= p.StationCount &&
               o->Station != o->Target;
    };
    for (int k = 1; k < p.Observations.GetSize(); ++k)
        if (usable(p.Observations.GetAt(k)))
            ++index.start[p.Observations.GetAt(k)->Station + 1];
    for (std::size_t s = 1; s < index.start.size(); ++s)
        index.start[s] += index.start[s - 1];
    index.entries.resize(index.start.back());
    std::vector<std::uint32_t> next(index.start.begin(), index.start.end() - 1);
    for (int k = 1; k < p.Observations.GetSize(); ++k) {
        const CObservation* o = p.Observations.GetAt(k);
        if (usable(o))
            index.entries[next[o->Station]++] = {o->Target, o->Sub[0],
                                                 static_cast<std::uint32_t>(k)};
    }
    return index;
}

StationAngle AngleAt(const LoopNetwork& network, const DirectionIndex& index, std::uint32_t at,
                     std::uint32_t back, std::uint32_t fore, double backLength, double foreLength) {
    StationAngle angle;
    if (at + 1 >= index.start.size())
        return angle;
    const ProjectState& p = network.project;
    const DirectionIndex::Entry* begin = index.entries.data() + index.start[at];
    const DirectionIndex::Entry* end = index.entries.data() + index.start[at + 1];
    // The sets at the station, in the order of their first direction.
    std::vector<std::uint32_t> sets;
    for (const DirectionIndex::Entry* e = begin; e != end; ++e)
        if ((e->target == back || e->target == fore) &&
            std::find(sets.begin(), sets.end(), e->set) == sets.end())
            sets.push_back(e->set);
    double first = 0.0, offsetSum = 0.0, varianceSum = 0.0;
    int count = 0;
    for (std::uint32_t set : sets) {
        SetMean toBack, toFore;
        std::vector<std::uint32_t> used;
        for (const DirectionIndex::Entry* e = begin; e != end; ++e) {
            if (e->set != set || (e->target != back && e->target != fore))
                continue;
            const CObservation& o = network.Observation(e->observation);
            const StationRec& from = p.Stations[o.Station];
            const StationRec& to = p.Stations[o.Target];
            const bool isBack = e->target == back;
            const double sigma = AngleSigma(o, 0, isBack ? backLength : foreLength,
                                            Combined(from.CentringError, o.CentringStation),
                                            Combined(to.CentringError, o.CentringTarget));
            (isBack ? toBack : toFore).Add(o.Reading[0], sigma);
            used.push_back(e->observation);
        }
        if (toBack.count == 0 || toFore.count == 0)
            continue;
        const double value = Wrap(toFore.Value() - toBack.Value());
        if (count == 0)
            first = value;
        offsetSum += std::remainder(value - first, kTwoPi);
        varianceSum += toBack.Variance() + toFore.Variance();
        ++count;
        angle.directions.insert(angle.directions.end(), used.begin(), used.end());
    }
    if (count == 0)
        return angle;
    angle.present = true;
    angle.value = Wrap(first + offsetSum / count);
    angle.variance = varianceSum / (static_cast<double>(count) * count);
    return angle;
}

} // namespace Tavex
